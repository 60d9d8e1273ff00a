#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "accountset/Schema.h"
#include "allocation/CardView.h"
#include "app/CsvFile.h"
#include "app/LineToRow.h"
#include "app/ManualCards.h"
#include "app/Progress.h"
#include "app/ReferenceData.h"
#include "app/Subcommands.h"
#include "app/WorksheetLines.h"
#include "contracts/CardServices.h"
#include "host/MMTS.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "records/RecordFields.h"
#include "services/CardRecords.h"
#include "services/SaveChecks.h"

#include <QFileInfo>
#include <QHash>
#include <QMap>

#include <new>
#include <cmath>
#include <cstdio>

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;
namespace Fields = AllocFix::Fields;

namespace FixedAssets::Subcommands {

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
        double sum = 0.0;
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
        faults.add(line, u"the %1 differs from that of line %2 of the same card"_s
                             .arg(lines.header(Kind::CheckCode))
                             .arg(fileCard.checkCodeLine));
        fileCard.faulty = true;
        return false;
    }
    fileCard.checkCode = code;
    fileCard.checkCodeLine = line;
    if (code != card.fingerprint) {
        faults.add(line, u"card %1 has changed since the export (its departments or expense rows "
                         "are not the ones exported); export it again"_s.arg(cardName(card)));
        fileCard.refused = true;
    }
    return !fileCard.refused;
}

// A row a filled line asks for, with the check the whole card needs of each: no line repeats
// another.
void addRow(FileCard &fileCard, qsizetype line, const FieldRecord &row, WorksheetFaults &faults)
{
    // As the wizard tells two rows apart: by the items' names, not their IDs.
    const QString key = u"%1|%2|"_s.arg(row.value(Fields::FDeptID).toInt())
                            .arg(row.value(Fields::FAcctID).toInt()) +
                        AllocFix::CardView::ItemListText(row.value(Fields::Detail).toList());
    FileCard::Department &department = fileCard.departments[row.value(Fields::FDeptID).toInt()];
    if (department.firstLine == 0)
        department.firstLine = line;
    const double rate = row.value(Fields::FRate).toDouble();
    department.sum += rate;
    department.fractions = department.fractions && rate <= 0.01;
    if (const qsizetype first = fileCard.seen.value(key); first != 0) {
        faults.add(line, u"the line repeats line %1: the same department, account and "
                         "items"_s.arg(first));
        fileCard.repeats = true;
        return;
    }
    fileCard.seen.insert(key, line);
    if (!fileCard.faulty && !fileCard.repeats)
        fileCard.rows.append(row);
}

