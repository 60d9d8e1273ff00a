#include "worksheet/WorksheetImport.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "accountset/OutsideText.h"
#include "accountset/Schema.h"
#include "allocation/AllocationRules.h"
#include "contracts/CardServices.h"
#include "contracts/ItemService.h"
#include "host/MMTS.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "records/RecordFields.h"
#include "services/Adjustment.h"
#include "services/CardReads.h"
#include "services/CardWriter.h"
#include "services/ManualQueueSave.h"
#include "services/SaveChecks.h"
#include "worksheet/CsvFile.h"
#include "worksheet/KnownCards.h"
#include "worksheet/LineToRow.h"
#include "worksheet/ManualCards.h"
#include "worksheet/ReferenceData.h"
#include "worksheet/ScatteredLines.h"
#include "worksheet/WorksheetLines.h"
#include "worksheet/WorksheetReader.h"
#include "worksheet/WorksheetSink.h"

#include <QHash>
#include <QSqlQuery>

#include <span>

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;
namespace Fields = AllocFix::Fields;

namespace FixedAssets {

namespace {

using AllocFix::MMTS::LoadLangString;
using Worksheet::Kind;

// The manual cards as the worksheet's lines name them, and what reading a line needs.
struct ImportContext {
    const WorksheetLines &lines;
    const ReferenceData &reference;
    const LineToRow &lineToRow;
    const AccountSet &set;
    QString ownTag;
    KnownCards cards;
    QString encoding; // of a CSV worksheet, when the user names it

