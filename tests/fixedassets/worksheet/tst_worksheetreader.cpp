// The reading layer of the import on hand-made files: the encodings of a CSV, the cells of a
// workbook and of an OpenDocument spreadsheet as the import reads them, and their limits.
#include "host/ErrorRecord.h"
#include "support/AccountSetBackends.h"
#include "worksheet/WorksheetReader.h"

#include <QTemporaryDir>
#include <QtTest>

#include <iconv.h>
#include <zip.h>

using namespace Qt::StringLiterals;
using namespace FixedAssets;

namespace {

using Entries = QList<std::pair<QByteArray, QByteArray>>; // name, content

void writeZip(const QString &path, const Entries &entries)
{
    QFile::remove(path);
    int error = 0;
    zip_t *zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE, &error);
    QVERIFY(zip);
    for (const auto &[name, content] : entries) {
        zip_source_t *source = zip_source_buffer(zip, content.constData(),
                                                 static_cast<zip_uint64_t>(content.size()), 0);
        QVERIFY(zip_file_add(zip, name.constData(), source, 0) >= 0);
    }
    QCOMPARE(zip_close(zip), 0);
}

const QByteArray SheetNamespace = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

// A workbook of the sheets given (name, sheetData's rows), with styles 1 a percent, 2 a date, and
// the shared texts given.
Entries workbook(const QList<std::pair<QByteArray, QByteArray>> &sheets,
                 const QList<QByteArray> &shared = {})
{
    QByteArray book = "<workbook xmlns=\"" + SheetNamespace +
                      "\" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                      "relationships\"><sheets>";
    QByteArray rels = "<Relationships>";
    Entries entries;
    for (qsizetype s = 0; s < sheets.size(); ++s) {
        const QByteArray n = QByteArray::number(s + 1);
        book +=
            "<sheet name=\"" + sheets[s].first + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        rels += "<Relationship Id=\"rId" + n +
                "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                "worksheet\" Target=\"worksheets/sheet" +
                n + ".xml\"/>";
        entries.append({"xl/worksheets/sheet" + n + ".xml",
                        "<worksheet xmlns=\"" + SheetNamespace + "\"><sheetData>" +
                            sheets[s].second + "</sheetData></worksheet>"});
    }
    entries.append({"xl/workbook.xml", book + "</sheets></workbook>"});
    entries.append({"xl/_rels/workbook.xml.rels", rels + "</Relationships>"});
    entries.append({"xl/styles.xml", "<styleSheet xmlns=\"" + SheetNamespace +
                                         "\"><numFmts count=\"1\"><numFmt numFmtId=\"164\" "
                                         "formatCode=\"0.0000%\"/></numFmts><cellXfs count=\"3\">"
                                         "<xf numFmtId=\"0\"/><xf numFmtId=\"164\"/>"
                                         "<xf numFmtId=\"14\"/></cellXfs></styleSheet>"});
    QByteArray strings = "<sst xmlns=\"" + SheetNamespace + "\">";
    for (const QByteArray &text : shared)
        strings += "<si><t>" + text + "</t></si>";
    entries.append({"xl/sharedStrings.xml", strings + "</sst>"});
    return entries;
}

// A spreadsheet of one sheet "S" of the rows given.
Entries spreadsheet(const QByteArray &rows)
{
    return {{"content.xml",
             "<office:document-content "
             "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
             "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
             "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
             "<office:spreadsheet><table:table table:name=\"S\">" +
                 rows +
                 "</table:table></office:spreadsheet></office:body></office:document-content>"}};
}

QByteArray encoded(const QString &text, const char *encoding)
{
    const QByteArray utf8 = text.toUtf8();
    iconv_t convert = iconv_open(encoding, "UTF-8");
    QByteArray out(utf8.size() * 4 + 16, '\0');
    char *in = const_cast<char *>(utf8.constData());
    size_t inLeft = static_cast<size_t>(utf8.size());
    char *to = out.data();
    size_t toLeft = static_cast<size_t>(out.size());
    iconv(convert, &in, &inLeft, &to, &toLeft);
    iconv_close(convert);
    out.resize(out.size() - static_cast<qsizetype>(toLeft));
    return out;
}

QList<QStringList> readAll(const QString &path, const QString &encoding = {},
                           const CsvLimits &limits = WorksheetLimits)
{
    WorksheetReader reader(path, limits, encoding);
    QList<QStringList> records;
    while (const std::optional<CsvRecord> record = reader.next())
        records.append(QStringList{QString::number(record->line)} + record->fields);
    return records;
}

