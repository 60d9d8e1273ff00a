#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "allocation/AllocationRules.h"
#include "app/CsvFile.h"
#include "app/LineToRow.h"
#include "app/ManualCards.h"
#include "app/Progress.h"
#include "app/ReferenceData.h"
#include "app/Subcommands.h"
#include "app/WorksheetLines.h"
#include "contracts/CardServices.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "records/RecordFields.h"
#include "services/CardRecords.h"
#include "services/SaveChecks.h"

#include <QHash>
#include <QMap>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;
namespace Fields = AllocFix::Fields;

namespace FixedAssets::Subcommands {

namespace {

using Worksheet::Kind;

QString cardName(const ManualCard &card)
{
    return card.number + u' ' + card.name;
}

// The checks of a whole card that its lines cannot make alone, by the rules the wizard and the
// save apply: no line repeats another, and each department of the card has lines whose rates make
// 100 %. A line's own rules (department, account, items, rate) LineToRow tells line by line.
void checkCard(const ManualCard &card, const QList<std::pair<qsizetype, FieldRecord>> &rows,
               QList<WorksheetFault> &faults)
{
    RecordList list = RecordList::create();
    for (const auto &[line, row] : rows)
        list.append(row);
    const auto lineOf = [&rows](qsizetype row) { return rows.at(row - 1).first; };
    for (const AllocFix::AllocationFault &fault : AllocFix::cardFaults(card.departments, list)) {
        const auto ofDepartment = [&fault](const FieldRecord &row) {
            return row.value(Fields::FDeptID).toInt() == fault.departmentId;
        };
        QString name;
        for (qsizetype d = 1; d <= card.departments.count(); ++d) {
            if (card.departments.at(d).value(Fields::FItemID).toInt() == fault.departmentId)
                name = card.departments.at(d).value(Fields::FItemName).toText();
        }
        if (fault.rule == AllocFix::AllocationRule::DuplicateRow) {
            faults.append({lineOf(fault.row), u"the line repeats line %1: the same department, "
                                              "account and items"_s.arg(lineOf(fault.earlierRow))});
        } else if (fault.rule == AllocFix::AllocationRule::DepartmentWithoutRows) {
            faults.append(
                {rows.first().first,
                 u"card %1: the department %2 has no line; each of the card's "
                 "departments needs lines whose rates make 100%"_s.arg(cardName(card), name)});
        } else if (fault.rule == AllocFix::AllocationRule::RatesNotWhole) {
            const auto first = std::find_if(rows.cbegin(), rows.cend(), [&](const auto &line) {
                return ofDepartment(line.second);
            });
            if (first == rows.cend())
                continue; // told above: the department has no line
            double sum = 0.0;
            bool fractions = true; // every rate at most 1 %: fractions typed where percent belongs
            for (const auto &[line, row] : rows) {
                if (ofDepartment(row)) {
                    sum += row.value(Fields::FRate).toDouble();
                    fractions = fractions && row.value(Fields::FRate).toDouble() <= 0.01;
                }
            }
            const QString percent = Worksheet::percentText(sum);
            faults.append(
                {first->first,
                 fractions && fault.allocated == AllocFix::WholeRateUnits / 100
                     ? u"the rates of department %1 on card %2 make %3%: rates are percent, so "
                       "write 50 for half, not 0.5"_s.arg(name, cardName(card), percent)
                     : u"the rates of department %1 on card %2 make %3%, not 100%"_s.arg(
                           name, cardName(card), percent)});
        }
    }
}

// The refused lines, as "file:line: reason" in line order, then a summary.
void printFaults(const QString &file, QList<WorksheetFault> faults)
{
    std::stable_sort(
        faults.begin(), faults.end(), [](const WorksheetFault &a, const WorksheetFault &b) {
            return (a.line == 0 ? PTRDIFF_MAX : a.line) < (b.line == 0 ? PTRDIFF_MAX : b.line);
        });
    for (const WorksheetFault &fault : std::as_const(faults)) {
        const QString where = fault.line > 0 ? u"%1:%2"_s.arg(file).arg(fault.line) : file;
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(where), qUtf8Printable(fault.reason));
    }
    std::fprintf(stderr, "allocfix: %s\n",
                 qUtf8Printable(
                     (faults.size() == 1
                          ? u"1 fault in %1; nothing was saved"_s.arg(file)
                          : u"%1 faults in %2; nothing was saved"_s.arg(faults.size()).arg(file))));
}

// The rows a card's filled lines ask for, checked by the rules the account set keeps; nothing,
// with the faults added, when a line or the card is at fault. With saveChecks, the account set's
// own checks of a save run too, as they will in the save (a dry run gives their verdict; an import
// leaves them to the save, which refuses all cards when they find a fault).
std::optional<RecordList> rowsOfCard(const WorksheetLines &lines,
                                     const WorksheetLines::Card &fileCard, const ManualCard &card,
                                     const LineToRow &lineToRow, SaveChecks *saveChecks,
                                     QList<WorksheetFault> &faults)
{
    if (fileCard.checkCode.isEmpty()) {
        faults.append({fileCard.firstLine,
                       u"card %1 has no %2: keep that column as the export wrote it"_s.arg(
                           cardName(card), lines.header(Kind::CheckCode))});
        return std::nullopt;
    }
    if (fileCard.checkCode != card.fingerprint) {
        faults.append({fileCard.checkCodeLine,
                       u"card %1 has changed since the export (its departments or expense rows "
                       "are not the ones exported); export it again"_s.arg(cardName(card))});
        return std::nullopt;
    }

    const qsizetype faultsBefore = faults.size();
    QList<std::pair<qsizetype, FieldRecord>> rows;
    for (const CsvRecord &line : fileCard.filled) {
        QStringList reasons;
        if (const std::optional<FieldRecord> row = lineToRow.row(line, card, reasons))
            rows.append({line.line, *row});
        else
            faults.append({line.line, reasons.join(u"; "_s)});
    }
    if (faults.size() == faultsBefore)
        checkCard(card, rows, faults);
    if (faults.size() != faultsBefore)
        return std::nullopt;

    RecordList list = RecordList::create();
    for (const auto &[line, row] : std::as_const(rows))
        list.append(row);
    if (!saveChecks)
        return list;
    try {
        saveChecks->checkCard(card.cardId, card.position, list);
    } catch (const AllocFix::Failure &failure) {
        if (failure.number() != AccountSetError::SaveRejected)
            throw;
        faults.append({fileCard.filled.first().line, failure.description()});
        return std::nullopt;
    }
    return list;
}

// The cards left for manual work are saved together, as the wizard saves them: each needs lines.
void requireEveryCard(const QList<ManualCard> &manual, const WorksheetLines &lines,
                      QList<WorksheetFault> &faults)
{
    QHash<QString, const WorksheetLines::Card *> fileCards;
    for (const WorksheetLines::Card &fileCard : lines.cards())
        fileCards.insert(fileCard.number, &fileCard);
    for (const ManualCard &card : manual) {
        const WorksheetLines::Card *fileCard = fileCards.value(card.number);
        if (!fileCard) {
            faults.append(
                {0, u"card %1 is left for manual work but not in the worksheet; the "
                    "cards are saved together, so fill in every one"_s.arg(cardName(card))});
        } else if (fileCard->filled.isEmpty()) {
            faults.append({fileCard->firstLine,
                           u"card %1 has no filled line; the cards left for manual work are "
                           "saved together, so fill in every one"_s.arg(cardName(card))});
        }
    }
}

} // namespace

