#include "scale/FilledWorksheet.h"

#include "worksheet/CsvFile.h"
#include "worksheet/TableFile.h"

#include <QMap>
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
        QMap<QStringList, double> split; // account and items, then the rate
        for (const QStringList &line : std::as_const(cardLines)) {
            QStringList key{line[OldAccount].section(u' ', 0, 0)};
            const QStringList items = line[OldItems].split(u'/', Qt::SkipEmptyParts);
            for (const QString &item : items) {
                if (!item.startsWith(u"部门-"_s))
                    key.append(item);
            }
            split[key] += line[OldRate].toDouble();
        }
        const QStringList departments = cardLines.first()[Departments].split(u"; "_s);
        // Each new row is written on one of the card's exported lines first, and on a copy of
        // its first line only when the card has no line left, as the README tells the user to
        // fill it: the sheet then stays within a workbook's rows at a million cards.
        qsizetype used = 0;
        for (const QString &share : departments) {
            for (auto part = split.cbegin(); part != split.cend(); ++part) {
                QStringList line;
                if (used < cardLines.size()) {
                    line = cardLines[used];
                } else {
                    line = cardLines.first();
                    // What the sheet shows of the card is read from its exported lines: left
                    // blank on the copies, which keeps a million cards' sheet within the
                    // import's file limit.
                    for (const int shown : {AssetName, Departments, OldAccount, OldItems, OldRate})
                        line[shown].clear();
                }
                line[Department] = share.section(u' ', 0, 0);
                line[Account] = part.key().first();
                for (const QString &item : part.key().mid(1)) {
                    line[headers.indexOf(u"核算项目(%1)"_s.arg(item.section(u'-', 0, 0)))] =
                        item.section(u'-', 1);
                }
                line[headers.indexOf(u"分配比例(%)"_s)] = QString::number(part.value());
                addRow(line);
                ++used;
                ++filled.lines;
            }
        }
        for (qsizetype unused = used; unused < cardLines.size(); ++unused)
            addRow(cardLines[unused]);
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
