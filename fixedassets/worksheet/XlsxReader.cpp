#include "worksheet/XlsxReader.h"

#include "host/MMTS.h"
#include "worksheet/SheetRecords.h"
#include "worksheet/SheetText.h"
#include "worksheet/WorksheetFaults.h"
#include "worksheet/ZipArchive.h"

#include <QFileInfo>
#include <QHash>
#include <QTemporaryFile>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {

// The workbook's shared texts, as UTF-8 one after another. A worksheet of many cards has a text
// of its own in each of several columns of every card: past MemoryBytes they go to a temporary
// file and are read back one by one.
class SharedStrings {
public:
    static constexpr qsizetype MemoryBytes = qsizetype{16} << 20;

    void add(const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        if (!m_spill && m_memory.size() + utf8.size() > MemoryBytes) {
            m_spill = std::make_unique<QTemporaryFile>();
            if (!m_spill->open())
                m_spill.reset(); // kept in memory then, as there is no other place
        }
        if (m_spill)
            m_spill->write(utf8);
        else
            m_memory += utf8;
        m_ends.append((m_ends.isEmpty() ? 0 : m_ends.last()) + utf8.size());
    }

    void finish()
    {
        if (m_spill)
            m_spill->flush();
    }

    qsizetype count() const { return m_ends.size(); }

    QString at(qsizetype index) const
    {
        const qint64 start = index == 0 ? 0 : m_ends[index - 1];
        const qint64 size = m_ends[index] - start;
        if (start < m_memory.size())
            return QString::fromUtf8(m_memory.constData() + start, size);
        m_spill->seek(start - m_memory.size());
        return QString::fromUtf8(m_spill->read(size));
    }

private:
    QByteArray m_memory;
    QList<qint64> m_ends;
    std::unique_ptr<QTemporaryFile> m_spill; // read and written where it stands
};

// What a cell's number format makes of its number.
enum class NumberShown { Plain, Percent, Date };

NumberShown shownBy(int formatId, const QString &code)
{
    if (formatId == 9 || formatId == 10)
        return NumberShown::Percent;
    if ((formatId >= 14 && formatId <= 22) || (formatId >= 45 && formatId <= 47))
        return NumberShown::Date;
    if (code.isEmpty())
        return NumberShown::Plain;
    // The format's own letters, without its quoted texts, escapes and [colour] or [$-804] parts.
    QString letters;
    bool quoted = false;
    int bracket = 0;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u'"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == u'\\' || c == u'_' || c == u'*')
            ++i;
        else if (c == u'[')
            ++bracket;
        else if (c == u']')
            bracket = std::max(0, bracket - 1);
        else if (bracket == 0)
            letters += c.toLower();
    }
    if (letters.contains(u'%'))
        return NumberShown::Percent;
    if (letters.contains(u"general"_s))
        return NumberShown::Plain;
    for (const QChar c : std::as_const(letters)) {
        if (QStringView(u"ymdhs").contains(c))
            return NumberShown::Date;
    }
    return NumberShown::Plain;
}

QString attribute(const QXmlStreamReader &xml, QStringView name)
{
    const QXmlStreamAttributes attributes = xml.attributes();
    for (const QXmlStreamAttribute &a : attributes) {
        if (a.name() == name)
            return a.value().toString();
    }
    return {};
}

class XlsxReader final : public RecordSource {
public:
    XlsxReader(const QString &path, const CsvLimits &limits, const HeaderTest &isHeader)
        : m_path(path)
        , m_limits(limits)
        , m_archive(path, limits)
    {
        refuseWhatIsNotData();
        readWorkbook();
        readStyles();
        readSharedStrings();
        for (qsizetype s = 0; s < m_sheets.size(); ++s) {
            openSheet(s);
            m_peeked = readRecord();
            if (m_peeked && isHeader(*m_peeked))
                return;
        }
        openSheet(0);
        m_peeked = readRecord();
    }

