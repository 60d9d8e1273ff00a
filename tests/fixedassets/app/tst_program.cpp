#include "accountset/AccountSet.h"
#include "accountset/DemoData.h"
#include "support/AccountSetBackends.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace FixedAssets;
using FixedAssets::Testing::addBackendRows;

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

QByteArray fileContent(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("-");
}

int cardsIn(const QString &location)
{
    const int count = AccountSet::open(location).scalar(u"SELECT count(*) FROM cards"_s).toInt();
    AccountSet::closeAll();
    return count;
}

} // namespace

class tst_Program : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();

    void firstRunCreatesTheDemoAccountSet();
    void demoCreatesTheCardsAskedFor_data();
    void demoCreatesTheCardsAskedFor();
    void demoOnEitherDatabase_data();
    void demoOnEitherDatabase();
    void badInputGetsOneClearLine_data();
    void badInputGetsOneClearLine();
    void withoutADisplayItSaysSo();

private:
    Run run(const QStringList &arguments, bool withDisplay = true);
    QString demoPath() const { return m_home->filePath(u"data/FixedAssets/allocfix/demo.fa"_s); }

    std::unique_ptr<QTemporaryDir> m_home;
};

void tst_Program::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    QDir(m_home->path()).mkdir(u"runtime"_s);
    QFile::setPermissions(m_home->filePath(u"runtime"_s),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

Run tst_Program::run(const QStringList &arguments, bool withDisplay)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"HOME"_s, m_home->path());
    environment.insert(u"XDG_DATA_HOME"_s, m_home->filePath(u"data"_s));
    environment.insert(u"XDG_CONFIG_HOME"_s, m_home->filePath(u"config"_s));
    environment.insert(u"XDG_RUNTIME_DIR"_s, m_home->filePath(u"runtime"_s));
    environment.insert(u"LANG"_s, u"zh_CN.UTF-8"_s);
    environment.remove(u"DISPLAY"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);
    if (withDisplay)
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    else
        environment.remove(u"QT_QPA_PLATFORM"_s);

    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ALLOCFIX_PROGRAM), arguments);
    Run result;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    // The offscreen platform's notes are not the program's.
    const QStringList lines = QString::fromUtf8(process.readAllStandardError()).split(u'\n');
    for (const QString &line : lines) {
        if (!line.isEmpty() && !line.contains(u"propagateSizeHints"_s))
            result.err += line + u'\n';
    }
    return result;
}

void tst_Program::firstRunCreatesTheDemoAccountSet()
{
    const QString shot = m_home->filePath(u"wizard.png"_s);
    Run first = run({u"--screenshot"_s, shot});
    // The screenshot closes the wizard: the adjustment is not carried through.
    QCOMPARE(first.out, u"UpdateResult=0\n"_s);
    QCOMPARE(first.exitCode, 1);
    QCOMPARE(first.err, QString());
    QVERIFY(QFile::exists(shot));
    QCOMPARE(cardsIn(u"sqlite:"_s + demoPath()), 12);

    // The next run opens the same account set instead of making a new one.
    AccountSet::open(u"sqlite:"_s + demoPath()).setProfileValue(u"Marker"_s, u"kept"_s);
    AccountSet::closeAll();
    const Run second = run({u"--screenshot"_s, shot});
    QCOMPARE(second.exitCode, 1);
    QCOMPARE(AccountSet::open(u"sqlite:"_s + demoPath()).profileValue(u"Marker"_s), u"kept"_s);
    AccountSet::closeAll();
}

void tst_Program::demoCreatesTheCardsAskedFor_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("cards");
    QTest::newRow("--demo 500") << QStringList{u"--demo"_s, u"500"_s} << 500;
    QTest::newRow("--demo=3") << QStringList{u"--demo=3"_s} << 3;
    QTest::newRow("--demo alone") << QStringList{u"--demo"_s} << 12;
}

