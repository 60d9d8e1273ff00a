#include "ProgramRun.h"
#include "support/AccountSetBackends.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace FixedAssets;
using FixedAssets::Testing::ProgramRun;

namespace {

// A shape is a JSON value: an object with the same keys, each value of its own shape; an array
// whose every element has the shape of its one element; or the names of the types allowed,
// joined by "|" ("number", "string", "bool", "null", "object"). Answers what does not fit.
QString shapeFault(const QJsonValue &value, const QJsonValue &shape, const QString &where)
{
    if (shape.isString()) {
        static const QHash<QJsonValue::Type, QString> names{
            {QJsonValue::Double, u"number"_s}, {QJsonValue::String, u"string"_s},
            {QJsonValue::Bool, u"bool"_s},     {QJsonValue::Null, u"null"_s},
            {QJsonValue::Object, u"object"_s}, {QJsonValue::Array, u"array"_s}};
        return shape.toString().split(u'|').contains(names.value(value.type()))
                   ? QString()
                   : where + u" is not "_s + shape.toString();
    }
    if (shape.isArray()) {
        if (!value.isArray())
            return where + u" is not an array"_s;
        const QJsonArray elements = value.toArray();
        for (qsizetype i = 0; i < elements.size(); ++i) {
            const QString fault = shapeFault(elements.at(i), shape.toArray().first(),
                                             where + u'[' + QString::number(i) + u']');
            if (!fault.isEmpty())
                return fault;
        }
        return {};
    }
    if (!value.isObject())
        return where + u" is not an object"_s;
    const QJsonObject object = value.toObject();
    const QJsonObject expected = shape.toObject();
    if (object.keys() != expected.keys()) {
        return where + u" has the keys "_s + object.keys().join(u',') + u", not "_s +
               expected.keys().join(u',');
    }
    for (auto key = expected.begin(); key != expected.end(); ++key) {
        const QString fault =
            shapeFault(object.value(key.key()), key.value(), where + u'.' + key.key());
        if (!fault.isEmpty())
            return fault;
    }
    return {};
}

QByteArray fileContent(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("-");
}

// What a user filling in the exported worksheet may write: each card's first line goes to its
// first department and the second to its second, all to 6602.01 at 100 %.
QByteArray filledIn(const QByteArray &exported)
{
    QStringList lines = QString::fromUtf8(exported).split(u"\r\n"_s, Qt::SkipEmptyParts);
    QString card;
    int ofCard = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QStringList fields = lines[i].mid(1, lines[i].size() - 2).split(u"\",\""_s);
        ofCard = fields[1] == card ? ofCard + 1 : 0;
        card = fields[1];
        const QString department = fields[3].split(u"; "_s).value(ofCard).section(u' ', 0, 0);
        fields[7] = department;
        fields[8] = u"6602.01"_s;
        fields[12] = u"100"_s;
        lines[i] = u'"' + fields.join(u"\",\""_s) + u'"';
    }
    return lines.join(u"\r\n"_s).toUtf8() + "\r\n";
}

// The lines of stderr that are the program's own messages, not the offscreen platform's.
QStringList messagesIn(const QString &err)
{
    QStringList lines = err.split(u'\n', Qt::SkipEmptyParts);
    lines.removeIf([](const QString &line) { return !line.startsWith(u"allocfix"_s); });
    return lines;
}

} // namespace

class tst_CommandLine : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();

    void globalOptionsStandOnEitherSide_data();
    void globalOptionsStandOnEitherSide();
    void unknownCommandIsOneLine_data();
    void unknownCommandIsOneLine();
    void helpOfACommand_data();
    void helpOfACommand();
    void progressOnlyOnATerminal_data();
    void progressOnlyOnATerminal();
    void jsonAnswersKeepTheirShape_data();
    void jsonAnswersKeepTheirShape();
    void dashIsStandardInputAndOutput_data();
    void dashIsStandardInputAndOutput();
    void importReadsStandardInputTwice();
    void missingColumnsInOneLanguage_data();
    void missingColumnsInOneLanguage();

private:
    // stdoutAppendedTo: stdout goes to the end of that file ("> > file").
    ProgramRun run(const QStringList &arguments, const QByteArray &input = {},
                   const QString &stdoutAppendedTo = {});
    // With stderr on a terminal of its own: err is what the terminal showed.
    ProgramRun runOnTerminal(const QStringList &arguments);
    QString path(const QString &name) const { return m_home->filePath(name); }
    // A demo set of 25 cards, five of them left for manual work; answers its location.
    QString demoSet(const QString &location = {});

    std::unique_ptr<QTemporaryDir> m_home;
    QByteArray m_rawOut; // of the last run, as it came
};

