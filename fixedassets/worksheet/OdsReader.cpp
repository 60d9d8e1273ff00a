#include "worksheet/OdsReader.h"

#include "host/MMTS.h"
#include "worksheet/SheetRecords.h"
#include "worksheet/SheetText.h"
#include "worksheet/ZipArchive.h"

#include <QXmlStreamReader>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {

const QString OfficeNamespace = u"urn:oasis:names:tc:opendocument:xmlns:office:1.0"_s;

qsizetype repeats(const QXmlStreamReader &xml, QStringView name)
{
    const QXmlStreamAttributes attributes = xml.attributes();
    for (const QXmlStreamAttribute &a : attributes) {
        if (a.name() == name)
            return std::max<qsizetype>(1, a.value().toLongLong());
    }
    return 1;
}

class OdsReader final : public RecordSource {
public:
    OdsReader(const QString &path, const CsvLimits &limits, const HeaderTest &isHeader)
        : m_path(path)
        , m_limits(limits)
        , m_archive(path, limits)
    {
        refuseWhatIsNotData();
        for (qsizetype s = 0; openSheet(s); ++s) {
            m_peeked = readRecord();
            if (m_peeked && isHeader(*m_peeked))
                return;
        }
        if (!openSheet(0))
            m_archive.raise(LoadLangString(u"工作簿中没有工作表"_s));
        m_peeked = readRecord();
    }

    std::optional<CsvRecord> next() override
    {
        if (m_peeked)
            return std::exchange(m_peeked, std::nullopt);
        return readRecord();
    }
    qint64 size() const override { return m_entry ? ZipArchive::declared(*m_entry) : 0; }
    qint64 bytesRead() const override { return m_entry ? ZipArchive::expanded(*m_entry) : 0; }
    QString sheet() const override { return m_records ? m_records->sheet() : QString(); }

private:
    void refuseWhatIsNotData() const
    {
        const QStringList names = m_archive.names();
        const bool macros = std::any_of(names.cbegin(), names.cend(), [](const QString &name) {
            return name.startsWith(u"Basic/"_s) || name.startsWith(u"Scripts/"_s);
        });
        if (macros) {
            m_archive.raise(LoadLangString(u"工作簿含有宏；导入不读取含宏的工作簿，请在电子表格"
                                           u"程序中另存为“Excel 工作簿 (.xlsx)”"_s));
        }
        // An encrypted document keeps its zip open and says so in its manifest.
        if (const std::unique_ptr<QIODevice> manifest =
                m_archive.entry(u"META-INF/manifest.xml"_s)) {
            QXmlStreamReader xml(manifest.get());
            while (!xml.atEnd()) {
                if (xml.readNext() == QXmlStreamReader::StartElement &&
                    xml.name() == u"encryption-data"_s) {
                    m_archive.raise(LoadLangString(u"工作簿已加密（设有打开密码）；请在电子表格"
                                                   u"程序中去掉密码后另存，再导入"_s));
                }
            }
            m_archive.raiseIfFaulty(*manifest);
        }
    }