// What reading the file raises; empty when it reads.
QString refusal(const QString &path, const QString &encoding = {},
                const CsvLimits &limits = WorksheetLimits)
{
    try {
        readAll(path, encoding, limits);
    } catch (const AllocFix::Failure &failure) {
        return failure.description();
    }
    return {};
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

class tst_WorksheetReader : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Testing::useEnglishTexts(); }
    void csvEncodings_data();
    void csvEncodings();
    void csvCharacterAcrossPieces();
    void csvFaults_data();
    void csvFaults();
    void xlsxCells_data();
    void xlsxCells();
    void xlsxSheetWithTheHeader();
    void xlsxManySharedTexts();
    void odsCells_data();
    void odsCells();
    void refusedCells_data();
    void refusedCells();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void tst_WorksheetReader::csvEncodings_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("encoding");
    const QString comma = u"编码,名称\n01.01,生产一车间 “甲”\n"_s;
    const QString tab = u"编码\t名称\n01.01\t生产一车间 “甲”\n"_s;
    QTest::newRow("UTF-8") << comma.toUtf8() << QString();
    QTest::newRow("UTF-8, byte order mark") << "\xEF\xBB\xBF" + comma.toUtf8() << QString();
    QTest::newRow("UTF-16LE, byte order mark")
        << encoded(QChar(0xFEFF) + tab, "UTF-16LE") << QString();
    QTest::newRow("UTF-16BE, byte order mark")
        << encoded(QChar(0xFEFF) + tab, "UTF-16BE") << QString();
    QTest::newRow("GB18030") << encoded(comma, "GB18030") << QString();
    QTest::newRow("GBK named") << encoded(comma, "GBK") << u"GBK"_s;
    QTest::newRow("UTF-16LE named, no mark") << encoded(tab, "UTF-16LE") << u"UTF-16LE"_s;
}

void tst_WorksheetReader::csvEncodings()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, encoding);
    write(path(u"encoded.csv"_s), content);
    const QList<QStringList> expected{{u"1"_s, u"编码"_s, u"名称"_s},
                                      {u"2"_s, u"01.01"_s, u"生产一车间 “甲”"_s}};
    QCOMPARE(readAll(path(u"encoded.csv"_s), encoding), expected);
}

void tst_WorksheetReader::csvCharacterAcrossPieces()
{
    // The file is read a megabyte at a time: the megabyte ends within a character here.
    constexpr int Lines = 60'000;
    QString text;
    for (int line = 1; line <= Lines; ++line)
        text += u"%1,部门名称甲乙丙丁\n"_s.arg(line, 6, 10, QChar(u'0'));
    const QByteArray bytes = encoded(text, "GB18030");
    // Lines of 24 bytes: the megabyte ends 16 bytes into one, after the first byte of a character.
    QCOMPARE((1 << 20) % 24, 16);
    write(path(u"long.csv"_s), bytes);
    const QList<QStringList> records = readAll(path(u"long.csv"_s));
    QCOMPARE(records.size(), Lines);
    for (const QStringList &record : records)
        QCOMPARE(record.at(2), u"部门名称甲乙丙丁"_s);
}

void tst_WorksheetReader::csvFaults_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("says");
    const QByteArray good = encoded(u"编码,名称\n01.01,生产\n"_s, "GB18030");
    QTest::newRow("neither UTF-8 nor GB18030")
        << good + "01.02,\x81\x20\n"
        << QString() << u"encoded.csv:3: this line is not GB18030"_s;
    QTest::newRow("an unknown encoding")
        << good << u"NO-SUCH-CODE"_s << u"unknown encoding \"NO-SUCH-CODE\""_s;
    QTest::newRow("UTF-8 named, GB18030 given")
        << good << u"utf-8"_s << u"encoded.csv:1: this line is not UTF-8 text"_s;
    QTest::newRow("UTF-16 cut short")
        << QByteArray("\xFF\xFE"
                      "a\0,\0b\0\n\0c",
                      11)
        << QString() << u"encoded.csv:2: this line is not UTF-16LE text"_s;
}

void tst_WorksheetReader::csvFaults()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, encoding);
    QFETCH(QString, says);
    write(path(u"encoded.csv"_s), content);
    const QString refused = refusal(path(u"encoded.csv"_s), encoding);
    QVERIFY2(refused.contains(says), qPrintable(refused));
}