    QString checkCode(const KnownCard &card) const
    {
        return checkCodeText(ownTag, card.cardId, card.checkDigest);
    }
    // "number name", read again: only a fault needs it.
    QString cardName(qint32 cardId) const
    {
        return CardReads::cardName(set, cardId).value_or(u"FAlterID %1"_s.arg(cardId));
    }
    QString departmentName(qint32 departmentId) const
    {
        const CodedEntry *entry = reference.item(AllocFix::DepartmentItemClass, departmentId);
        return entry ? entry->name : QString::number(departmentId);
    }
};

// What the import keeps of a card's lines while it reads them: the rows they ask for, and what
// the checks of the whole card need. Let go when the card's last line is read.
struct FileCard {
    KnownCard *card = nullptr;
    QString number; // as its lines write it
    qsizetype firstLine = 0;
    qsizetype firstFilledLine = 0;
    QString checkCode;
    qsizetype checkCodeLine = 0;
    bool refused = false; // its check code does not fit the card: its lines are not read
    bool faulty = false;  // a line is at fault: the card is not saved, nor checked as a whole
    bool repeats = false; // a line repeats another: the card is not saved
    struct Seen {
        qsizetype line = 0; // the first to name these department, account and items
        qsizetype row = 0;  // in rows; -1 when the card is at fault and keeps none
    };
    QHash<QString, Seen> seen;
    struct Department {
        qsizetype firstLine = 0;
        bool fractions = true; // every rate at most 1 %: fractions typed where percent belongs
    };
    QHash<qint32, Department> departments;
    QList<FieldRecord> rows;
};

// A line's check code against the card its asset number names. Answers whether the line may be
// read.
bool checkCodeOfLine(FileCard &fileCard, qsizetype line, const QString &code,
                     const ImportContext &context, WorksheetFaults &faults)
{
    const KnownCard &card = *fileCard.card;
    const WorksheetLines &lines = context.lines;
    if (code.isEmpty())
        return !fileCard.refused;
    if (const std::optional<CheckCodeOrigin> origin = checkCodeOrigin(code);
        origin && origin->cardId != card.cardId) {
        faults.add(line, LoadLangString(u"资产编码 %1 不是本行校验码所属的卡片（%2）；请保持每行的"
                                        "资产编码和校验码与导出时一致"_s)
                             .arg(WorksheetFaults::shown(fileCard.number),
                                  context.cards.byId(origin->cardId)
                                      ? context.cardName(origin->cardId)
                                      : u"FAlterID %1"_s.arg(origin->cardId)));
        fileCard.faulty = true;
        return false;
    }
    if (!fileCard.checkCode.isEmpty()) {
        if (code == fileCard.checkCode)
            return !fileCard.refused;
        faults.add(line, LoadLangString(u"%1与同一张卡片第 %2 行的不同"_s)
                             .arg(lines.header(Kind::CheckCode))
                             .arg(fileCard.checkCodeLine));
        fileCard.faulty = true;
        return false;
    }
    fileCard.checkCode = code;
    fileCard.checkCodeLine = line;
    if (code != context.checkCode(card)) {
        faults.add(line,
                   LoadLangString(
                       u"卡片 %1 在导出后已被修改（其部门或费用分配行与导出时不同）；请重新导出"_s)
                       .arg(context.cardName(card.cardId)));
        fileCard.refused = true;
    }
    return !fileCard.refused;
}

// A row a filled line asks for, with the check the whole card needs of each: no line repeats
// another.
void addRow(FileCard &fileCard, qsizetype line, const FieldRecord &row, WorksheetFaults &faults)
{
    // As the wizard tells two rows apart: by the items' names, not their IDs.
    const QString key = AllocFix::allocationKey(row);
    FileCard::Department &department = fileCard.departments[row.value(Fields::FDeptID).toInt()];
    if (department.firstLine == 0)
        department.firstLine = line;
    department.fractions = department.fractions && row.value(Fields::FRate).toDouble() <= 0.01;
    if (const auto first = fileCard.seen.constFind(key); first != fileCard.seen.cend()) {
        faults.add(
            line,
            LoadLangString(u"这一行与第 %1 行重复：部门、科目和核算项目都相同"_s).arg(first->line));
        fileCard.repeats = true;
        // The departments' sums are told from every line, repeats too; a repeat's rate joins its
        // first row's, so that a line repeated a million times costs no more than once.
        if (!fileCard.faulty && first->row >= 0) {
            FieldRecord &kept = fileCard.rows[first->row];
            kept.setValue(Fields::FRate, kept.value(Fields::FRate).toDouble() +
                                             row.value(Fields::FRate).toDouble());
        }
        return;
    }
    fileCard.seen.insert(key, {line, fileCard.faulty ? -1 : fileCard.rows.size()});
    if (!fileCard.faulty)
        fileCard.rows.append(row);
}

// The check of a whole card that its lines cannot make alone, before the account set's own: each
// department of the card has lines whose rates make 100 %.
void checkDepartments(const FileCard &fileCard, const RecordList &rows,
                      const ImportContext &context, WorksheetFaults &faults)
{
    const KnownCard &card = *fileCard.card;
    RecordList departments = RecordList::create();
    for (const qint32 departmentId : context.cards.departmentsOf(card)) {
        FieldRecord department = FieldRecord::create();
        department.setValue(Fields::FItemID, departmentId);
        departments.append(department);
    }
    // The repeats are told line by line as they are read.
    for (const AllocFix::AllocationFault &fault : AllocFix::cardFaults(departments, rows)) {
        const QString name = context.departmentName(fault.departmentId);
        const auto department = fileCard.departments.constFind(fault.departmentId);
        if (fault.rule == AllocFix::AllocationRule::DepartmentWithoutRows) {
            faults.add(fileCard.firstFilledLine,
                       LoadLangString(
                           u"卡片 %1：部门 %2 没有行；卡片的每个部门都需要比例合计为 100% 的行"_s)
                           .arg(context.cardName(card.cardId), name));
            continue;
        }
        if (fault.rule != AllocFix::AllocationRule::RatesNotWhole ||
            department == fileCard.departments.cend()) {
            continue;
        }
        const QString sum = AllocFix::Rate::unitsText(fault.allocated);
        faults.add(
            department->firstLine,
            department->fractions && AllocFix::Rate::percentOfUnits(fault.allocated) == 1
                ? LoadLangString(
                      u"卡片 %2 上部门 %1 的比例合计为 %3%：比例是百分数，一半请写 50，不是 0.5"_s)
                      .arg(name, context.cardName(card.cardId), sum)
                : LoadLangString(u"卡片 %2 上部门 %1 的比例合计为 %3%，不是 100%"_s)
                      .arg(name, context.cardName(card.cardId), sum));
    }
}

// The rows of a card whose lines are all read; nothing, with the faults added, when the card is
// at fault. The check's read checks them as a whole. With saveChecks, the account set's own checks
// of a save run too, as they will in the save (a dry run gives their verdict; an import leaves
// them to the save, which refuses all cards when they find a fault). The save's read leaves the
// whole card to the save's checks.
enum class WholeCard { Check, LeaveToSave };
std::optional<RecordList> rowsOfCard(FileCard &fileCard, const ImportContext &context,
                                     WholeCard whole, SaveChecks *saveChecks,
                                     WorksheetFaults &faults)
{
    const KnownCard &card = *fileCard.card;
    const WorksheetLines &lines = context.lines;
    if (fileCard.refused || fileCard.firstFilledLine == 0)
        return std::nullopt;
    if (fileCard.checkCode.isEmpty()) {
        faults.add(fileCard.firstLine,
                   LoadLangString(u"卡片 %1 没有%2：请保持导出时写的这一列"_s)
                       .arg(context.cardName(card.cardId), lines.header(Kind::CheckCode)));
        return std::nullopt;
    }
    if (fileCard.faulty)
        return std::nullopt;
    RecordList list = RecordList::create();
    for (const FieldRecord &row : std::as_const(fileCard.rows))
        list.append(row);
    fileCard.rows.clear();
    if (whole == WholeCard::LeaveToSave)
        return fileCard.repeats ? std::nullopt : std::optional(list);
    const qsizetype faultsBefore = faults.count();
    checkDepartments(fileCard, list, context, faults);
    if (faults.count() != faultsBefore || fileCard.repeats)
        return std::nullopt;
    if (!saveChecks)
        return list;
    try {
        saveChecks->checkCard(card.cardId, card.position, list);
    } catch (const AllocFix::Failure &failure) {
        if (failure.number() != AccountSetError::SaveRejected)
            throw;
        faults.add(fileCard.firstFilledLine, failure.description());
        return std::nullopt;
    }
    return list;
}

// The cards left for manual work are saved together, as the wizard saves them: each needs lines.
void requireEveryCard(const ImportContext &context, WorksheetFaults &faults)
{
    for (const KnownCard &card : context.cards.cards()) {
        if (!card.read) {
            faults.add(0, LoadLangString(
                              u"卡片 %1 留待手工调整，但不在工作表中；卡片要一起保存，请逐张填写"_s)
                              .arg(context.cardName(card.cardId)));
        } else if (card.firstFilledLine == 0 && !card.refused) {
            faults.add(
                card.firstLine,
                LoadLangString(u"卡片 %1 没有填写的行；留待手工调整的卡片要一起保存，请逐张填写"_s)
                    .arg(context.cardName(card.cardId)));
        }
    }
}

// A worksheet exported from another account set is refused whole, before any card is checked:
// its cards are not these, whatever their asset numbers.
[[noreturn]] void raiseOtherAccountSet(const QString &file, const AccountSet &set)
{
    throw AllocFix::Failure(
        AllocFix::ErrorNumber::InvalidArgument,
        LoadLangString(
            u"%1 是从另一个账套导出的，不是从 %2 导出的；没有保存任何内容：请从本账套导出"
            "工作表"_s)
            .arg(OutsideText::shown(file), set.location().shown()),
        u"allocfix"_s);
}

WorksheetImportResult faulty(WorksheetFaults &faults, WorksheetSink &sink)
{
    faults.tell(sink);
    WorksheetImportResult result;
    result.faults = faults.count();
    return result;
}

// Which cards' lines lie apart in the file, read before any card is checked. A card's lines are
// usually together, as the export writes them: such a card is checked as soon as its lines end
// and let go, so memory does not grow with the rows. The others go to ScatteredLines. Refuses a
// worksheet of another account set at its first line from there, before any card is checked.
// Marks the cards whose lines lie apart, and answers whether there are any.
bool findScatteredCards(const QString &file, ImportContext &context)
{
    WorksheetReader reader(file, WorksheetLimits, context.encoding);
    reader.next(); // the header, read already
    bool any = false;
    KnownCard *current = nullptr;
    while (const std::optional<CsvRecord> line = reader.next()) {
        if (const std::optional<CheckCodeOrigin> origin =
                checkCodeOrigin(context.lines.cell(*line, Kind::CheckCode));
            origin && origin->setTag != context.ownTag)
            raiseOtherAccountSet(file, context.set);
        KnownCard *card = context.cards.byNumber(context.lines.cell(*line, Kind::AssetNumber));
        if (!card || card == current)
            continue;
        // Marked read when its lines end, until the check's read marks it as it reads it.
        if (card->read) {
            card->scattered = true;
            any = true;
        }
        if (current)
            current->read = true;
        current = card;
    }
    for (KnownCard &card : context.cards.cards())
        card.read = false;
    return any;
}

// One read of the worksheet, card by card: each line is checked as it is read, and a card's rows
// go to cardRead once all its lines are read. The checks are the same in both reads, so the save
// finds what the check found, unless the file changed in between.
class CardReading {
public:
    using CardRead = std::function<void(FileCard &)>;