    // Reads content.xml up to the index-th sheet; false when there is none.
    bool openSheet(qsizetype index)
    {
        m_xml.reset();
        m_entry = m_archive.entry(u"content.xml"_s);
        if (!m_entry) {
            m_archive.raise(LoadLangString(u"不是 .ods 电子表格：缺少 content.xml；请在电子表格"
                                           u"程序中另存为 .ods 或 .xlsx"_s));
        }
        m_xml = std::make_unique<QXmlStreamReader>(m_entry.get());
        QXmlStreamReader &xml = *m_xml;
        qsizetype seen = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"table"_s)
                continue;
            if (seen++ < index) {
                xml.skipCurrentElement();
                continue;
            }
            QString name;
            const QXmlStreamAttributes attributes = xml.attributes();
            for (const QXmlStreamAttribute &a : attributes) {
                if (a.name() == u"name"_s)
                    name = a.value().toString();
            }
            m_records = std::make_unique<SheetRecords>(m_path, name, m_limits);
            m_row = 0;
            m_repeatsLeft = 0;
            return true;
        }
        checkEnded();
        return false;
    }

    void checkEnded() const
    {
        m_archive.raiseIfFaulty(*m_entry);
        if (m_xml->hasError()) {
            m_archive.raise(LoadLangString(u"工作簿已损坏：%1 第 %2 行：%3"_s)
                                .arg(u"content.xml"_s)
                                .arg(m_xml->lineNumber())
                                .arg(m_xml->errorString()));
        }
    }

    std::optional<CsvRecord> readRecord()
    {
        if (m_repeatsLeft > 0) {
            --m_repeatsLeft;
            return m_records->repeatRow(++m_row);
        }
        QXmlStreamReader &xml = *m_xml;
        qsizetype column = 1;
        qsizetype rowRepeats = 1;
        while (!xml.atEnd()) {
            const QXmlStreamReader::TokenType token = xml.readNext();
            if (token == QXmlStreamReader::EndElement) {
                if (xml.name() == u"table-row"_s) {
                    std::optional<CsvRecord> record = m_records->endRow();
                    if (record) {
                        m_repeatsLeft = rowRepeats - 1;
                        return record;
                    }
                    m_row += rowRepeats - 1; // blank rows, repeated to the sheet's end
                } else if (xml.name() == u"table"_s) {
                    return std::nullopt;
                }
                continue;
            }
            if (token != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == u"table-row"_s) {
                rowRepeats = repeats(xml, u"number-rows-repeated");
                m_records->startRow(++m_row);
                column = 1;
            } else if (xml.name() == u"table-cell"_s || xml.name() == u"covered-table-cell"_s) {
                const qsizetype cellRepeats = repeats(xml, u"number-columns-repeated");
                const QString text = cellText(column);
                // Empty cells repeated to the row's end cost nothing; others are set each.
                for (qsizetype c = 0; !text.isEmpty() && c < cellRepeats; ++c)
                    m_records->setCell(column + c, text);
                column += std::min(cellRepeats, SheetRecords::MaxColumns + 1);
            }
        }
        checkEnded();
        return std::nullopt;
    }

    // The text a cell shows, read to its end; its comment left out.
    QString cellText(qsizetype column)
    {
        QXmlStreamReader &xml = *m_xml;
        const QXmlStreamAttributes attributes = xml.attributes();
        const QString type = attributes.value(OfficeNamespace, u"value-type"_s).toString();
        bool formula = false;
        for (const QXmlStreamAttribute &a : attributes)
            formula = formula || a.name() == u"formula"_s;
        const bool number = type == u"float"_s || type == u"percentage"_s || type == u"currency"_s;
        if (formula && type.isEmpty()) {
            m_records->raiseAt(m_row, column,
                               LoadLangString(u"公式没有保存计算结果；请在电子表格程序中重新"
                                              u"计算全部公式后保存，再导入"_s));
        }
        QString value;
        if (number) {
            bool ok = false;
            const double v = attributes.value(OfficeNamespace, u"value"_s).toDouble(&ok);
            if (!ok) {
                m_records->raiseAt(m_row, column,
                                   LoadLangString(u"工作簿已损坏：数字单元格没有数值"_s));
            }
            value = type == u"percentage"_s ? numberText(v * 100) + u'%' : numberText(v);
        }
        QString shown;
        qsizetype paragraphs = 0;
        const auto grow = [&](const QString &piece) {
            shown += piece;
            if (shown.size() > m_limits.cellBytes) // refused as too long when it is set
                shown.truncate(m_limits.cellBytes + 1);
        };
        int depth = 1;
        while (depth > 0 && !xml.atEnd()) {
            const QXmlStreamReader::TokenType token = xml.readNext();
            if (token == QXmlStreamReader::EndElement) {
                --depth;
            } else if (token == QXmlStreamReader::Characters) {
                grow(xml.text().toString());
            } else if (token == QXmlStreamReader::StartElement) {
                ++depth;
                if (xml.name() == u"annotation"_s) {
                    xml.skipCurrentElement();
                    --depth;
                } else if (xml.name() == u"p"_s && paragraphs++ > 0) {
                    grow(u"\n"_s);
                } else if (xml.name() == u"s"_s) {
                    const qsizetype spaces = std::min(repeats(xml, u"c"), m_limits.cellBytes + 1);
                    grow(QString(spaces, u' '));
                } else if (xml.name() == u"tab"_s) {
                    grow(u"\t"_s);
                } else if (xml.name() == u"line-break"_s) {
                    grow(u"\n"_s);
                }
            }
        }
        return number ? value : shown;
    }

    QString m_path;
    CsvLimits m_limits;
    ZipArchive m_archive;
    std::unique_ptr<QIODevice> m_entry;
    std::unique_ptr<QXmlStreamReader> m_xml;
    std::unique_ptr<SheetRecords> m_records;
    std::optional<CsvRecord> m_peeked;
    qsizetype m_row = 0;
    qsizetype m_repeatsLeft = 0; // of the row last read
};

} // namespace

std::unique_ptr<RecordSource> openOds(const QString &path, const CsvLimits &limits,
                                      const HeaderTest &isHeader)
{
    return std::make_unique<OdsReader>(path, limits, isHeader);
}

} // namespace FixedAssets