void tst_Program::demoCreatesTheCardsAskedFor()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, cards);
    // An earlier demo set is replaced, not added to.
    QVERIFY(QDir().mkpath(QFileInfo(demoPath()).path()));
    createDemoAccountSet(u"sqlite:"_s + demoPath(), 7);
    AccountSet::closeAll();

    const Run result =
        run(arguments + QStringList{u"--screenshot"_s, m_home->filePath(u"shot.png"_s)});
    QCOMPARE(result.err, QString());
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(cardsIn(u"sqlite:"_s + demoPath()), cards);
}

void tst_Program::demoOnEitherDatabase_data()
{
    addBackendRows();
}

void tst_Program::demoOnEitherDatabase()
{
    FETCH_ACCOUNT_SET_LOCATION(location);
    const Run created =
        run({u"--demo"_s, u"30"_s, location, u"--screenshot"_s, m_home->filePath(u"shot.png"_s)});
    QCOMPARE(created.err, QString());
    QCOMPARE(created.out, u"UpdateResult=0\n"_s);
    QCOMPARE(cardsIn(location), 30);
    const Run opened =
        run({location, u"-l"_s, u"ENG"_s, u"--screenshot"_s, m_home->filePath(u"shot.png"_s)});
    QCOMPARE(opened.err, QString());
    QCOMPARE(opened.exitCode, 1);
    QVERIFY(!QFile::exists(demoPath()));
}

void tst_Program::badInputGetsOneClearLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("content"); // of set.fa before the run; "-": no such file
    QTest::addColumn<QString>("says");

    const QString set = u"SET"_s; // replaced by the path of set.fa
    QTest::newRow("missing file") << QStringList{set} << QByteArray("-")
                                  << u"There is no account set file"_s;
    QTest::newRow("corrupt file") << QStringList{set}
                                  << QByteArray("not a database, only some text that goes on")
                                  << u"Cannot open the account set"_s;
    QTest::newRow("empty file") << QStringList{set} << QByteArray()
                                << u"is not a fixed-asset account set"_s;
    QTest::newRow("unknown language") << QStringList{u"--language"_s, u"XYZ"_s} << QByteArray("-")
                                      << u"Unknown language \"XYZ\""_s;
    QTest::newRow("unreachable server")
        << QStringList{u"postgresql://fa@127.0.0.1:1/fa"_s} << QByteArray("-")
        << u"Cannot open the account set postgresql://fa@127.0.0.1:1/fa"_s;
    QTest::newRow("URL without database")
        << QStringList{u"postgresql://fa@127.0.0.1"_s} << QByteArray("-") << u"names no database"_s;
    QTest::newRow("demo count of zero")
        << QStringList{u"--demo"_s, u"0"_s} << QByteArray("-") << u"--demo takes a number"_s;
    QTest::newRow("demo into a missing folder")
        << QStringList{u"--demo"_s, u"/nonexistent-folder/set.fa"_s} << QByteArray("-")
        << u"does not exist"_s;
    QTest::newRow("two account sets")
        << QStringList{set, set} << QByteArray("-") << u"Give one account set"_s;
    QTest::newRow("unknown option") << QStringList{u"--colour"_s} << QByteArray("-") << u"colour"_s;
}

void tst_Program::badInputGetsOneClearLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, content);
    QFETCH(QString, says);
    const QString path = m_home->filePath(u"set.fa"_s);
    if (content != "-") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    arguments.replaceInStrings(u"SET"_s, path);

    const Run result = run(arguments);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.out, QString());
    QVERIFY2(result.err.startsWith(u"allocfix: "_s), qPrintable(result.err));
    QVERIFY2(result.err.contains(says), qPrintable(result.err));
    QCOMPARE(result.err.count(u'\n'), 1);
    // Nothing was made or changed on the way.
    QCOMPARE(fileContent(path), content);
    QVERIFY(!QFile::exists(path + u".new"_s));
    QVERIFY(!QFile::exists(demoPath()));
}

void tst_Program::withoutADisplayItSaysSo()
{
    const Run result = run({}, false);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.err,
             u"allocfix: no display is available (set DISPLAY, or run under xvfb-run)\n"_s);
    QVERIFY(!QFile::exists(demoPath()));
}

QTEST_GUILESS_MAIN(tst_Program)
#include "tst_program.moc"
