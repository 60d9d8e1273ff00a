#include "worksheet/WorksheetExport.h"

#include "allocation/AllocationTexts.h"
#include "allocation/Rate.h"
#include "contracts/ItemService.h"
#include "host/MMTS.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "worksheet/ManualCards.h"
#include "worksheet/ReferenceData.h"
#include "worksheet/TableFile.h"
#include "worksheet/Worksheet.h"

#include <algorithm>

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;
using AllocFix::MMTS::LoadLangString;
namespace Fields = AllocFix::Fields;

namespace FixedAssets {

namespace {

using Worksheet::Kind;

QString departmentsText(const RecordList &departments)
{
    QStringList shares;
    for (qsizetype d = 1; d <= departments.count(); ++d) {
        const FieldRecord department = departments.at(d);
        shares.append(department.value(Fields::FItemName).toText() + u' ' +
                      AllocFix::Rate::roundedText(department.value(Fields::FRate).toDouble()) +
                      u'%');
    }
    return shares.join(u"; "_s);
}

// One line of the worksheet for one of the card's rows. A legacy row leaves the columns to fill
// empty; a row that already names its department fills them in, so that it is kept unless the
// user changes it.
QVariantList lineFor(const ManualCard &card, const FieldRecord &row,
                     const QList<Worksheet::Column> &columns, const ReferenceData &reference)
{
    const qint32 departmentId = row.value(Fields::FDeptID).toInt();
    const RecordList items = row.value(Fields::Detail).toList();
    QVariantList cells;
    cells.reserve(columns.size());
    for (const Worksheet::Column &column : columns) {
        switch (column.kind) {
        case Kind::Position:
            cells.append(static_cast<double>(card.position));
            break;
        case Kind::AssetNumber:
            cells.append(card.number);
            break;
        case Kind::AssetName:
            cells.append(card.name);
            break;
        case Kind::Departments:
            cells.append(departmentsText(card.departments));
            break;
        case Kind::OldAccount:
            cells.append(departmentId == 0 ? row.value(Fields::FAcctNumber).toText() + u' ' +
                                                 row.value(Fields::FAcctName).toText()
                                           : QString());
            break;
        case Kind::OldItems:
            cells.append(departmentId == 0 ? AllocFix::AllocationTexts::ItemListText(items)
                                           : QString());
            break;
        case Kind::OldRate:
            cells.append(departmentId == 0 ? QVariant(AllocFix::Rate::roundedPercent(
                                                 row.value(Fields::FRate).toDouble()))
                                           : QVariant(QString()));
            break;
        case Kind::Department: {
            const CodedEntry *department =
                reference.item(AllocFix::DepartmentItemClass, departmentId);
            cells.append(department ? department->name : QString());
            break;
        }
        case Kind::Account:
            cells.append(departmentId != 0 ? row.value(Fields::FAcctNumber).toText() : QString());
            break;
        case Kind::Item: {
            QString number;
            for (qsizetype i = 1; departmentId != 0 && items && i <= items.count(); ++i) {
                const FieldRecord item = items.at(i);
                if (item.value(Fields::FItemClassID).toInt() != column.itemClass)
                    continue;
                const CodedEntry *entry =
                    reference.item(column.itemClass, item.value(Fields::FItemID).toInt());
                number = entry ? entry->number : QString();
            }
            cells.append(number);
            break;
        }
        case Kind::Rate:
            cells.append(departmentId != 0
                             ? AllocFix::Rate::roundedText(row.value(Fields::FRate).toDouble())
                             : QString());
            break;
        case Kind::CheckCode:
            cells.append(card.fingerprint);
            break;
        }
    }
    return cells;
}

QList<CodedEntry> detailLevel(const QList<CodedEntry> &entries)
{
    QList<CodedEntry> detail;
    std::copy_if(entries.cbegin(), entries.cend(), std::back_inserter(detail),
                 [](const CodedEntry &entry) { return entry.detail; });
    return detail;
}

const QString DepartmentsSheet = u"部门列表"_s;

// The sheets a user looks codes up in while filling in the worksheet: detail-level entries only.
void addReferenceSheets(TableFile &table, const ReferenceData &reference)
{
    const QString number = AllocFix::MMTS::LoadLangString2(u"编码"_s);
    const QString name = AllocFix::MMTS::LoadLangString2(u"名称"_s);
    const QString itemClass = AllocFix::MMTS::LoadLangString2(u"核算类别"_s);

    table.addSheet(Worksheet::sheetName(DepartmentsSheet), {{number, 10}, {name, 20}}, 0);
    const QList<CodedEntry> departments =
        detailLevel(reference.items(AllocFix::DepartmentItemClass));
    for (const CodedEntry &department : departments)
        table.addRow({department.number, department.name});

    table.addSheet(Worksheet::sheetName(u"科目列表"_s), {{number, 12}, {name, 24}, {itemClass, 24}},
                   0);
    for (const ReferenceData::Account &account : reference.accounts()) {
        QStringList classes;
        for (const ReferenceData::ItemClass &c : account.classes)
            classes.append(c.name);
        table.addRow({account.entry.number, account.entry.name, classes.join(u", "_s)});
    }

    table.addSheet(Worksheet::sheetName(u"核算项目列表"_s),
                   {{itemClass, 12}, {number, 12}, {name, 24}}, 0);
    for (const ReferenceData::ItemClass &c : reference.itemClasses()) {
        const QList<CodedEntry> items = detailLevel(reference.items(c.id));
        for (const CodedEntry &item : items)
            table.addRow({c.name, item.number, item.name});
    }
}

} // namespace

WorksheetExportResult exportWorksheet(const WorksheetExportRequest &request, WorksheetSink &sink)
{
    // Made first, so that a file that cannot be made is told before the long read.
    const std::unique_ptr<TableFile> table = TableFile::create(request.path, request.writePath);
    const ReferenceData reference;

    const QList<Worksheet::Column> columns = Worksheet::columns(reference.itemClasses());
    QList<TableFile::Column> tableColumns;
    int departmentColumn = 0;
    for (const Worksheet::Column &column : columns) {
        if (column.kind == Kind::Department)
            departmentColumn = static_cast<int>(tableColumns.size());
        tableColumns.append({column.header, column.width, column.toFill()});
    }
    const QString mainSheet = Worksheet::sheetName(u"手工调整卡片"_s);
    table->addSheet(mainSheet, tableColumns, 3);
    table->addNote(0, LoadLangString(u"填好后在电子表格程序中直接保存，再用 allocfix import 导入："
                                     u"它读取 .xlsx（推荐）、.ods，以及 UTF-8、UTF-16 或 GB18030 "
                                     u"的 CSV。"_s));
    table->offerValues(
        departmentColumn, Worksheet::sheetName(DepartmentsSheet), 1,
        static_cast<int>(detailLevel(reference.items(AllocFix::DepartmentItemClass)).size()));
    WorksheetExportResult result;
    readManualCards(request.props, LoadLangString(u"正在导出留待手工调整的卡片"_s), sink,
                    [&](const ManualCard &card) {
                        for (qsizetype r = 1; r <= card.rows.count(); ++r) {
                            table->addRow(lineFor(card, card.rows.at(r), columns, reference));
                            ++result.lines;
                        }
                        ++result.cards;
                    });
    addReferenceSheets(*table, reference);
    table->finish();
    return result;
}

} // namespace FixedAssets