// The check of a whole card that its lines cannot make alone, before the account set's own: each
// department of the card has lines whose rates make 100 %.
void checkDepartments(const FileCard &fileCard, WorksheetFaults &faults)
{
    const ManualCard &card = *fileCard.card;
    for (qsizetype d = 1; d <= card.departments.count(); ++d) {
        const FieldRecord record = card.departments.at(d);
        const QString name = record.value(Fields::FItemName).toText();
        const auto department =
            fileCard.departments.constFind(record.value(Fields::FItemID).toInt());
        if (department == fileCard.departments.cend()) {
            faults.add(fileCard.firstFilledLine,
                       u"card %1: the department %2 has no line; each of the card's "
                       "departments needs lines whose rates make 100%"_s.arg(cardName(card), name));
            continue;
        }
        if (std::llround(department->sum * 10000.0) == 10000)
            continue;
        const QString sum = Worksheet::percentText(department->sum);
        faults.add(department->firstLine,
                   department->fractions && std::llround(department->sum * 10000.0) == 100
                       ? u"the rates of department %1 on card %2 make %3%: rates are percent, so "
                         "write 50 for half, not 0.5"_s.arg(name, cardName(card), sum)
                       : u"the rates of department %1 on card %2 make %3%, not 100%"_s.arg(
                             name, cardName(card), sum));
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
        faults.add(fileCard.firstLine,
                   u"card %1 has no %2: keep that column as the export wrote it"_s.arg(
                       cardName(card), lines.header(Kind::CheckCode)));
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
            faults.add(0, u"card %1 is left for manual work but not in the worksheet; the "
                          "cards are saved together, so fill in every one"_s.arg(cardName(card)));
        } else if (fileCard->firstFilledLine == 0 && !fileCard->refused) {
            faults.add(fileCard->firstLine,
                       u"card %1 has no filled line; the cards left for manual work are "
                       "saved together, so fill in every one"_s.arg(cardName(card)));
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

int importFile(const ProgramOptions &options, const QString &props)
{
    const QString &file = options.worksheet;
    CsvReader reader(file, WorksheetLimits);
    const ReferenceData reference;
    WorksheetFaults faults;
    const WorksheetLines lines(reader.next(), reference, faults);
    if (!faults.isEmpty()) {
        faults.print(file);
        return ExitBadInput;
    }

    // The cards without their rows: the fingerprint stands for them.
    QList<ManualCard> manual;
    const qsizetype automatic = readManualCards(props, u"Reading the cards left for manual work"_s,
                                                [&manual](ManualCard &card) {
                                                    card.rows = RecordList();
                                                    manual.append(card);
                                                });
    if (manual.isEmpty()) {
        throw AllocFix::Failure(AllocFix::ErrorNumber::InvalidArgument,
                                u"No card is left for manual work, so %1 has nothing to save "
                                "(allocfix check tells what is left)"_s.arg(file),
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
        Progress progress(u"Checking the worksheet"_s, reader.size());
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
                    faults.add(line->line, u"the line names no card: fill in its %1"_s.arg(
                                               lines.header(Kind::AssetNumber)));
                }
                continue;
            }
            const ManualCard *card = manualByNumber.value(number);
            // Lines that only show a card allocated since the export ask for nothing.
            if (!card) {
                if (filled) {
                    faults.add(line->line,
                               u"%1 is no card left for manual work: no card has this number, "
                               "or it has been allocated since the export"_s.arg(
                                   WorksheetFaults::shown(number)));
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
    if (options.dryRun)
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
    if (!faults.isEmpty()) {
        faults.print(file);
        return ExitBadInput;
    }
    fileCards.clear();
    const QString checked =
        u"%1: %2 cards, %3 expense rows, no fault"_s.arg(file).arg(rowsByCard.size()).arg(rowCount);
    if (options.dryRun) {
        std::printf("%s; nothing was saved (--dry-run).\n", qUtf8Printable(checked));
        if (automatic > 0)
            std::printf("The import adjusts %lld cards automatically first.\n",
                        static_cast<long long>(automatic));
        return ExitSuccess;
    }

    // The card services map positions to cards by the queue the adjustment leaves, and the
    // adjustment first adjusts the cards it can by itself, as the wizard's adjustment does.
    const auto cardUpdate =
        AllocFix::createService<AllocFix::ICardUpdate>(AllocFix::ProgId::CardUpdate);
    const RecordList queue = cardUpdate->ReturnExpensInf(props);
    if (automatic > 0) {
        std::printf("Adjusted %lld cards automatically first, as the wizard does.\n",
                    static_cast<long long>(automatic));
        std::fflush(stdout);
    }
    // Another user may have saved or changed cards since they were read: every card must still
    // be the one checked, or nothing is saved.
    const auto raiseChanged = [&file](const QString &what) {
        throw AllocFix::Failure(AccountSetError::SaveRejected,
                                u"Nothing of %1 was saved: %2 since the worksheet was checked; "
                                "check the cards and export again"_s.arg(file, what),
                                AccountSetError::Source);
    };
    if (queue.count() != rowsByCard.size()) {
        raiseChanged(u"%1 cards instead of %2 are left for manual work"_s.arg(queue.count())
                         .arg(rowsByCard.size()));
    }
    FieldRecord allocations = FieldRecord::create();
    for (qsizetype p = 1; p <= queue.count(); ++p) {
        const qint32 cardId = queue.at(p).value(Fields::FAlterID).toInt();
        if (!rowsByCard.contains(cardId))
            raiseChanged(u"card %1 has come to need manual work"_s.arg(
                CardRecords::describeCard(set, cardId)));
        allocations.setValue(QString::number(p), rowsByCard.value(cardId));
    }
    std::fprintf(stderr, "Saving the expense rows of %lld cards...\n",
                 static_cast<long long>(rowsByCard.size()));
    cardUpdate->SaveDoubleExpense(props, allocations);
    std::printf("%s; saved.\n", qUtf8Printable(checked));
    return ExitSuccess;
}

} // namespace

int importWorksheet(const ProgramOptions &options, const QString &props)
{
    try {
        return importFile(options, props);
    } catch (const std::bad_alloc &) {
        // Told as what it is, not as a failure that may go through when tried again.
        const qint64 megabytes = (QFileInfo(options.worksheet).size() + (1 << 20) - 1) >> 20;
        std::fprintf(
            stderr, "allocfix: %s\n",
            qUtf8Printable(LoadLangString(u"%1：工作表太大，无法读取（%2 MB）；没有保存任何"
                                          "内容"_s)
                               .arg(options.worksheet)
                               .arg(megabytes)));
        return ExitBadInput;
    }
}

} // namespace FixedAssets::Subcommands