void tst_CommandLine::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    QVERIFY(QDir(m_home->path()).mkdir(u"runtime"_s));
    QFile::setPermissions(path(u"runtime"_s),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

ProgramRun tst_CommandLine::run(const QStringList &arguments, const QByteArray &input,
                                const QString &stdoutAppendedTo)
{
    QProcess process;
    if (!stdoutAppendedTo.isEmpty())
        process.setStandardOutputFile(stdoutAppendedTo, QIODevice::Append);
    process.setProcessEnvironment(Testing::programEnvironment(m_home->path(), false));
    process.setWorkingDirectory(m_home->path());
    process.start(Testing::programPath(), arguments);
    ProgramRun result;
    if (!process.waitForStarted()) {
        qWarning("%s", qPrintable(process.errorString()));
        return result;
    }
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    m_rawOut = process.readAllStandardOutput();
    result.out = QString::fromUtf8(m_rawOut);
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

ProgramRun tst_CommandLine::runOnTerminal(const QStringList &arguments)
{
    ProgramRun result;
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0)
        return result;
    const QByteArray name = ptsname(terminal);
    // Held open here too, so that what the program wrote stays readable once it has ended.
    const int held = ::open(name.constData(), O_RDWR | O_NOCTTY);
    QProcess process;
    process.setProcessEnvironment(Testing::programEnvironment(m_home->path(), false));
    process.setChildProcessModifier([held] { ::dup2(held, STDERR_FILENO); });
    process.start(Testing::programPath(), arguments);
    if (process.waitForFinished(120000))
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    ::fcntl(terminal, F_SETFL, O_NONBLOCK);
    char buffer[4096];
    for (ssize_t got; (got = ::read(terminal, buffer, sizeof buffer)) > 0;)
        result.err += QString::fromUtf8(buffer, got);
    ::close(held);
    ::close(terminal);
    return result;
}

QString tst_CommandLine::demoSet(const QString &location)
{
    const QString set = location.isEmpty() ? path(u"books.fa"_s) : location;
    const ProgramRun made = run({u"demo"_s, u"25"_s, set});
    if (made.exitCode != 0)
        qWarning("%s", qPrintable(made.err));
    return set;
}

void tst_CommandLine::globalOptionsStandOnEitherSide_data()
{
    QTest::addColumn<QStringList>("arguments"); // SET: the account set
    QTest::addColumn<QString>("says");
    const QString english = u"Card check results:"_s;
    QTest::newRow("--verbose before")
        << QStringList{u"--verbose"_s, u"check"_s, u"SET"_s} << english;
    QTest::newRow("--verbose after")
        << QStringList{u"check"_s, u"SET"_s, u"--verbose"_s} << english;
    QTest::newRow("-q before") << QStringList{u"-q"_s, u"check"_s, u"SET"_s} << english;
    QTest::newRow("--quiet after the command")
        << QStringList{u"check"_s, u"--quiet"_s, u"SET"_s} << english;
    QTest::newRow("all three before")
        << QStringList{u"--quiet"_s, u"-l"_s, u"CHS"_s, u"--verbose"_s, u"check"_s, u"SET"_s}
        << u"卡片检查结果："_s;
    QTest::newRow("--language after")
        << QStringList{u"check"_s, u"SET"_s, u"--language=CHS"_s} << u"卡片检查结果："_s;
}

void tst_CommandLine::globalOptionsStandOnEitherSide()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, says);
    const QString set = demoSet();
    const ProgramRun checked = run(arguments.replaceInStrings(u"SET"_s, set));
    QVERIFY2(checked.exitCode == 0 && checked.out.startsWith(says),
             qPrintable(checked.out + checked.err));
}