    CardReading(ImportContext &context, WorksheetFaults &faults, CardRead cardRead)
        : m_context(context)
        , m_faults(faults)
        , m_cardRead(std::move(cardRead))
    {}

    void read(const QString &file, bool scattered, SinkProgress *progress)
    {
        WorksheetReader reader(file, WorksheetLimits, m_context.encoding);
        reader.next(); // the header, read already
        std::optional<ScatteredLines> aside;
        if (scattered)
            aside.emplace(m_context.set);
        FileCard current;
        qint64 shownBytes = 0;
        while (const std::optional<CsvRecord> line = reader.next()) {
            if (progress) {
                progress->advance(reader.bytesRead() - shownBytes);
                shownBytes = reader.bytesRead();
            }
            KnownCard *card = cardOfLine(*line);
            if (!card)
                continue;
            if (card->scattered) {
                aside->add(card->cardId, *line);
                continue;
            }
            if (current.card != card) {
                finish(current);
                current = FileCard{};
                current.card = card;
                current.number = m_context.lines.cell(*line, Kind::AssetNumber);
                current.firstLine = line->line;
            }
            readLine(current, *line);
        }
        finish(current);
        if (aside) {
            FileCard fileCard;
            aside->forEachCard(
                [this, &fileCard](qint32 cardId, const QList<CsvRecord> &lines, bool lastPage) {
                    if (!fileCard.card && !lines.isEmpty()) {
                        fileCard.card = m_context.cards.byId(cardId);
                        fileCard.number = m_context.lines.cell(lines.first(), Kind::AssetNumber);
                        fileCard.firstLine = lines.first().line;
                    }
                    for (const CsvRecord &line : lines)
                        readLine(fileCard, line);
                    if (lastPage) {
                        finish(fileCard);
                        fileCard = FileCard{};
                    }
                });
        }
    }

private:
    // The manual card a line names; nothing, with a fault when the line is filled, for a line
    // that names none.
    KnownCard *cardOfLine(const CsvRecord &line)
    {
        const WorksheetLines &lines = m_context.lines;
        const QString number = lines.cell(line, Kind::AssetNumber);
        if (number.isEmpty()) {
            if (lines.isFilled(line)) {
                m_faults.add(line.line, LoadLangString(u"这一行没有指定卡片：请填写%1"_s)
                                            .arg(lines.header(Kind::AssetNumber)));
            }
            return nullptr;
        }
        KnownCard *card = m_context.cards.byNumber(number);
        // Lines that only show a card allocated since the export ask for nothing.
        if (!card && lines.isFilled(line)) {
            m_faults.add(line.line,
                         LoadLangString(
                             u"%1 不是留待手工调整的卡片：没有卡片用此编码，或它在导出后已被分配"_s)
                             .arg(WorksheetFaults::shown(number)));
        }
        return card;
    }