void tst_WorksheetReader::xlsxCells_data()
{
    QTest::addColumn<QByteArray>("cell");
    QTest::addColumn<QString>("text");
    QTest::newRow("shared text") << QByteArray("<c r=\"B2\" t=\"s\"><v>1</v></c>") << u"部门"_s;
    QTest::newRow("inline text, reading aid left out")
        << QByteArray("<c r=\"B2\" t=\"inlineStr\"><is><r><t>6602</t></r><r><t>.01</t></r>"
                      "<rPh><t>x</t></rPh></is></c>")
        << u"6602.01"_s;
    QTest::newRow("number") << QByteArray("<c r=\"B2\"><v>33.3333</v></c>") << u"33.3333"_s;
    QTest::newRow("number in full, not as stored")
        << QByteArray("<c r=\"B2\"><v>33.333299999999994</v></c>") << u"33.3333"_s;
    QTest::newRow("percent format")
        << QByteArray("<c r=\"B2\" s=\"1\"><v>0.333333</v></c>") << u"33.3333%"_s;
    QTest::newRow("date format") << QByteArray("<c r=\"B2\" s=\"2\"><v>45322</v></c>")
                                 << u"2024-01-31"_s;
    QTest::newRow("boolean") << QByteArray("<c r=\"B2\" t=\"b\"><v>1</v></c>") << u"TRUE"_s;
    QTest::newRow("formula by its value")
        << QByteArray("<c r=\"B2\"><f>1/3*100</f><v>33.3333333333333</v></c>")
        << u"33.3333333333333"_s;
    QTest::newRow("text formula by its value")
        << QByteArray("<c r=\"B2\" t=\"str\"><f>A1&amp;\"x\"</f><v>编码x</v></c>") << u"编码x"_s;
}

void tst_WorksheetReader::xlsxCells()
{
    QFETCH(QByteArray, cell);
    QFETCH(QString, text);
    writeZip(path(u"cells.xlsx"_s),
             workbook({{"卡片", "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"
                                "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>0</v></c>" +
                                    cell + "</row>"}},
                      {"编码", "部门"}));
    const QList<QStringList> expected{{u"1"_s, u"编码"_s}, {u"2"_s, u"编码"_s, text}};
    QCOMPARE(readAll(path(u"cells.xlsx"_s)), expected);
}

void tst_WorksheetReader::xlsxSheetWithTheHeader()
{
    // Departments first, as a user may have moved them; blank rows left out, rows by number.
    writeZip(path(u"sheets.xlsx"_s),
             workbook({{"部门", "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>01</t></is></c>"
                                "</row>"},
                       {"卡片", "<row r=\"3\"><c r=\"C3\" t=\"inlineStr\"><is><t>Asset number</t>"
                                "</is></c></row><row r=\"4\"><c r=\"A4\" t=\"inlineStr\"><is><t> "
                                "</t></is></c></row><row><c t=\"inlineStr\"><is><t>x</t></is></c>"
                                "</row>"}}));
    WorksheetReader reader(path(u"sheets.xlsx"_s), WorksheetLimits);
    QCOMPARE(reader.sheet(), u"卡片"_s);
    const std::optional<CsvRecord> header = reader.next();
    QVERIFY(header);
    QCOMPARE(header->line, 3);
    QCOMPARE(header->fields, (QStringList{{}, {}, u"Asset number"_s}));
    const std::optional<CsvRecord> next = reader.next();
    QVERIFY(next);
    QCOMPARE(next->line, 5);
    QVERIFY(!reader.next());
}

void tst_WorksheetReader::xlsxManySharedTexts()
{
    // More shared texts than are held in memory: the rest are read back from where they wait.
    constexpr int Texts = 250'000;
    QList<QByteArray> shared;
    QByteArray rows;
    for (int t = 0; t < Texts; ++t)
        shared.append("FA" + QByteArray::number(t).rightJustified(8, '0') + QByteArray(60, 'x'));
    for (const int t : {0, Texts / 2, Texts - 1}) {
        rows += "<row><c t=\"s\"><v>" + QByteArray::number(t) + "</v></c></row>";
    }
    writeZip(path(u"shared.xlsx"_s), workbook({{"S", rows}}, shared));
    const QList<QStringList> records = readAll(path(u"shared.xlsx"_s));
    QCOMPARE(records.size(), 3);
    QCOMPARE(records[1][1], QString::fromLatin1(shared[Texts / 2]));
    QCOMPARE(records[2][1], QString::fromLatin1(shared[Texts - 1]));
}