void tst_CommandLine::unknownCommandIsOneLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("says"); // the one line on stderr
    const QString ofAFile = u"; write an account set file of that name as ./%1)"_s;
    QTest::newRow("a letter left out")
        << QStringList{u"chek"_s}
        << u"allocfix: 'chek' is not an allocfix command; did you mean 'check'? (allocfix help "
           "lists the commands"_s +
               ofAFile.arg(u"chek"_s);
    QTest::newRow("two letters swapped, with an account set")
        << QStringList{u"imoprt"_s, u"books.fa"_s, u"w.csv"_s}
        << u"allocfix: 'imoprt' is not an allocfix command; did you mean 'import'? (allocfix "
           "help lists the commands"_s +
               ofAFile.arg(u"imoprt"_s);
    QTest::newRow("after a global option")
        << QStringList{u"--verbose"_s, u"-l"_s, u"ENG"_s, u"expotr"_s}
        << u"allocfix: 'expotr' is not an allocfix command; did you mean 'export'? (allocfix "
           "help lists the commands"_s +
               ofAFile.arg(u"expotr"_s);
    QTest::newRow("nothing near")
        << QStringList{u"xyzzy"_s}
        << u"allocfix: 'xyzzy' is not an allocfix command (allocfix help lists the commands"_s +
               ofAFile.arg(u"xyzzy"_s);
    QTest::newRow("help of a mistyped command")
        << QStringList{u"help"_s, u"aud"_s}
        << u"allocfix: 'aud' is not an allocfix command; did you mean 'audit'? (allocfix help "
           "lists the commands)"_s;
    QTest::newRow("in Chinese") << QStringList{u"-l"_s, u"CHS"_s, u"rols"_s}
                                << u"allocfix: “rols”不是 allocfix 的命令；是要用“roles”吗？"
                                   "（allocfix help 列出所有命令；名为 rols 的账套文件请写作 "
                                   "./rols）"_s;
}

void tst_CommandLine::unknownCommandIsOneLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, says);
    const ProgramRun ran = run(arguments);
    QCOMPARE(ran.exitCode, 2);
    QCOMPARE(ran.err, says + u'\n');
    QVERIFY(ran.out.isEmpty());
    // Taken for no account set: the first run's demo set is not made.
    QVERIFY(!QFileInfo::exists(path(u"data"_s)));
}

void tst_CommandLine::helpOfACommand_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("sameAs"); // empty: none to compare with
    QTest::addColumn<QString>("startsWith");
    QTest::newRow("help") << QStringList{u"help"_s} << QStringList{u"--help"_s}
                          << u"Usage: allocfix [options] [account-set]"_s;
    QTest::newRow("help import") << QStringList{u"help"_s, u"import"_s}
                                 << QStringList{u"import"_s, u"--help"_s}
                                 << u"Usage: allocfix import [options]"_s;
    QTest::newRow("help help") << QStringList{u"help"_s, u"help"_s} << QStringList{}
                               << u"Usage: allocfix help [options] [command]"_s;
    QTest::newRow("in Chinese, the language after")
        << QStringList{u"help"_s, u"export"_s, u"-l"_s, u"CHS"_s}
        << QStringList{u"export"_s, u"-h"_s, u"-l"_s, u"CHS"_s} << u"用法：allocfix export"_s;
}

void tst_CommandLine::helpOfACommand()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, sameAs);
    QFETCH(QString, startsWith);
    const ProgramRun help = run(arguments);
    QCOMPARE(help.exitCode, 0);
    QVERIFY2(help.out.startsWith(startsWith), qPrintable(help.out));
    if (!sameAs.isEmpty())
        QCOMPARE(help.out, run(sameAs).out);
}

void tst_CommandLine::progressOnlyOnATerminal_data()
{
    QTest::addColumn<bool>("onTerminal");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("shown");
    const QStringList none;
    QTest::newRow("a pipe") << false << none << false;
    QTest::newRow("a terminal") << true << none << true;
    QTest::newRow("a terminal, --quiet") << true << QStringList{u"--quiet"_s} << false;
    QTest::newRow("a terminal, -q before") << true << QStringList{u"-q"_s} << false;
}

void tst_CommandLine::progressOnlyOnATerminal()
{
    QFETCH(bool, onTerminal);
    QFETCH(QStringList, options);
    QFETCH(bool, shown);
    const QString set = demoSet();
    static const QRegularExpression bar(u"\\[#+-*\\] +[0-9]+%"_s);
    for (const QStringList &command :
         {QStringList{u"export"_s, set, u"-o"_s, path(u"w.csv"_s), u"--force"_s},
          QStringList{u"audit"_s, set, u"-o"_s, path(u"a.csv"_s), u"--force"_s}}) {
        const QStringList arguments =
            options.value(0) == u"-q" ? options + command : command + options;
        const ProgramRun ran = onTerminal ? runOnTerminal(arguments) : run(arguments);
        QVERIFY2(ran.exitCode == 0, qPrintable(ran.err));
        QVERIFY2(bar.match(ran.err).hasMatch() == shown, qPrintable(ran.err));
        if (!shown) // nothing but the answer: no line of progress in a log
            QVERIFY2(ran.err.isEmpty(), qPrintable(ran.err));
    }
}

