#include "worksheet/WorksheetReader.h"

#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "worksheet/OdsReader.h"
#include "worksheet/Worksheet.h"
#include "worksheet/WorksheetFaults.h"
#include "worksheet/XlsxReader.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

WorksheetReader::WorksheetReader(const QString &path, const CsvLimits &limits,
                                 const QString &encoding)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QStringList numberHeaders = Worksheet::knownHeaders(Worksheet::Kind::AssetNumber);
    const HeaderTest isHeader = [&numberHeaders](const CsvRecord &record) {
        return std::any_of(record.fields.cbegin(), record.fields.cend(),
                           [&numberHeaders](const QString &field) {
                               return numberHeaders.contains(field.trimmed());
                           });
    };
    if (suffix == u"xlsx"_s || suffix == u"xlsm"_s || suffix == u"xltx"_s || suffix == u"xltm"_s) {
        m_source = openXlsx(path, limits, isHeader);
    } else if (suffix == u"ods"_s || suffix == u"ots"_s) {
        m_source = openOds(path, limits, isHeader);
    } else if (suffix == u"xls"_s || suffix == u"xlsb"_s || suffix == u"et"_s) {
        throw AllocFix::Failure(
            AllocFix::ErrorNumber::InvalidArgument,
            WorksheetFault{0, LoadLangString(u"导入不读取 .%1 格式；请在电子表格程序中另存为"
                                             u"“Excel 工作簿 (.xlsx)”再导入"_s)
                                  .arg(suffix)}
                .in(path),
            u"allocfix"_s);
    } else {
        m_source = std::make_unique<CsvReader>(path, limits, encoding);
    }
}

} // namespace FixedAssets
