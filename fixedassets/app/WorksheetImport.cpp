#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "allocation/CardView.h"
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
#include "host/MMTS.h"

#include <QHash>
#include <QMap>

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;
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

// The checks of a whole card that its lines cannot make alone, before the account set's own:
// no line repeats another, and each department of the card has lines whose rates make 100 %.
void checkCard(const ManualCard &card, const QList<std::pair<qsizetype, FieldRecord>> &rows,
               QList<WorksheetFault> &faults)
{
    QHash<QString, qsizetype> seen;
    struct Department {
        qsizetype firstLine = 0;
        double sum = 0.0;
        bool fractions = true; // every rate at most 1 %: fractions typed where percent belongs
    };
    QHash<qint32, Department> departments;
    for (const auto &[line, row] : rows) {
        // As the wizard tells two rows apart: by the items' names, not their IDs.
        const QString key = u"%1|%2|"_s.arg(row.value(Fields::FDeptID).toInt())
                                .arg(row.value(Fields::FAcctID).toInt()) +
                            AllocFix::CardView::ItemListText(row.value(Fields::Detail).toList());
        if (const qsizetype first = seen.value(key); first != 0) {
            faults.append({line, LoadLangString(u"这一行与第 %1 行重复：部门、科目和核算项目都相同"_s).arg(first)});
        } else {
            seen.insert(key, line);
        }
        Department &department = departments[row.value(Fields::FDeptID).toInt()];
        if (department.firstLine == 0)
            department.firstLine = line;
        const double rate = row.value(Fields::FRate).toDouble();
        department.sum += rate;
        department.fractions = department.fractions && rate <= 0.01;
    }
    for (qsizetype d = 1; d <= card.departments.count(); ++d) {
        const FieldRecord record = card.departments.at(d);
        const QString name = record.value(Fields::FItemName).toText();
        const auto department = departments.constFind(record.value(Fields::FItemID).toInt());
        if (department == departments.cend()) {
            faults.append(
                {rows.first().first,
                 LoadLangString(u"卡片 %1：部门 %2 没有行；卡片的每个部门都需要比例合计为 100% 的行"_s).arg(cardName(card), name)});
            continue;
        }
        if (std::llround(department->sum * 10000.0) == 10000)
            continue;
        const QString sum = Worksheet::percentText(department->sum);
        faults.append(
            {department->firstLine,
             department->fractions && std::llround(department->sum * 10000.0) == 100
                 ? LoadLangString(u"卡片 %2 上部门 %1 的比例合计为 %3%：比例是百分数，一半请写 50，不是 0.5"_s).arg(name, cardName(card), sum)
                 : LoadLangString(u"卡片 %2 上部门 %1 的比例合计为 %3%，不是 100%"_s).arg(
                       name, cardName(card), sum)});
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
                          ? LoadLangString(u"%1 中有 1 处错误；没有保存任何内容"_s).arg(file)
                          : LoadLangString(u"%2 中有 %1 处错误；没有保存任何内容"_s).arg(faults.size()).arg(file))));
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
                       LoadLangString(u"卡片 %1 没有%2：请保持导出时写的这一列"_s).arg(
                           cardName(card), lines.header(Kind::CheckCode))});
        return std::nullopt;
    }
    if (fileCard.checkCode != card.fingerprint) {
        faults.append({fileCard.checkCodeLine,
                       LoadLangString(u"卡片 %1 在导出后已被修改（其部门或费用分配行与导出时不同）；请重新导出"_s).arg(cardName(card))});
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
                {0, LoadLangString(u"卡片 %1 留待手工调整，但不在工作表中；卡片要一起保存，请逐张填写"_s).arg(cardName(card))});
        } else if (fileCard->filled.isEmpty()) {
            faults.append({fileCard->firstLine,
                           LoadLangString(u"卡片 %1 没有填写的行；留待手工调整的卡片要一起保存，请逐张填写"_s).arg(cardName(card))});
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
    const qsizetype automatic = readManualCards(props, LoadLangString(u"正在读取留待手工调整的卡片"_s),
                                                [&manual](ManualCard &card) {
                                                    card.rows = RecordList();
                                                    manual.append(card);
                                                });
    if (manual.isEmpty()) {
        throw AllocFix::Failure(AllocFix::ErrorNumber::InvalidArgument,
                                LoadLangString(u"没有留待手工调整的卡片，%1 没有可保存的内容（allocfix check 会列出剩下的）"_s).arg(file),
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
        Progress progress(LoadLangString(u"正在检查工作表"_s), lines.cards().size());
        for (const WorksheetLines::Card &fileCard : lines.cards()) {
            progress.advance();
            const ManualCard *card = manualByNumber.value(fileCard.number);
            // Lines that only show a card allocated since the export ask for nothing; a card
            // without filled lines is told with the missing ones.
            if (!card && !fileCard.filled.isEmpty()) {
                faults.append({fileCard.filled.first().line,
                               LoadLangString(u"%1 不是留待手工调整的卡片：没有卡片用此编码，或它在导出后已被分配"_s).arg(fileCard.number)});
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
        LoadLangString(u"%1：%2 张卡片，%3 个费用分配行，没有错误"_s).arg(file).arg(rowsByCard.size()).arg(rowCount);
    if (options.dryRun) {
        printLine(stdout, LoadLangString(u"%1；没有保存任何内容（--dry-run）。"_s).arg(checked));
        if (automatic > 0)
            printLine(stdout, LoadLangString(u"导入会先自动调整 %1 张卡片。"_s).arg(automatic));
        return ExitSuccess;
    }

    // The card services map positions to cards by the queue the adjustment leaves, and the
    // adjustment first adjusts the cards it can by itself, as the wizard's adjustment does.
    const auto cardUpdate =
        AllocFix::createService<AllocFix::ICardUpdate>(AllocFix::ProgId::CardUpdate);
    const RecordList queue = cardUpdate->ReturnExpensInf(props);
    if (automatic > 0) {
        printLine(stdout,
                  LoadLangString(u"已先自动调整 %1 张卡片，与向导相同。"_s).arg(automatic));
    }
    // Another user may have saved or changed cards since they were read: every card must still
    // be the one checked, or nothing is saved.
    const auto raiseChanged = [&file](const QString &what) {
        throw AllocFix::Failure(AccountSetError::SaveRejected,
                                LoadLangString(u"%1 的内容都没有保存：检查工作表之后%2；请检查卡片后重新导出"_s).arg(file, what),
                                AccountSetError::Source);
    };
    if (queue.count() != rowsByCard.size()) {
        raiseChanged(LoadLangString(u"留待手工调整的卡片是 %1 张而不是 %2 张"_s).arg(queue.count())
                         .arg(rowsByCard.size()));
    }
    FieldRecord allocations = FieldRecord::create();
    for (qsizetype p = 1; p <= queue.count(); ++p) {
        const qint32 cardId = queue.at(p).value(Fields::FAlterID).toInt();
        if (!rowsByCard.contains(cardId))
            raiseChanged(LoadLangString(u"卡片 %1 变成需要手工调整"_s).arg(
                CardRecords::describeCard(set, cardId)));
        allocations.setValue(QString::number(p), rowsByCard.value(cardId));
    }
    printLine(stderr, LoadLangString(u"正在保存 %1 张卡片的费用分配行……"_s).arg(rowsByCard.size()));
    cardUpdate->SaveDoubleExpense(props, allocations);
    printLine(stdout, LoadLangString(u"%1；已保存。"_s).arg(checked));
    return ExitSuccess;
}

} // namespace FixedAssets::Subcommands