    std::optional<CsvRecord> next() override
    {
        if (m_peeked)
            return std::exchange(m_peeked, std::nullopt);
        return readRecord();
    }
    qint64 size() const override { return m_size; }
    qint64 bytesRead() const override { return m_entry ? ZipArchive::expanded(*m_entry) : 0; }
    QString sheet() const override { return m_records ? m_records->sheet() : QString(); }

private:
    struct Sheet {
        QString name;
        QString part;
    };

    void refuseWhatIsNotData() const
    {
        const QString suffix = QFileInfo(m_path).suffix().toLower();
        const QStringList names = m_archive.names();
        const bool macros = suffix == u"xlsm"_s || suffix == u"xltm"_s ||
                            std::any_of(names.cbegin(), names.cend(), [](const QString &name) {
                                return name.endsWith(u"vbaProject.bin"_s, Qt::CaseInsensitive);
                            });
        if (macros) {
            m_archive.raise(LoadLangString(u"工作簿含有宏；导入不读取含宏的工作簿，请在电子表格"
                                           u"程序中另存为“Excel 工作簿 (.xlsx)”"_s));
        }
        const bool links = std::any_of(names.cbegin(), names.cend(), [](const QString &name) {
            return name.startsWith(u"xl/externalLinks/"_s, Qt::CaseInsensitive);
        });
        if (links) {
            m_archive.raise(LoadLangString(u"工作簿链接了其他文件（外部链接）；请在电子表格程序中"
                                           u"断开链接、保留数值后保存，再导入"_s));
        }
    }

    std::unique_ptr<QIODevice> requiredEntry(const QString &name) const
    {
        std::unique_ptr<QIODevice> entry = m_archive.entry(name);
        if (!entry) {
            m_archive.raise(LoadLangString(u"不是 .xlsx 工作簿：缺少 %1；请在电子表格程序中另存为"
                                           u"“Excel 工作簿 (.xlsx)”"_s)
                                .arg(name));
        }
        return entry;
    }

    // Raises for an XML part that stopped before its end.
    void checkEnded(const QXmlStreamReader &xml, const QIODevice &entry, const QString &name) const
    {
        m_archive.raiseIfFaulty(entry);
        if (xml.hasError()) {
            m_archive.raise(LoadLangString(u"工作簿已损坏：%1 第 %2 行：%3"_s)
                                .arg(name)
                                .arg(xml.lineNumber())
                                .arg(xml.errorString()));
        }
    }