    void readLine(FileCard &fileCard, const CsvRecord &line)
    {
        const WorksheetLines &lines = m_context.lines;
        const QString code = lines.cell(line, Kind::CheckCode);
        const bool filled = lines.isFilled(line);
        if (!checkCodeOfLine(fileCard, line.line, code, m_context, m_faults) || !filled)
            return;
        if (fileCard.firstFilledLine == 0)
            fileCard.firstFilledLine = line.line;
        LineFaults reasons;
        if (const std::optional<FieldRecord> row =
                m_context.lineToRow.row(line, fileCard.card->cardId,
                                        m_context.cards.departmentsOf(*fileCard.card), reasons)) {
            addRow(fileCard, line.line, *row, m_faults);
        } else {
            m_faults.add(line.line, reasons.reasons.join(u"; "_s), reasons.column());
            fileCard.faulty = true;
            fileCard.rows.clear();
        }
    }

    void finish(FileCard &fileCard)
    {
        if (fileCard.card)
            m_cardRead(fileCard);
    }

    ImportContext &m_context;
    WorksheetFaults &m_faults;
    CardRead m_cardRead;
};

// The header row, with the faults told against the sheet it stands in.
std::optional<CsvRecord> readHeader(WorksheetReader &reader, WorksheetFaults &faults)
{
    faults.setSheet(reader.sheet());
    return reader.next();
}

// An import in its two steps: the check reads the whole worksheet without writing; the save reads
// it again inside one write transaction that adjusts first, as the wizard's adjustment does, and
// saves every card, or writes nothing at all.
class Import {
public:
    Import(const WorksheetImportRequest &request, WorksheetSink &sink)
        : m_request(request)
        , m_sink(sink)
        , m_reader(request.file, WorksheetLimits, request.encoding)
        , m_lines(readHeader(m_reader, m_faults), m_reference, m_faults)
        , m_lineToRow(m_lines, m_reference)
    {}

