#include "worksheet/WorksheetImport.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "accountset/Schema.h"
#include "allocation/AllocationRules.h"
#include "contracts/CardServices.h"
#include "host/MMTS.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "records/RecordFields.h"
#include "services/CardReads.h"
#include "services/SaveChecks.h"
#include "worksheet/CsvFile.h"
#include "worksheet/LineToRow.h"
#include "worksheet/ManualCards.h"
#include "worksheet/ReferenceData.h"
#include "worksheet/WorksheetLines.h"
#include "worksheet/WorksheetSink.h"

#include <QHash>
#include <QMap>

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;
namespace Fields = AllocFix::Fields;

namespace FixedAssets {

namespace {

using AllocFix::MMTS::LoadLangString;
using Worksheet::Kind;

QString cardName(const ManualCard &card)
{
    return card.number + u' ' + card.name;
}

// What the import keeps of a card's lines while it reads the worksheet: the rows they ask for,
// and what the checks of the whole card need. A card's lines may lie anywhere in the file.
struct FileCard {
    const ManualCard *card = nullptr;
    qsizetype firstLine = 0;
    qsizetype firstFilledLine = 0;
    QString checkCode;
    qsizetype checkCodeLine = 0;
    bool refused = false; // its check code does not fit the card: its lines are not read
    bool faulty = false;  // a line is at fault: the card is not saved, nor checked as a whole
    bool repeats = false; // a line repeats another: the card is not saved
    QHash<QString, qsizetype> seen; // the line of each department, account and items
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
                     const QHash<qint32, const ManualCard *> &manualById,
                     const WorksheetLines &lines, WorksheetFaults &faults)
{
    const ManualCard &card = *fileCard.card;
    if (code.isEmpty())
        return !fileCard.refused;
    if (const std::optional<CheckCodeOrigin> origin = checkCodeOrigin(code);
        origin && origin->cardId != card.cardId) {
        const ManualCard *other = manualById.value(origin->cardId);
        faults.add(line, LoadLangString(u"资产编码 %1 不是本行校验码所属的卡片（%2）；请保持每行的"
                                        "资产编码和校验码与导出时一致"_s)
                             .arg(WorksheetFaults::shown(card.number),
                                  other ? cardName(*other) : u"FAlterID %1"_s.arg(origin->cardId)));
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
    if (code != card.fingerprint) {
        faults.add(line,
                   LoadLangString(
                       u"卡片 %1 在导出后已被修改（其部门或费用分配行与导出时不同）；请重新导出"_s)
                       .arg(cardName(card)));
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
    if (const qsizetype first = fileCard.seen.value(key); first != 0) {
        faults.add(
            line, LoadLangString(u"这一行与第 %1 行重复：部门、科目和核算项目都相同"_s).arg(first));
        fileCard.repeats = true;
        if (!fileCard.faulty)
            fileCard.rows.append(row);
        return;
    }
    fileCard.seen.insert(key, line);
    // Kept after a repeat too: the departments' sums are told from all of them.
    if (!fileCard.faulty)
        fileCard.rows.append(row);
}

// The check of a whole card that its lines cannot make alone, before the account set's own: each
// department of the card has lines whose rates make 100 %.
void checkDepartments(const FileCard &fileCard, WorksheetFaults &faults)
{
    const ManualCard &card = *fileCard.card;
    RecordList rows = RecordList::create();
    for (const FieldRecord &row : fileCard.rows)
        rows.append(row);
    // The repeats are told line by line as they are read.
    for (const AllocFix::AllocationFault &fault : AllocFix::cardFaults(card.departments, rows)) {
        QString name;
        for (qsizetype d = 1; d <= card.departments.count(); ++d) {
            if (card.departments.at(d).value(Fields::FItemID).toInt() == fault.departmentId)
                name = card.departments.at(d).value(Fields::FItemName).toText();
        }
        const auto department = fileCard.departments.constFind(fault.departmentId);
        if (fault.rule == AllocFix::AllocationRule::DepartmentWithoutRows) {
            faults.add(fileCard.firstFilledLine,
                       LoadLangString(
                           u"卡片 %1：部门 %2 没有行；卡片的每个部门都需要比例合计为 100% 的行"_s)
                           .arg(cardName(card), name));
            continue;
        }
        if (fault.rule != AllocFix::AllocationRule::RatesNotWhole ||
            department == fileCard.departments.cend()) {
            continue;
        }
        const QString sum =
            Worksheet::percentText(static_cast<double>(fault.allocated) / AllocFix::WholeRateUnits);
        faults.add(
            department->firstLine,
            department->fractions && fault.allocated == AllocFix::WholeRateUnits / 100
                ? LoadLangString(
                      u"卡片 %2 上部门 %1 的比例合计为 %3%：比例是百分数，一半请写 50，不是 0.5"_s)
                      .arg(name, cardName(card), sum)
                : LoadLangString(u"卡片 %2 上部门 %1 的比例合计为 %3%，不是 100%"_s)
                      .arg(name, cardName(card), sum));
    }
}

// The rows of a card whose lines are all read, checked as a whole; nothing, with the faults
// added, when the card is at fault. With saveChecks, the account set's own checks of a save run
// too, as they will in the save (a dry run gives their verdict; an import leaves them to the
// save, which refuses all cards when they find a fault).
std::optional<RecordList> rowsOfCard(FileCard &fileCard, const WorksheetLines &lines,
                                     SaveChecks *saveChecks, WorksheetFaults &faults)
{
    const ManualCard &card = *fileCard.card;
    if (fileCard.refused || fileCard.firstFilledLine == 0)
        return std::nullopt;
    if (fileCard.checkCode.isEmpty()) {
        faults.add(fileCard.firstLine, LoadLangString(u"卡片 %1 没有%2：请保持导出时写的这一列"_s)
                                           .arg(cardName(card), lines.header(Kind::CheckCode)));
        return std::nullopt;
    }
    if (fileCard.faulty)
        return std::nullopt;
    const qsizetype faultsBefore = faults.count();
    checkDepartments(fileCard, faults);
    if (faults.count() != faultsBefore || fileCard.repeats)
        return std::nullopt;

    RecordList list = RecordList::create();
    for (const FieldRecord &row : std::as_const(fileCard.rows))
        list.append(row);
    fileCard.rows.clear();
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
void requireEveryCard(const QList<ManualCard> &manual, const QHash<qint32, FileCard> &fileCards,
                      WorksheetFaults &faults)
{
    for (const ManualCard &card : manual) {
        const auto fileCard = fileCards.constFind(card.cardId);
        if (fileCard == fileCards.cend()) {
            faults.add(0, LoadLangString(
                              u"卡片 %1 留待手工调整，但不在工作表中；卡片要一起保存，请逐张填写"_s)
                              .arg(cardName(card)));
        } else if (fileCard->firstFilledLine == 0 && !fileCard->refused) {
            faults.add(
                fileCard->firstLine,
                LoadLangString(u"卡片 %1 没有填写的行；留待手工调整的卡片要一起保存，请逐张填写"_s)
                    .arg(cardName(card)));
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
            .arg(file, set.location().shown()),
        u"allocfix"_s);
}

WorksheetImportResult faulty(WorksheetFaults &faults, WorksheetSink &sink)
{
    faults.tell(sink);
    WorksheetImportResult result;
    result.faults = faults.count();
    return result;
}

} // namespace

WorksheetImportResult importWorksheet(const WorksheetImportRequest &request, WorksheetSink &sink)
{
    const QString &file = request.file;
    const QString &props = request.props;
    CsvReader reader(file, WorksheetLimits);
    const ReferenceData reference;
    WorksheetFaults faults;
    const WorksheetLines lines(reader.next(), reference, faults);
    if (!faults.isEmpty())
        return faulty(faults, sink);

    // The cards without their rows: the fingerprint stands for them.
    QList<ManualCard> manual;
    const qsizetype automatic = readManualCards(
        props, LoadLangString(u"正在读取留待手工调整的卡片"_s), sink, [&manual](ManualCard &card) {
            card.rows = RecordList();
            manual.append(card);
        });
    if (manual.isEmpty()) {
        throw AllocFix::Failure(
            AllocFix::ErrorNumber::InvalidArgument,
            LoadLangString(
                u"没有留待手工调整的卡片，%1 没有可保存的内容（allocfix check 会列出剩下的）"_s)
                .arg(file),
            u"allocfix"_s);
    }
    QHash<QString, const ManualCard *> manualByNumber;
    QHash<qint32, const ManualCard *> manualById;
    for (const ManualCard &card : std::as_const(manual)) {
        manualByNumber.insert(card.number, &card);
        manualById.insert(card.cardId, &card);
    }

    const LineToRow lineToRow(lines, reference);
    const AccountSet set = AccountSet::fromProps(props);
    const QString ownSet = setTag(Schema::identity(set));
    // Read line by line, keeping of each only the row it asks for: the file may be large.
    QHash<qint32, FileCard> fileCards;
    QList<qint32> cardOrder; // by first line
    {
        SinkProgress progress(sink, LoadLangString(u"正在检查工作表"_s), reader.size());
        qint64 shownBytes = 0;
        while (const std::optional<CsvRecord> line = reader.next()) {
            progress.advance(reader.bytesRead() - shownBytes);
            shownBytes = reader.bytesRead();
            const QString code = lines.cell(*line, Kind::CheckCode);
            if (const std::optional<CheckCodeOrigin> origin = checkCodeOrigin(code);
                origin && origin->setTag != ownSet)
                raiseOtherAccountSet(file, set);
            const QString number = lines.cell(*line, Kind::AssetNumber);
            const bool filled = lines.isFilled(*line);
            if (number.isEmpty()) {
                if (filled) {
                    faults.add(line->line, LoadLangString(u"这一行没有指定卡片：请填写%1"_s)
                                               .arg(lines.header(Kind::AssetNumber)));
                }
                continue;
            }
            const ManualCard *card = manualByNumber.value(number);
            // Lines that only show a card allocated since the export ask for nothing.
            if (!card) {
                if (filled) {
                    faults.add(
                        line->line,
                        LoadLangString(
                            u"%1 不是留待手工调整的卡片：没有卡片用此编码，或它在导出后已被分配"_s)
                            .arg(WorksheetFaults::shown(number)));
                }
                continue;
            }
            FileCard &fileCard = fileCards[card->cardId];
            if (!fileCard.card) {
                fileCard.card = card;
                fileCard.firstLine = line->line;
                cardOrder.append(card->cardId);
            }
            if (!checkCodeOfLine(fileCard, line->line, code, manualById, lines, faults) || !filled)
                continue;
            if (fileCard.firstFilledLine == 0)
                fileCard.firstFilledLine = line->line;
            QStringList reasons;
            if (const std::optional<FieldRecord> row = lineToRow.row(*line, *card, reasons)) {
                addRow(fileCard, line->line, *row, faults);
            } else {
                faults.add(line->line, reasons.join(u"; "_s));
                fileCard.faulty = true;
                fileCard.rows.clear();
            }
        }
    }

    std::optional<SaveChecks> saveChecks;
    if (request.dryRun)
        saveChecks.emplace(set);
    QMap<qint32, RecordList> rowsByCard;
    qsizetype rowCount = 0;
    for (const qint32 cardId : std::as_const(cardOrder)) {
        if (const std::optional<RecordList> rows =
                rowsOfCard(fileCards[cardId], lines, saveChecks ? &*saveChecks : nullptr, faults)) {
            rowsByCard.insert(cardId, *rows);
            rowCount += rows->count();
        }
    }
    requireEveryCard(manual, fileCards, faults);
    if (!faults.isEmpty())
        return faulty(faults, sink);
    fileCards.clear();
    WorksheetImportResult result{WorksheetImportResult::Outcome::Checked, 0, rowsByCard.size(),
                                 rowCount, automatic};
    if (request.dryRun)
        return result;

    // The card services map positions to cards by the queue the adjustment leaves, and the
    // adjustment first adjusts the cards it can by itself, as the wizard's adjustment does.
    const auto cardUpdate =
        AllocFix::createService<AllocFix::ICardUpdate>(AllocFix::ProgId::CardUpdate);
    const RecordList queue = cardUpdate->ReturnExpensInf(props);
    if (automatic > 0)
        sink.info(LoadLangString(u"已先自动调整 %1 张卡片，与向导相同。"_s).arg(automatic));
    // Another user may have saved or changed cards since they were read: every card must still
    // be the one checked, or nothing is saved.
    const auto raiseChanged = [&file](const QString &what) {
        throw AllocFix::Failure(
            AccountSetError::SaveRejected,
            LoadLangString(u"%1 的内容都没有保存：检查工作表之后%2；请检查卡片后重新导出"_s)
                .arg(file, what),
            AccountSetError::Source);
    };
    if (queue.count() != rowsByCard.size()) {
        raiseChanged(LoadLangString(u"留待手工调整的卡片是 %1 张而不是 %2 张"_s)
                         .arg(queue.count())
                         .arg(rowsByCard.size()));
    }
    FieldRecord allocations = FieldRecord::create();
    for (qsizetype p = 1; p <= queue.count(); ++p) {
        const qint32 cardId = queue.at(p).value(Fields::FAlterID).toInt();
        if (!rowsByCard.contains(cardId))
            raiseChanged(LoadLangString(u"卡片 %1 变成需要手工调整"_s)
                             .arg(CardRecords::describeCard(set, cardId)));
        allocations.setValue(QString::number(p), rowsByCard.value(cardId));
    }
    sink.progressLine(LoadLangString(u"正在保存 %1 张卡片的费用分配行……"_s).arg(rowsByCard.size()));
    cardUpdate->SaveDoubleExpense(props, allocations);
    result.outcome = WorksheetImportResult::Outcome::Saved;
    return result;
}

} // namespace FixedAssets