void tst_CommandLine::jsonAnswersKeepTheirShape_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QStringList>("arguments"); // SET, HOME; --format json is added
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("shape");
    const QByteArray none;
    const QString written = uR"({"file": "string", "format": "string", "%1": "number"%2})"_s;
    QTest::newRow("check")
        << u"sqlite"_s << QStringList{u"check"_s, u"SET"_s} << none << 0
        << uR"({"total": "number", "automatic": "number", "manual": "number"})"_s;
    QTest::newRow("adjust") << u"sqlite"_s << QStringList{u"adjust"_s, u"SET"_s} << none << 0
                            << uR"({"total": "number", "automatic": "number", "manual": "number",
                                 "left": [{"position": "number", "FAlterID": "number",
                                 "FAssetNumber": "string", "FAssetName": "string"}]})"_s;
    QTest::newRow("export") << u"sqlite"_s
                            << QStringList{u"export"_s, u"SET"_s, u"-o"_s, u"HOME/w.xlsx"_s} << none
                            << 0 << written.arg(u"lines"_s, u", \"cards\": \"number\""_s);
    const QString imported =
        uR"({"worksheet": "string", "outcome": "string", "cards": "number", "rows": "number",
             "automatic": "number", "faultCount": "number", "notes": ["string"],
             "faults": [{"file": "string", "line": "number", "sheet": "string",
                         "column": "string", "message": "string"}]})"_s;
    QTest::newRow("import, faults")
        << u"sqlite"_s << QStringList{u"import"_s, u"SET"_s, u"-"_s}
        << QByteArray("\"Asset number\",\"Rate (%)\"\r\nFA1,5\r\n") << 2 << imported;
    QTest::newRow("audit") << u"sqlite"_s
                           << QStringList{u"audit"_s, u"SET"_s, u"-o"_s, u"HOME/a.csv"_s} << none
                           << 0 << written.arg(u"entries"_s, QString());
    QTest::newRow("audit --verify")
        << u"sqlite"_s << QStringList{u"audit"_s, u"SET"_s, u"--verify"_s} << none << 0
        << uR"({"entries": "number", "intact": "bool", "lastHash": "string", "fault": "null"})"_s;
    QTest::newRow("roles") << u"postgresql"_s << QStringList{u"roles"_s, u"SET"_s} << none << 0
                           << uR"({"accountSet": "string", "applied": "bool",
                                 "statements": ["string"]})"_s;
}

void tst_CommandLine::jsonAnswersKeepTheirShape()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(int, exitCode);
    QFETCH(QString, shape);
    demoSet(location);
    arguments.replaceInStrings(u"SET"_s, location).replaceInStrings(u"HOME"_s, m_home->path());
    const ProgramRun ran = run(arguments << u"--format"_s << u"json"_s, input);
    QCOMPARE(ran.exitCode, exitCode);
    QJsonParseError error;
    const QJsonDocument answer = QJsonDocument::fromJson(ran.out.toUtf8(), &error);
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(ran.out + ran.err));
    const QJsonDocument expected = QJsonDocument::fromJson(shape.toUtf8(), &error);
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    const QString fault = shapeFault(answer.object(), expected.object(), u"answer"_s);
    QVERIFY2(fault.isEmpty(), qPrintable(fault + u'\n' + ran.out));
    // Every array of objects has some here, so that their keys were checked.
    for (const QString &key : expected.object().keys()) {
        if (expected.object().value(key).toArray().first().isObject())
            QVERIFY2(!answer.object().value(key).toArray().isEmpty(), qPrintable(key));
    }
}

void tst_CommandLine::dashIsStandardInputAndOutput_data()
{
    QTest::addColumn<QStringList>("toFile"); // SET, FILE
    QTest::addColumn<QString>("says");       // on stderr, with -o -
    QTest::newRow("export")
        << QStringList{u"export"_s, u"SET"_s, u"-o"_s, u"FILE"_s}
        << u"Wrote 10 lines for the 5 cards left for manual work to stdout.\n"_s;
    QTest::newRow("audit") << QStringList{u"audit"_s, u"SET"_s, u"-o"_s, u"FILE"_s}
                           << u"Wrote 0 audit entries to stdout.\n"_s;
}