    void readWorkbook()
    {
        QHash<QString, QString> parts; // by relationship
        {
            const QString name = u"xl/_rels/workbook.xml.rels"_s;
            const std::unique_ptr<QIODevice> entry = requiredEntry(name);
            QXmlStreamReader xml(entry.get());
            while (!xml.atEnd()) {
                if (xml.readNext() != QXmlStreamReader::StartElement ||
                    xml.name() != u"Relationship"_s)
                    continue;
                if (attribute(xml, u"TargetMode") == u"External"_s &&
                    attribute(xml, u"Type").endsWith(u"/externalLink"_s)) {
                    m_archive.raise(
                        LoadLangString(u"工作簿链接了其他文件（外部链接）；请在电子"
                                       u"表格程序中断开链接、保留数值后保存，再导入"_s));
                }
                if (!attribute(xml, u"Type").endsWith(u"/worksheet"_s))
                    continue;
                const QString target = attribute(xml, u"Target");
                parts.insert(attribute(xml, u"Id"),
                             target.startsWith(u'/') ? target.mid(1) : u"xl/"_s + target);
            }
            checkEnded(xml, *entry, name);
        }
        const QString name = u"xl/workbook.xml"_s;
        const std::unique_ptr<QIODevice> entry = requiredEntry(name);
        QXmlStreamReader xml(entry.get());
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == u"workbookPr"_s) {
                const QString date1904 = attribute(xml, u"date1904");
                m_date1904 = date1904 == u"1"_s || date1904 == u"true"_s;
            } else if (xml.name() == u"sheet"_s) {
                const QString part = parts.value(attribute(xml, u"id"));
                if (!part.isEmpty())
                    m_sheets.append({attribute(xml, u"name"), part});
            }
        }
        checkEnded(xml, *entry, name);
        if (m_sheets.isEmpty())
            m_archive.raise(LoadLangString(u"工作簿中没有工作表"_s));
    }

    void readStyles()
    {
        const QString name = u"xl/styles.xml"_s;
        const std::unique_ptr<QIODevice> entry = m_archive.entry(name);
        if (!entry)
            return;
        QHash<int, QString> codes;
        QXmlStreamReader xml(entry.get());
        bool cellFormats = false;
        while (!xml.atEnd()) {
            const QXmlStreamReader::TokenType token = xml.readNext();
            if (token == QXmlStreamReader::EndElement && xml.name() == u"cellXfs"_s)
                cellFormats = false;
            if (token != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == u"numFmt"_s) {
                codes.insert(attribute(xml, u"numFmtId").toInt(), attribute(xml, u"formatCode"));
            } else if (xml.name() == u"cellXfs"_s) {
                cellFormats = true;
            } else if (cellFormats && xml.name() == u"xf"_s) {
                const int id = attribute(xml, u"numFmtId").toInt();
                m_styles.append(shownBy(id, codes.value(id)));
            }
        }
        checkEnded(xml, *entry, name);
    }

    void readSharedStrings()
    {
        const QString name = u"xl/sharedStrings.xml"_s;
        const std::unique_ptr<QIODevice> entry = m_archive.entry(name);
        if (!entry)
            return;
        QXmlStreamReader xml(entry.get());
        QString text;
        while (!xml.atEnd()) {
            const QXmlStreamReader::TokenType token = xml.readNext();
            if (token == QXmlStreamReader::EndElement && xml.name() == u"si"_s) {
                m_strings.add(text);
                text.clear();
            } else if (token != QXmlStreamReader::StartElement) {
                continue;
            } else if (xml.name() == u"rPh"_s) {
                xml.skipCurrentElement(); // the reading aid of East Asian texts is not shown
            } else if (xml.name() == u"t"_s) {
                text += xml.readElementText();
                if (text.size() > m_limits.cellBytes) // refused should it be used
                    text.truncate(m_limits.cellBytes + 1);
            }
        }
        checkEnded(xml, *entry, name);
        m_strings.finish();
    }

    void openSheet(qsizetype index)
    {
        m_xml.reset();
        m_entry = requiredEntry(m_sheets[index].part);
        m_size = ZipArchive::declared(*m_entry);
        m_xml = std::make_unique<QXmlStreamReader>(m_entry.get());
        m_records = std::make_unique<SheetRecords>(m_path, m_sheets[index].name, m_limits);
        m_row = 0;
    }

    std::optional<CsvRecord> readRecord()
    {
        QXmlStreamReader &xml = *m_xml;
        qsizetype column = 0;
        QString type;
        qsizetype style = 0;
        std::optional<QString> value;
        bool formula = false;
        while (!xml.atEnd()) {
            const QXmlStreamReader::TokenType token = xml.readNext();
            if (token == QXmlStreamReader::EndElement) {
                if (xml.name() == u"c"_s) {
                    m_records->setCell(column, cellText(column, type, style, value, formula));
                } else if (xml.name() == u"row"_s) {
                    if (std::optional<CsvRecord> record = m_records->endRow())
                        return record;
                } else if (xml.name() == u"sheetData"_s) {
                    return std::nullopt;
                }
                continue;
            }
            if (token != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == u"row"_s) {
                const qsizetype row = attribute(xml, u"r").toLongLong();
                m_row = row > 0 ? row : m_row + 1;
                m_records->startRow(m_row);
                column = 0;
            } else if (xml.name() == u"c"_s) {
                const std::optional<qsizetype> at = columnOfAddress(attribute(xml, u"r"));
                column = at ? *at : column + 1;
                type = attribute(xml, u"t");
                style = attribute(xml, u"s").toLongLong();
                value.reset();
                formula = false;
            } else if (xml.name() == u"v"_s) {
                value = xml.readElementText();
            } else if (xml.name() == u"f"_s) {
                formula = true;
                xml.skipCurrentElement();
            } else if (xml.name() == u"is"_s) {
                value = inlineText(xml);
            }
        }
        m_archive.raiseIfFaulty(*m_entry);
        if (xml.hasError()) {
            m_records->raiseAt(m_row, 0,
                               LoadLangString(u"工作簿已损坏：%1"_s).arg(xml.errorString()));
        }
        return std::nullopt;
    }

    // The texts of an inline string's runs, its reading aid left out.
    static QString inlineText(QXmlStreamReader &xml)
    {
        QString text;
        while (xml.readNextStartElement() || xml.isEndElement()) {
            if (xml.isEndElement()) {
                if (xml.name() == u"is"_s)
                    break;
                continue;
            }
            if (xml.name() == u"t"_s)
                text += xml.readElementText();
            else if (xml.name() == u"rPh"_s)
                xml.skipCurrentElement();
        }
        return text;
    }

    QString cellText(qsizetype column, const QString &type, qsizetype style,
                     const std::optional<QString> &value, bool formula) const
    {
        if (!value) {
            if (formula) {
                m_records->raiseAt(m_row, column,
                                   LoadLangString(u"公式没有保存计算结果；请在电子表格程序中重新"
                                                  u"计算全部公式后保存，再导入"_s));
            }
            return {};
        }
        if (type == u"s"_s) {
            bool ok = false;
            const qsizetype index = value->toLongLong(&ok);
            if (!ok || index < 0 || index >= m_strings.count()) {
                m_records->raiseAt(m_row, column,
                                   LoadLangString(u"工作簿已损坏：共享文本 %1 不存在"_s)
                                       .arg(WorksheetFaults::shown(*value)));
            }
            return m_strings.at(index);
        }
        if (type == u"b"_s)
            return *value == u"1"_s ? u"TRUE"_s : u"FALSE"_s;
        if (!type.isEmpty() && type != u"n"_s)
            return *value; // a text, an inline text, an error such as #DIV/0!, an ISO date
        bool ok = false;
        const double number = value->toDouble(&ok);
        if (!ok) {
            m_records->raiseAt(m_row, column,
                               LoadLangString(u"工作簿已损坏：数字单元格的值是“%1”"_s)
                                   .arg(WorksheetFaults::shown(*value)));
        }
        const NumberShown shown =
            style >= 0 && style < m_styles.size() ? m_styles[style] : NumberShown::Plain;
        switch (shown) {
        case NumberShown::Percent:
            return numberText(number * 100) + u'%';
        case NumberShown::Date:
            return dateText(number, m_date1904);
        case NumberShown::Plain:
            break;
        }
        return numberText(number);
    }

    QString m_path;
    CsvLimits m_limits;
    ZipArchive m_archive;
    QList<Sheet> m_sheets;
    QList<NumberShown> m_styles; // by the cell's style
    bool m_date1904 = false;
    SharedStrings m_strings;
    std::unique_ptr<QIODevice> m_entry; // the sheet read
    std::unique_ptr<QXmlStreamReader> m_xml;
    std::unique_ptr<SheetRecords> m_records;
    std::optional<CsvRecord> m_peeked;
    qint64 m_size = 0;
    qsizetype m_row = 0;
};

} // namespace

std::unique_ptr<RecordSource> openXlsx(const QString &path, const CsvLimits &limits,
                                       const HeaderTest &isHeader)
{
    return std::make_unique<XlsxReader>(path, limits, isHeader);
}

} // namespace FixedAssets
