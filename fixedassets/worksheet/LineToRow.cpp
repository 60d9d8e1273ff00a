#include "worksheet/LineToRow.h"

#include "allocation/AllocationRules.h"
#include "contracts/ItemService.h"
#include "host/MMTS.h"
#include "records/RecordFields.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;
using AllocFix::MMTS::LoadLangString;
namespace Fields = AllocFix::Fields;

namespace FixedAssets {

namespace {
using Worksheet::Kind;
constexpr qint32 DepartmentClass = AllocFix::DepartmentItemClass;
} // namespace

LineToRow::LineToRow(const WorksheetLines &lines, const ReferenceData &reference)
    : m_lines(lines)
    , m_reference(reference)
{}

std::optional<double> LineToRow::rate(const QString &text, QString &reason)
{
    static const QRegularExpression percent(uR"(^([0-9]+(?:\.[0-9]*)?|\.[0-9]+)\s*[%％]?$)"_s);
    const QRegularExpressionMatch match = percent.match(text);
    if (!match.hasMatch()) {
        reason = text.contains(u',')
                     ? LoadLangString(u"比例“%1”用了小数逗号；请用小数点，如 33.33"_s)
                           .arg(WorksheetFaults::shown(text))
                     : LoadLangString(u"比例“%1”不是数字；请写百分数，如 50 或 33.33"_s)
                           .arg(WorksheetFaults::shown(text));
        return std::nullopt;
    }
    const double value = match.captured(1).toDouble();
    if (!AllocFix::rateInRange(AllocFix::Rate::fraction(value))) {
        reason = LoadLangString(u"比例 %1 不在 0.01 到 100（百分数）之间"_s)
                     .arg(WorksheetFaults::shown(text));
        return std::nullopt;
    }
    return AllocFix::Rate::fraction(value);
}

std::optional<qint32> LineToRow::department(const QString &text,
                                            std::span<const qint32> departments,
                                            LineFaults &faults) const
{
    const qsizetype column = m_lines.column(Kind::Department);
    if (text.isEmpty()) {
        faults.add(LoadLangString(u"没有部门：请填写%1"_s).arg(m_lines.header(Kind::Department)),
                   column);
        return std::nullopt;
    }
    QStringList names;
    for (const qint32 id : departments) {
        const CodedEntry *entry = m_reference.item(DepartmentClass, id);
        if (entry && (text == entry->name || text == entry->number))
            return id;
        names.append(entry ? entry->name : QString::number(id));
    }
    if (m_reference.findItem(DepartmentClass, text)) {
        faults.add(LoadLangString(u"部门 %1 不使用这张卡片（卡片的部门：%2）"_s)
                       .arg(WorksheetFaults::shown(text), names.join(u", "_s)),
                   column);
    } else {
        faults.add(LoadLangString(u"没有部门“%1”"_s).arg(WorksheetFaults::shown(text)), column);
    }
    return std::nullopt;
}

RecordList LineToRow::items(const CsvRecord &line, const ReferenceData::Account &account,
                            std::optional<qint32> department, LineFaults &faults) const
{
    RecordList items = RecordList::create();
    QList<qint32> classesOfAccount;
    for (const ReferenceData::ItemClass &itemClass : account.classes) {
        classesOfAccount.append(itemClass.id);
        const QString text = m_lines.cell(line, Kind::Item, itemClass.id);
        const qsizetype column = m_lines.column(Kind::Item, itemClass.id);
        const CodedEntry *item = nullptr;
        if (text.isEmpty() && itemClass.id == DepartmentClass) {
            if (!department)
                continue; // its fault is told already
            item = m_reference.item(DepartmentClass, *department);
        } else if (text.isEmpty()) {
            faults.add(m_lines.hasColumn(Kind::Item, itemClass.id)
                           ? LoadLangString(u"科目 %1 需要%2核算项目：请填写%3"_s)
                                 .arg(account.entry.number, itemClass.name,
                                      m_lines.header(Kind::Item, itemClass.id))
                           : LoadLangString(u"科目 %1 需要%2核算项目，而工作表没有这一列"_s)
                                 .arg(account.entry.number, itemClass.name),
                       column);
            continue;
        } else {
            item = m_reference.findItem(itemClass.id, text);
            if (!item) {
                faults.add(m_reference.nameIsShared(itemClass.id, text)
                               ? LoadLangString(u"有多个%1核算项目叫“%2”；请写它的编码"_s)
                                     .arg(itemClass.name, WorksheetFaults::shown(text))
                               : LoadLangString(u"没有%1核算项目“%2”"_s)
                                     .arg(itemClass.name, WorksheetFaults::shown(text)),
                           column);
                continue;
            }
            if (!item->detail) {
                faults.add(LoadLangString(u"%1核算项目 %2 不是明细项目"_s)
                               .arg(itemClass.name, WorksheetFaults::shown(text)),
                           column);
                continue;
            }
        }
        FieldRecord record = FieldRecord::create();
        record.setValue(Fields::FItemClassID, itemClass.id);
        record.setValue(Fields::FItemClassName, itemClass.name);
        record.setValue(Fields::FItemID, item->id);
        record.setValue(Fields::FItemName, item->name);
        items.append(record);
    }
    for (const ReferenceData::ItemClass &itemClass : m_reference.itemClasses()) {
        if (!classesOfAccount.contains(itemClass.id) &&
            !m_lines.cell(line, Kind::Item, itemClass.id).isEmpty()) {
            faults.add(LoadLangString(u"科目 %1 没有%2核算项目：请让%3空着"_s)
                           .arg(account.entry.number, itemClass.name,
                                m_lines.header(Kind::Item, itemClass.id)),
                       m_lines.column(Kind::Item, itemClass.id));
        }
    }
    return items;
}

std::optional<FieldRecord> LineToRow::row(const CsvRecord &line, qint32 cardId,
                                          std::span<const qint32> departments,
                                          LineFaults &faults) const
{
    const qsizetype reasonsBefore = faults.reasons.size();
    const std::optional<qint32> departmentId =
        department(m_lines.cell(line, Kind::Department), departments, faults);

    const QString accountNumber = m_lines.cell(line, Kind::Account);
    const ReferenceData::Account *account = m_reference.accountNumbered(accountNumber);
    RecordList items;
    const qsizetype accountColumn = m_lines.column(Kind::Account);
    if (accountNumber.isEmpty())
        faults.add(LoadLangString(u"没有科目：请填写%1"_s).arg(m_lines.header(Kind::Account)),
                   accountColumn);
    else if (!account)
        faults.add(LoadLangString(u"没有明细科目“%1”"_s).arg(WorksheetFaults::shown(accountNumber)),
                   accountColumn);
    else
        items = this->items(line, *account, departmentId, faults);

    const QString rateText = m_lines.cell(line, Kind::Rate);
    QString rateFault;
    const std::optional<double> fraction = rate(rateText, rateFault);
    const qsizetype rateColumn = m_lines.column(Kind::Rate);
    if (rateText.isEmpty())
        faults.add(LoadLangString(u"没有比例：请填写%1"_s).arg(m_lines.header(Kind::Rate)),
                   rateColumn);
    else if (!fraction)
        faults.add(rateFault, rateColumn);

    if (faults.reasons.size() != reasonsBefore)
        return std::nullopt;
    FieldRecord row = FieldRecord::create();
    row.setValue(Fields::FAlterID, cardId);
    row.setValue(Fields::FDeptID, *departmentId);
    row.setValue(Fields::FAcctID, account->entry.id);
    row.setValue(Fields::FAcctNumber, account->entry.number);
    row.setValue(Fields::FAcctName, account->entry.name);
    row.setValue(Fields::Detail, items);
    row.setValue(Fields::FRate, *fraction);
    return row;
}

} // namespace FixedAssets