void tst_CommandLine::dashIsStandardInputAndOutput()
{
    QFETCH(QStringList, toFile);
    QFETCH(QString, says);
    const QString set = demoSet();
    toFile.replaceInStrings(u"SET"_s, set);
    QStringList toStdout = toFile;
    toFile.replaceInStrings(u"FILE"_s, path(u"table.csv"_s));
    toStdout.replaceInStrings(u"FILE"_s, u"-"_s);
    const ProgramRun written = run(toFile);
    QCOMPARE(written.exitCode, 0);
    const ProgramRun printed = run(toStdout);
    QCOMPARE(printed.exitCode, 0);
    // The file's CSV, byte for byte; the answer on stderr, out of the way of a pipe.
    QCOMPARE(m_rawOut, fileContent(path(u"table.csv"_s)));
    QCOMPARE(printed.err, says);
    QVERIFY(!QFileInfo::exists(u"-"_s));
    QVERIFY(!QFileInfo::exists(path(u"-"_s)));

    // Standard output that is the account set itself is refused, as -o refuses it.
    const QByteArray before = fileContent(set);
    const ProgramRun ontoTheSet = run(toStdout, {}, set);
    QCOMPARE(ontoTheSet.exitCode, 2);
    QVERIFY2(ontoTheSet.err.startsWith(
                 u"allocfix: Cannot write stdout: it is the account set being read "_s),
             qPrintable(ontoTheSet.err));
    QCOMPARE(fileContent(set), before);

    const ProgramRun both = run(toStdout << u"--format"_s << u"json"_s);
    QCOMPARE(both.exitCode, 2);
    QVERIFY2(both.out.isEmpty() && messagesIn(both.err).size() == 1, qPrintable(both.err));
}

void tst_CommandLine::importReadsStandardInputTwice()
{
    // The import checks the worksheet in one read and saves it in a second; from a pipe, both
    // must see the whole worksheet, and faults name standard input.
    const QString set = demoSet();
    const ProgramRun exported = run({u"export"_s, set, u"-o"_s, u"-"_s});
    QCOMPARE(exported.exitCode, 0);
    const QByteArray filled = filledIn(exported.out.toUtf8());

    QByteArray faulty = filled;
    faulty.replace("\"100\"", "\"1OO\"");
    const ProgramRun refused = run({u"import"_s, set, u"-"_s}, faulty);
    QCOMPARE(refused.exitCode, 2);
    QVERIFY2(refused.err.startsWith(u"stdin:2: "_s), qPrintable(refused.err));
    QVERIFY2(!refused.err.contains(QDir::tempPath()), qPrintable(refused.err));

    const ProgramRun saved = run({u"import"_s, set, u"-"_s}, filled);
    QVERIFY2(saved.exitCode == 0 &&
                 saved.out.contains(u"stdin: 5 cards, 10 expense rows, no fault; saved."_s),
             qPrintable(saved.out + saved.err));
    const ProgramRun left = run({u"check"_s, set, u"--format"_s, u"json"_s});
    QCOMPARE(QJsonDocument::fromJson(left.out.toUtf8()).object().value(u"manual"_s).toInt(), 0);
}

void tst_CommandLine::missingColumnsInOneLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QString>("says");
    QTest::newRow("ENG, several")
        << u"ENG"_s << QByteArray("Asset number,Department,Rate (%)")
        << u"stdin:1: the worksheet has no columns \"Account number\" and \"Check code\"; fill in "
           "the worksheet that allocfix export wrote"_s;
    QTest::newRow("ENG, one")
        << u"ENG"_s << QByteArray("Asset number,Department,Account number,Rate (%)")
        << u"stdin:1: the worksheet has no column \"Check code\"; fill in the worksheet that "
           "allocfix export wrote"_s;
    QTest::newRow("CHS, three")
        << u"CHS"_s << QByteArray("资产编码,分配比例(%)")
        << u"标准输入:1: 工作表没有这些列：“分配部门”、“科目编码”和“校验码”；"
           "请填写 allocfix export 写出的工作表"_s;
}

void tst_CommandLine::missingColumnsInOneLanguage()
{
    QFETCH(QString, language);
    QFETCH(QByteArray, header);
    QFETCH(QString, says);
    const QString set = demoSet();
    const ProgramRun ran = run({u"import"_s, set, u"-"_s, u"-l"_s, language}, header + "\nFA1\n");
    QCOMPARE(ran.exitCode, 2);
    QCOMPARE(ran.err.split(u'\n').first(), says);
}

QTEST_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
