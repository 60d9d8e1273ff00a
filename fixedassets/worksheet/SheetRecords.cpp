#include "worksheet/SheetRecords.h"

#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "worksheet/WorksheetFaults.h"

#include <algorithm>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

SheetRecords::SheetRecords(QString path, QString sheet, const CsvLimits &limits)
    : m_path(std::move(path))
    , m_sheet(std::move(sheet))
    , m_limits(limits)
{}

void SheetRecords::startRow(qsizetype row)
{
    m_record.line = row;
    m_record.fields.clear();
    m_recordBytes = 0;
}

void SheetRecords::setCell(qsizetype column, const QString &text)
{
    if (text.isEmpty())
        return;
    if (column < 1 || column > MaxColumns) {
        raiseAt(m_record.line, 0,
                LoadLangString(u"单元格超出了电子表格的 %1 列"_s).arg(MaxColumns));
    }
    const qsizetype bytes = QStringView(text).toUtf8().size();
    if (bytes > m_limits.cellBytes) {
        raiseAt(m_record.line, column,
                LoadLangString(u"有一个单元格超过 %1 KB；导入读取的单元格最多 %1 KB"_s)
                    .arg(m_limits.cellBytes / 1024));
    }
    m_recordBytes += bytes;
    if (m_recordBytes > m_limits.recordBytes) {
        raiseAt(m_record.line, 0,
                LoadLangString(u"该行超过 %1 KB；导入读取的每行最多 %1 KB"_s)
                    .arg(m_limits.recordBytes / 1024));
    }
    if (m_record.fields.size() < column)
        m_record.fields.resize(column);
    m_record.fields[column - 1] = text;
}

std::optional<CsvRecord> SheetRecords::endRow()
{
    const bool blank = std::all_of(m_record.fields.cbegin(), m_record.fields.cend(),
                                   [](const QString &field) { return field.trimmed().isEmpty(); });
    if (blank)
        return std::nullopt;
    countRecord();
    return m_record;
}

CsvRecord SheetRecords::repeatRow(qsizetype row)
{
    countRecord();
    m_record.line = row;
    return m_record;
}

void SheetRecords::countRecord()
{
    if (++m_records > m_limits.lines) {
        raiseAt(0, 0,
                LoadLangString(u"工作表超过 %1 行；导入最多读取 %1 行"_s).arg(m_limits.lines));
    }
}

void SheetRecords::raiseAt(qsizetype row, qsizetype column, const QString &reason) const
{
    throw AllocFix::Failure(AllocFix::ErrorNumber::InvalidArgument,
                            WorksheetFault{row, reason, m_sheet, column}.in(m_path), u"allocfix"_s);
}

std::optional<qsizetype> columnOfAddress(QStringView address)
{
    qsizetype column = 0;
    for (const QChar c : address) {
        if (c < u'A' || c > u'Z')
            break;
        column = column * 26 + (c.unicode() - u'A' + 1);
        if (column > SheetRecords::MaxColumns)
            return std::nullopt;
    }
    if (column == 0)
        return std::nullopt;
    return column;
}

} // namespace FixedAssets