int importWorksheet(const ProgramOptions &options, const QString &props)
{
    const QString &file = options.worksheet;
    const QList<CsvRecord> records = readCsvFile(file);
    const ReferenceData reference;
    QList<WorksheetFault> faults;
    const WorksheetLines lines(records, reference, faults);
    if (!faults.isEmpty() && lines.cards().isEmpty()) {
        printFaults(file, faults);
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
    for (const ManualCard &card : std::as_const(manual))
        manualByNumber.insert(card.number, &card);

    const LineToRow lineToRow(lines, reference);
    const AccountSet set = AccountSet::fromProps(props);
    std::optional<SaveChecks> saveChecks;
    if (options.dryRun)
        saveChecks.emplace(set);
    QMap<qint32, RecordList> rowsByCard;
    qsizetype rowCount = 0;
    {
        Progress progress(u"Checking the worksheet"_s, lines.cards().size());
        for (const WorksheetLines::Card &fileCard : lines.cards()) {
            progress.advance();
            const ManualCard *card = manualByNumber.value(fileCard.number);
            // Lines that only show a card allocated since the export ask for nothing; a card
            // without filled lines is told with the missing ones.
            if (!card && !fileCard.filled.isEmpty()) {
                faults.append({fileCard.filled.first().line,
                               u"%1 is no card left for manual work: no card has this number, "
                               "or it has been allocated since the export"_s.arg(fileCard.number)});
            }
            if (!card || fileCard.filled.isEmpty())
                continue;
            if (const std::optional<RecordList> rows =
                    rowsOfCard(lines, fileCard, *card, lineToRow,
                               saveChecks ? &*saveChecks : nullptr, faults)) {
                rowsByCard.insert(card->cardId, *rows);
                rowCount += rows->count();
            }
        }
    }
    requireEveryCard(manual, lines, faults);
    if (!faults.isEmpty()) {
        printFaults(file, faults);
        return ExitBadInput;
    }

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

} // namespace FixedAssets::Subcommands