void tst_WorksheetReader::odsCells_data()
{
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<QList<QStringList>>("records");
    const QByteArray text = "<table:table-cell office:value-type=\"string\"><text:p>部门"
                            "</text:p></table:table-cell>";
    QTest::newRow("rows and cells repeated, blank ones left out")
        << QByteArray("<table:table-row table:number-rows-repeated=\"2\">"
                      "<table:table-cell table:number-columns-repeated=\"2\"/>" +
                      text +
                      "<table:table-cell table:number-columns-repeated=\"1020\"/>"
                      "</table:table-row><table:table-row table:number-rows-repeated=\"1048570\">"
                      "<table:table-cell table:number-columns-repeated=\"1024\"/></table:table-row>"
                      "<table:table-row>" +
                      text + "</table:table-row>")
        << QList<QStringList>{
               {u"1"_s, {}, {}, u"部门"_s}, {u"2"_s, {}, {}, u"部门"_s}, {u"1048573"_s, u"部门"_s}};
    QTest::newRow("numbers by their value")
        << QByteArray("<table:table-row><table:table-cell office:value-type=\"float\" "
                      "office:value=\"33.333299999999994\"><text:p>33.33</text:p>"
                      "</table:table-cell><table:table-cell office:value-type=\"percentage\" "
                      "office:value=\"0.5\"><text:p>50%</text:p></table:table-cell>"
                      "</table:table-row>")
        << QList<QStringList>{{u"1"_s, u"33.3333"_s, u"50%"_s}};
    QTest::newRow("a text's spaces and lines, not its comment")
        << QByteArray("<table:table-row><table:table-cell office:value-type=\"string\">"
                      "<office:annotation><text:p>note</text:p></office:annotation>"
                      "<text:p>a<text:s text:c=\"2\"/>b</text:p><text:p>c</text:p>"
                      "</table:table-cell></table:table-row>")
        << QList<QStringList>{{u"1"_s, u"a  b\nc"_s}};
}

void tst_WorksheetReader::odsCells()
{
    QFETCH(QByteArray, rows);
    QFETCH(QList<QStringList>, records);
    writeZip(path(u"cells.ods"_s), spreadsheet(rows));
    QCOMPARE(readAll(path(u"cells.ods"_s)), records);
}

void tst_WorksheetReader::refusedCells_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Entries>("entries");
    QTest::addColumn<QString>("says");
    const auto sheet = [](const QByteArray &rows) { return workbook({{"卡片", rows}}); };
    QTest::newRow("formula without its value")
        << u"f.xlsx"_s << sheet("<row r=\"12\"><c r=\"M12\"><f>1/3*100</f></c></row>")
        << u"f.xlsx: sheet \"卡片\", row 12, column M: the formula was saved without its result"_s;
    QTest::newRow("ods formula without its value")
        << u"f.ods"_s
        << spreadsheet("<table:table-row/><table:table-row><table:table-cell/>"
                       "<table:table-cell table:formula=\"of:=1/3\"/></table:table-row>")
        << u"f.ods: sheet \"S\", row 2, column B: the formula was saved without its result"_s;
    QTest::newRow("a cell beyond the cell limit")
        << u"c.xlsx"_s
        << sheet("<row r=\"3\"><c r=\"B3\" t=\"inlineStr\"><is><t>" + QByteArray(2000, 'x') +
                 "</t></is></c></row>")
        << u"c.xlsx: sheet \"卡片\", row 3, column B: a cell is longer than 1 KB"_s;
    QTest::newRow("a text no cell could hold, refused as it arrives")
        << u"t.xlsx"_s
        << sheet("<row r=\"3\"><c r=\"B3\" t=\"inlineStr\"><is><t>" + QByteArray(40'000, 'x') +
                 "</t></is></c></row>")
        << u"t.xlsx: an entry of the archive holds a stretch of text longer than 16 KB"_s;
    QTest::newRow("a row repeated beyond the line limit")
        << u"r.ods"_s
        << spreadsheet("<table:table-row table:number-rows-repeated=\"1000000\">"
                       "<table:table-cell office:value-type=\"string\"><text:p>x</text:p>"
                       "</table:table-cell></table:table-row>")
        << u"r.ods: the worksheet has more than 100 lines"_s;
    QTest::newRow("a cell repeated beyond the line's limit")
        << u"w.ods"_s
        << spreadsheet("<table:table-row><table:table-cell table:number-columns-repeated=\"16384\" "
                       "office:value-type=\"string\"><text:p>xxxx</text:p></table:table-cell>"
                       "</table:table-row>")
        << u"w.ods: sheet \"S\", row 1: the line is longer than 4 KB"_s;
}

void tst_WorksheetReader::refusedCells()
{
    QFETCH(QString, file);
    QFETCH(Entries, entries);
    QFETCH(QString, says);
    writeZip(path(file), entries);
    const QString refused = refusal(path(file), {}, CsvLimits{1 << 20, 100, 4096, 1024});
    QVERIFY2(refused.contains(says), qPrintable(refused));
}

QTEST_GUILESS_MAIN(tst_WorksheetReader)
#include "tst_worksheetreader.moc"
