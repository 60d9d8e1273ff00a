#include "scale/FilledWorksheet.h"

#include "worksheet/CsvFile.h"
#include "worksheet/TableFile.h"

#include <QVariantList>

#include <stdexcept>

using namespace Qt::StringLiterals;
using namespace FixedAssets;

namespace Bench {

namespace {

// The worksheet's columns, in the order the export writes them.
enum Column {
    AssetNumber = 1,
    AssetName,
    Departments,
    OldAccount,
    OldItems,
    OldRate,
    Department,
    Account
};

} // namespace

FilledLines fillWorksheet(const QString &exportedCsv, const QStringList &filledFiles)
{
    CsvReader records(exportedCsv, WorksheetLimits);
    const std::optional<CsvRecord> header = records.next();
    if (!header)
        throw std::runtime_error("the exported worksheet is empty");
    const QStringList headers = header->fields;
    QList<TableFile::Column> columns;
    for (const QString &name : headers)
        columns.append({name});
    std::vector<std::unique_ptr<TableFile>> tables;
    for (const QString &file : filledFiles) {
        tables.push_back(TableFile::create(file, file));
        tables.back()->addSheet(u"filled"_s, columns, 0);
    }
    const auto addRow = [&tables](const QStringList &line) {
        for (const auto &table : tables)
            table->addRow(QVariantList(line.cbegin(), line.cend()));
    };
    FilledLines filled;
    QList<QStringList> cardLines;
    const auto fillCard = [&] {
        if (cardLines.isEmpty())
            return;
        // The account and the items, but for the department's own, of the card's first line.
        QStringList account{cardLines.first()[OldAccount].section(u' ', 0, 0)};
        const QStringList items = cardLines.first()[OldItems].split(u'/', Qt::SkipEmptyParts);
        for (const QString &item : items) {
            if (!item.startsWith(u"部门-"_s))
                account.append(item);
        }
        const QStringList departments = cardLines.first()[Departments].split(u"; "_s);
        // Each department takes the whole of its share on the card's first account and items,
        // written on one of the card's exported lines, and on a copy of its first line only when
        // the card has more departments than lines, as the README tells the user to fill it; the
        // lines left over only showed the card and are deleted, as a user may. A sheet of a
        // million cards (200,000 manual) then stays within a workbook's 1,048,576 rows, which the
        // old split of every department across every account did not.
        qsizetype used = 0;
        for (const QString &share : departments) {
            QStringList line;
            if (used < cardLines.size()) {
                line = cardLines[used];
            } else {
                line = cardLines.first();
                // What the sheet shows of the card is read from its exported lines: left blank
                // on the copies.
                for (const int shown : {AssetName, Departments, OldAccount, OldItems, OldRate})
                    line[shown].clear();
            }
            line[Department] = share.section(u' ', 0, 0);
            line[Account] = account.first();
            for (const QString &item : account.mid(1)) {
                line[headers.indexOf(u"核算项目(%1)"_s.arg(item.section(u'-', 0, 0)))] =
                    item.section(u'-', 1);
            }
            line[headers.indexOf(u"分配比例(%)"_s)] = u"100"_s;
            addRow(line);
            ++used;
            ++filled.lines;
        }
        ++filled.cards;
        cardLines.clear();
    };
    while (const std::optional<CsvRecord> record = records.next()) {
        if (!cardLines.isEmpty() && cardLines.first()[AssetNumber] != record->fields[AssetNumber])
            fillCard();
        cardLines.append(record->fields);
    }
    fillCard();
    for (const auto &table : tables)
        table->finish();
    return filled;
}

} // namespace Bench