    // The result of a faulty worksheet or a dry run; nothing when the worksheet may be saved.
    std::optional<WorksheetImportResult> check();
    WorksheetImportResult save();

private:
    [[noreturn]] void raiseChanged(const QString &what) const;

    const WorksheetImportRequest &m_request;
    WorksheetSink &m_sink;
    WorksheetReader m_reader;
    const ReferenceData m_reference;
    WorksheetFaults m_faults;
    const WorksheetLines m_lines;
    const LineToRow m_lineToRow;
    // Opened once the header is read: a header at fault is told first.
    std::optional<AccountSet> m_set;
    std::optional<ImportContext> m_context;
    bool m_scattered = false;
    WorksheetImportResult m_result{WorksheetImportResult::Outcome::Checked, 0, 0, 0, 0};
};

std::optional<WorksheetImportResult> Import::check()
{
    const QString &file = m_request.file;
    if (!m_faults.isEmpty())
        return faulty(m_faults, m_sink);
    m_set.emplace(AccountSet::fromProps(m_request.props));
    m_context.emplace(ImportContext{m_lines,
                                    m_reference,
                                    m_lineToRow,
                                    *m_set,
                                    setTag(Schema::identity(*m_set)),
                                    {},
                                    m_request.encoding});

    // The cards without their rows: the check code stands for them.
    m_result.automatic =
        readManualCards(m_request.props, LoadLangString(u"正在读取留待手工调整的卡片"_s), m_sink,
                        [this](const ManualCard &card) { m_context->cards.add(card); });
    m_context->cards.index();
    if (m_context->cards.isEmpty()) {
        throw AllocFix::Failure(
            AllocFix::ErrorNumber::InvalidArgument,
            LoadLangString(
                u"没有留待手工调整的卡片，%1 没有可保存的内容（allocfix check 会列出剩下的）"_s)
                .arg(OutsideText::shown(file)),
            u"allocfix"_s);
    }
    m_scattered = findScatteredCards(file, *m_context);

    std::optional<SaveChecks> saveChecks;
    if (m_request.dryRun)
        saveChecks.emplace(*m_set);
    {
        SinkProgress progress(m_sink, LoadLangString(u"正在检查工作表"_s), m_reader.size());
        CardReading checking(*m_context, m_faults, [&](FileCard &fileCard) {
            KnownCard &card = *fileCard.card;
            const std::optional<RecordList> rows =
                rowsOfCard(fileCard, *m_context, WholeCard::Check,
                           saveChecks ? &*saveChecks : nullptr, m_faults);
            card.read = true;
            card.firstLine = static_cast<qint32>(fileCard.firstLine);
            card.firstFilledLine = static_cast<qint32>(fileCard.firstFilledLine);
            card.refused = fileCard.refused;
            card.saved = rows.has_value();
            if (rows) {
                m_result.rows += rows->count();
                ++m_result.cards;
            }
        });
        checking.read(file, m_scattered, &progress);
    }
    requireEveryCard(*m_context, m_faults);
    if (!m_faults.isEmpty())
        return faulty(m_faults, m_sink);
    if (m_request.dryRun)
        return m_result;
    return std::nullopt;
}

// Another user may have saved or changed cards since they were read: every card must still be
// the one checked, or nothing is saved.
void Import::raiseChanged(const QString &what) const
{
    throw AllocFix::Failure(
        AccountSetError::SaveRejected,
        LoadLangString(u"%1 的内容都没有保存：检查工作表之后%2；请检查卡片后重新导出"_s)
            .arg(OutsideText::shown(m_request.file), what),
        AccountSetError::Source);
}

WorksheetImportResult Import::save()
{
    // The card services map positions to cards by the queue the adjustment leaves. The
    // adjustment is this transaction's first write: a failure at any later point takes it back
    // with the rest, and a kill leaves the set as it was or wholly imported.
    WriteTransaction transaction(*m_set);
    Adjustment::run(*m_set);
    ManualQueueSave save(*m_set);
    ManualQueueSave::Checked checked{m_result.cards,
                                     [this](qint32 cardId, qint32 position) {
                                         KnownCard *known = m_context->cards.byId(cardId);
                                         if (!known || !known->saved)
                                             return false;
                                         known->queuePosition = position;
                                         return true;
                                     },
                                     [this](const QString &what) { raiseChanged(what); }};
    // The second read saves what the first checked. A fault now means the file changed since:
    // it is told as any other, and the transaction is not committed.
    const bool saved = save.saveChecked(checked, [&] {
        m_sink.progressLine(
            LoadLangString(u"正在保存 %1 张卡片的费用分配行……"_s).arg(m_result.cards));
        CardReading saving(*m_context, m_faults, [&](FileCard &fileCard) {
            if (const std::optional<RecordList> rows =
                    rowsOfCard(fileCard, *m_context, WholeCard::LeaveToSave, nullptr, m_faults))
                save.add(fileCard.card->queuePosition, *rows);
        });
        saving.read(m_request.file, m_scattered, nullptr);
        return m_faults.isEmpty();
    });
    if (!saved)
        return faulty(m_faults, m_sink);
    transaction.commit();
    CardWriter::updateExpenseRowStatistics(*m_set);
    if (m_result.automatic > 0) {
        m_sink.info(
            LoadLangString(u"已先自动调整 %1 张卡片，与向导相同。"_s).arg(m_result.automatic));
    }
    m_result.outcome = WorksheetImportResult::Outcome::Saved;
    return m_result;
}

} // namespace

WorksheetImportResult importWorksheet(const WorksheetImportRequest &request, WorksheetSink &sink)
{
    Import import(request, sink);
    if (std::optional<WorksheetImportResult> result = import.check())
        return *result;
    return import.save();
}

} // namespace FixedAssets
