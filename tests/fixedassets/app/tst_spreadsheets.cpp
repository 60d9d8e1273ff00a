// The worksheet as a real spreadsheet program saves it: LibreOffice, headless, fills the
// exported worksheet in (by converting a CSV of it) and saves it as .xlsx, .ods and CSV in
// GB18030 and UTF-16; each imports to exactly the rows of the UTF-8 CSV of the same content.
// Also what is refused: a zip bomb, macros, encryption, a sheet without the header.
#include "ProgramRun.h"
#include "accountset/AccountSet.h"
#include "support/AccountSetDump.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <zip.h>

using namespace Qt::StringLiterals;
using namespace FixedAssets;
using FixedAssets::Testing::ProgramRun;

namespace {

using Lines = QList<QStringList>;

// The export quotes every field and writes a byte order mark.
Lines readExported(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    Lines lines;
    const QStringList rows = text.split(u"\r\n"_s, Qt::SkipEmptyParts);
    for (const QString &row : rows)
        lines.append(
            row.mid(1, row.size() - 2).split(u"\",\""_s).replaceInStrings(u"\"\""_s, u"\""_s));
    return lines;
}

void writeCsv(const QString &path, const Lines &lines)
{
    QByteArray content;
    for (const QStringList &line : lines) {
        QStringList fields;
        for (const QString &field : line)
            fields.append(u'"' + QString(field).replace(u"\""_s, u"\"\""_s) + u'"');
        content += fields.join(u',').toUtf8() + "\n";
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// Each department of each card: 6602.01 at a third, 6601.01 at two thirds, as the rates given.
Lines filledIn(const Lines &exported, const QString &third, const QString &twoThirds)
{
    const QStringList header = exported.first();
    const auto at = [&header](const QString &name) { return header.indexOf(name); };
    Lines lines{header};
    QStringList cards;
    for (qsizetype i = 1; i < exported.size(); ++i) {
        QStringList line = exported[i];
        lines.append(line);
        if (cards.contains(line[at(u"Asset number"_s)]))
            continue;
        cards.append(line[at(u"Asset number"_s)]);
        const QStringList shares = line[at(u"Departments and shares"_s)].split(u"; "_s);
        for (const QString &share : shares) {
            line[at(u"Department"_s)] = share.section(u' ', 0, 0);
            line[at(u"Account number"_s)] = u"6602.01"_s;
            line[at(u"Rate (%)"_s)] = third;
            lines.append(line);
            line[at(u"Account number"_s)] = u"6601.01"_s;
            line[at(u"Rate (%)"_s)] = twoThirds;
            lines.append(line);
        }
    }
    return lines;
}

// Sets what a zip entry declares it expands to, in its central header and in its local one unless
// a data descriptor after the data says it there.
void declareSize(QByteArray &zip, const QByteArray &name, quint32 size)
{
    const auto put = [&zip, size](qsizetype at) {
        for (int b = 0; b < 4; ++b)
            zip[at + b] = static_cast<char>((size >> (8 * b)) & 0xFF);
    };
    for (qsizetype at = zip.indexOf("PK\x03\x04"); at >= 0;
         at = zip.indexOf("PK\x03\x04", at + 4)) {
        if (zip.mid(at + 30, name.size()) == name && (zip[at + 6] & 0x08) == 0)
            put(at + 22);
    }
    for (qsizetype at = zip.indexOf("PK\x01\x02"); at >= 0;
         at = zip.indexOf("PK\x01\x02", at + 4)) {
        if (zip.mid(at + 46, name.size()) == name)
            put(at + 24);
    }
}

QByteArray content(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

class tst_Spreadsheets : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup() { AccountSet::closeAll(); }
    void importsAsTheUtf8Csv_data();
    void importsAsTheUtf8Csv();
    void refused_data();
    void refused();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    ProgramRun run(const QStringList &arguments) const
    {
        return Testing::runProgram(arguments, m_home.path(), false);
    }
    // LibreOffice as a user's desktop runs it, on a profile of its own; several files a call.
    void convert(const QStringList &arguments) const;
    // The account set after importing the worksheet into a fresh copy of the exported one.
    QStringList importedDump(const QString &worksheet, const QStringList &options = {});

    QTemporaryDir m_dir;
    QTemporaryDir m_home;
    QString m_soffice;
    QStringList m_expected;
    int m_copies = 0;
};

void tst_Spreadsheets::convert(const QStringList &arguments) const
{
    QProcess soffice;
    soffice.setWorkingDirectory(m_dir.path());
    soffice.start(m_soffice, QStringList{u"-env:UserInstallation=file://"_s + path(u"profile"_s),
                                         u"--headless"_s, u"--norestore"_s}
                                 << arguments);
    QVERIFY(soffice.waitForFinished(60'000));
    QVERIFY2(soffice.exitCode() == 0, soffice.readAllStandardError().constData());
}

void tst_Spreadsheets::initTestCase()
{
    m_soffice = QStandardPaths::findExecutable(u"soffice"_s);
    if (m_soffice.isEmpty())
        QSKIP("soffice is missing: install libreoffice-calc-nogui to run the spreadsheet tests");
    QVERIFY(m_dir.isValid() && m_home.isValid());
    QDir(m_home.path()).mkpath(u"runtime"_s);
    QCOMPARE(run({u"demo"_s, u"25"_s, path(u"set.fa"_s)}).exitCode, 0);
    QCOMPARE(run({u"export"_s, path(u"set.fa"_s), u"-o"_s, path(u"exported.csv"_s)}).exitCode, 0);
    const Lines exported = readExported(path(u"exported.csv"_s));
    QVERIFY(exported.size() > 1);

    writeCsv(path(u"filled.csv"_s),
             filledIn(exported, u"33.3333333333333"_s, u"66.6666666666667"_s));
    writeCsv(path(u"formula.csv"_s), filledIn(exported, u"=1/3*100"_s, u"=2/3*100"_s));
    writeCsv(path(u"noheader.csv"_s), Lines(exported.cbegin() + 1, exported.cend()));
    Lines badRate = filledIn(exported, u"33.3333333333333"_s, u"66.6666666666667"_s);
    badRate[2][exported.first().indexOf(u"Rate (%)"_s)] = u"abc"_s;
    writeCsv(path(u"badrate.csv"_s), badRate);
    // Every column kept as text, as the export's columns to fill are, but the rate a number.
    QStringList formats;
    for (qsizetype c = 1; c <= exported.first().size(); ++c)
        formats << QString::number(c)
                << (exported.first()[c - 1] == u"Rate (%)"_s ? u"1"_s : u"2"_s);
    convert({u"--infilter=CSV:44,34,76,1,"_s + formats.join(u'/'), u"--convert-to"_s, u"xlsx"_s,
             u"filled.csv"_s, u"formula.csv"_s, u"noheader.csv"_s, u"badrate.csv"_s});
    const QString csvFilter = u"csv:Text - txt - csv (StarCalc):"_s;
    convert({u"--convert-to"_s, u"ods"_s, u"filled.xlsx"_s});
    convert({u"--convert-to"_s, csvFilter + u"44,34,85"_s, u"--outdir"_s, u"gb18030"_s,
             u"filled.xlsx"_s});
    convert({u"--convert-to"_s, csvFilter + u"9,34,65535"_s, u"--outdir"_s, u"utf16"_s,
             u"filled.xlsx"_s});
    QVERIFY(content(path(u"utf16/filled.csv"_s)).startsWith("\xFF\xFE"));
    QVERIFY(!content(path(u"gb18030/filled.csv"_s)).isValidUtf8());

    m_expected = importedDump(path(u"filled.csv"_s));
    QVERIFY(!m_expected.isEmpty());
}

QStringList tst_Spreadsheets::importedDump(const QString &worksheet, const QStringList &options)
{
    const QString set = path(u"set-%1.fa"_s.arg(++m_copies));
    if (!QFile::copy(path(u"set.fa"_s), set))
        return {};
    const ProgramRun imported = run(QStringList{u"import"_s, set, worksheet} << options);
    if (imported.exitCode != 0) {
        qWarning().noquote() << imported.err;
        return {};
    }
    const QStringList dump = Testing::dumpAccountSet(AccountSet::open(set));
    AccountSet::closeAll();
    return dump;
}

void tst_Spreadsheets::importsAsTheUtf8Csv_data()
{
    QTest::addColumn<QString>("worksheet");
    QTest::addColumn<QStringList>("options");
    QTest::newRow("xlsx") << u"filled.xlsx"_s << QStringList();
    QTest::newRow("xlsx, rates by formula") << u"formula.xlsx"_s << QStringList();
    QTest::newRow("ods") << u"filled.ods"_s << QStringList();
    QTest::newRow("csv, GB18030 guessed") << u"gb18030/filled.csv"_s << QStringList();
    QTest::newRow("csv, GB18030 named")
        << u"gb18030/filled.csv"_s << QStringList{u"--encoding"_s, u"GB18030"_s};
    QTest::newRow("csv, UTF-16 with tabs") << u"utf16/filled.csv"_s << QStringList();
}

void tst_Spreadsheets::importsAsTheUtf8Csv()
{
    QFETCH(QString, worksheet);
    QFETCH(QStringList, options);
    const QStringList dump = importedDump(path(worksheet), options);
    QVERIFY(!dump.isEmpty());
    QCOMPARE(dump, m_expected);
}

void tst_Spreadsheets::refused_data()
{
    QTest::addColumn<QString>("worksheet");
    QTest::addColumn<QString>("says");

    QByteArray workbook = content(path(u"filled.xlsx"_s));
    QByteArray bomb = workbook;
    declareSize(bomb, "xl/worksheets/sheet1.xml", 4'000'000'000U);
    write(path(u"bomb.xlsx"_s), bomb);
    QTest::newRow("declares 4 GB") << u"bomb.xlsx"_s << u"beyond the limit of 1024 MB"_s;
    QByteArray lying = workbook;
    declareSize(lying, "xl/worksheets/sheet1.xml", 1000);
    write(path(u"lying.xlsx"_s), lying);
    QTest::newRow("expands beyond what it declares")
        << u"lying.xlsx"_s << u"expands beyond the 1 MB it declares"_s;

    write(path(u"filled.xlsm"_s), workbook);
    QTest::newRow(".xlsm") << u"filled.xlsm"_s << u"has macros"_s;
    write(path(u"filled.xls"_s), workbook);
    QTest::newRow(".xls") << u"filled.xls"_s << u"does not read the .xls format"_s;
    QFile::copy(path(u"filled.xlsx"_s), path(u"vba.xlsx"_s));
    int error = 0;
    zip_t *zip = zip_open(QFile::encodeName(path(u"vba.xlsx"_s)).constData(), 0, &error);
    QVERIFY(zip);
    static const char macro[] = "Attribute VB_Name";
    zip_file_add(zip, "xl/vbaProject.bin", zip_source_buffer(zip, macro, sizeof macro, 0), 0);
    QCOMPARE(zip_close(zip), 0);
    QTest::newRow("macros in an .xlsx") << u"vba.xlsx"_s << u"has macros"_s;

    // What a spreadsheet program saves with a password: an encrypted compound document.
    write(path(u"encrypted.xlsx"_s),
          QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(4096, '\0'));
    QTest::newRow("encrypted") << u"encrypted.xlsx"_s << u"is encrypted"_s;
    QTest::newRow("no header") << u"noheader.xlsx"_s << u"has no column"_s;
    QTest::newRow("a fault names its cell")
        << u"badrate.xlsx"_s
        << u"badrate.xlsx: sheet \"badrate\", row 3, column M: the rate \"abc\" is no number"_s;
}

void tst_Spreadsheets::refused()
{
    QFETCH(QString, worksheet);
    QFETCH(QString, says);
    const QString set = path(u"set.fa"_s);
    const QStringList before = Testing::dumpAccountSet(AccountSet::open(set));
    AccountSet::closeAll();
    QElapsedTimer clock;
    clock.start();
    const ProgramRun imported = run({u"import"_s, set, path(worksheet)});
    QVERIFY(clock.elapsed() < 20'000);
    QCOMPARE(imported.exitCode, 2);
    QVERIFY2(imported.err.contains(says), qPrintable(imported.err));
    const QStringList told = imported.err.split(u'\n', Qt::SkipEmptyParts).filter(path(worksheet));
    QVERIFY2(!told.isEmpty() && told.size() <= 2, qPrintable(imported.err));
    QCOMPARE(Testing::dumpAccountSet(AccountSet::open(set)), before);
}

QTEST_GUILESS_MAIN(tst_Spreadsheets)
#include "tst_spreadsheets.moc"
