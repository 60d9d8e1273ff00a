// What -o may write, through the program: never the account set it reads, never anything but a
// regular file, a link only as a link, and a file only as a whole.
#include "ProgramRun.h"
#include "accountset/AccountSet.h"
#include "accountset/DemoData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace FixedAssets;
using FixedAssets::Testing::ProgramRun;

namespace {

// Every entry of a folder as it is on disk, without following links: kind, link target, bytes.
QMap<QString, QByteArray> entriesOf(const QString &folder)
{
    QMap<QString, QByteArray> entries;
    const QFileInfoList infos = QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                           QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &info : infos) {
        QByteArray &entry = entries[info.fileName()];
        if (info.isSymLink()) {
            entry = "link to " + QFile::encodeName(info.symLinkTarget());
        } else if (info.isFile()) {
            QFile file(info.filePath());
            entry = file.open(QIODevice::ReadOnly) ? file.readAll() : "unreadable";
        } else {
            entry = info.isDir() ? "folder" : "other";
        }
    }
    return entries;
}

int modeOf(const QString &path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0
               ? static_cast<int>(status.st_mode & 07777)
               : -1;
}

} // namespace

class tst_OutputFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup() { AccountSet::closeAll(); }

    void refusedUntouched_data();
    void refusedUntouched();
    void forceReplacesTheNameItself_data();
    void forceReplacesTheNameItself();

private:
    QString path(const QString &name) const { return m_home->filePath(name); }
    // "link NAME TARGET", "hardlink NAME TARGET", "fifo NAME", "folder NAME" in the home folder.
    bool plant(const QStringList &commands) const;

    std::unique_ptr<QTemporaryDir> m_home;
};

void tst_OutputFile::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    QVERIFY(QDir(m_home->path()).mkdir(u"runtime"_s));
    QFile::setPermissions(path(u"runtime"_s),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

bool tst_OutputFile::plant(const QStringList &commands) const
{
    for (const QString &command : commands) {
        const QStringList word = command.split(u' ');
        const QByteArray name = QFile::encodeName(path(word.at(1)));
        const QByteArray target = QFile::encodeName(word.value(2));
        const int made =
            word[0] == u"link" ? ::symlink(target.constData(), name.constData())
            : word[0] == u"hardlink"
                ? ::link(QFile::encodeName(path(word.value(2))).constData(), name.constData())
            : word[0] == u"fifo" ? ::mkfifo(name.constData(), 0644)
                                 : ::mkdir(name.constData(), 0755);
        if (made != 0)
            return false;
    }
    return true;
}

void tst_OutputFile::refusedUntouched_data()
{
    QTest::addColumn<QString>("subcommand");
    QTest::addColumn<QString>("set");
    QTest::addColumn<QStringList>("plant");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("force");
    QTest::addColumn<QString>("says");

    const QString export_ = u"export"_s;
    const QString theSet = u"it is the account set being read"_s;
    QTest::newRow("the set itself, as CSV")
        << export_ << u"books.csv"_s << QStringList() << u"books.csv"_s << true << theSet;
    QTest::newRow("the set itself, as XLSX")
        << u"audit"_s << u"books.xlsx"_s << QStringList() << u"books.xlsx"_s << true << theSet;
    QTest::newRow("the set through ..") << export_ << u"books.csv"_s << QStringList{u"folder sub"_s}
                                        << u"sub/../books.csv"_s << true << theSet;
    QTest::newRow("symbolic link to the set")
        << export_ << u"books.fa"_s << QStringList{u"link link.csv books.fa"_s} << u"link.csv"_s
        << true << theSet;
    QTest::newRow("hard link to the set")
        << u"audit"_s << u"books.fa"_s << QStringList{u"hardlink hard.xlsx books.fa"_s}
        << u"hard.xlsx"_s << true << theSet;
    // The log exists only while the set is open, as it is when -o is checked.
    QTest::newRow("symbolic link to the set's log")
        << export_ << u"books.fa"_s << QStringList{u"link wal.csv books.fa-wal"_s} << u"wal.csv"_s
        << true << u"it is the account set being read"_s;
    QTest::newRow("symbolic link to a device")
        << export_ << u"books.fa"_s << QStringList{u"link null.csv /dev/null"_s} << u"null.csv"_s
        << false << u"it is a symbolic link to /dev/null; add --force"_s;
    QTest::newRow("named pipe") << export_ << u"books.fa"_s << QStringList{u"fifo pipe.csv"_s}
                                << u"pipe.csv"_s << true << u"it is a named pipe"_s;
    QTest::newRow("folder") << u"audit"_s << u"books.fa"_s << QStringList{u"folder dir.csv"_s}
                            << u"dir.csv"_s << true << u"it is a folder"_s;
}

void tst_OutputFile::refusedUntouched()
{
    QFETCH(QString, subcommand);
    QFETCH(QString, set);
    QFETCH(QStringList, plant);
    QFETCH(QString, output);
    QFETCH(bool, force);
    QFETCH(QString, says);
    createDemoAccountSet(u"sqlite:"_s + path(set), 12);
    AccountSet::closeAll();
    QVERIFY(this->plant(plant));
    const QMap<QString, QByteArray> before = entriesOf(m_home->path());

    QStringList arguments{subcommand, path(set), u"-o"_s, path(output), u"-l"_s, u"ENG"_s};
    if (force)
        arguments.append(u"--force"_s);
    const ProgramRun run = Testing::runProgram(arguments, m_home->path(), false);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.err.count(u'\n'), 1);
    QVERIFY2(run.err.startsWith(u"allocfix: Cannot write "_s + path(output) + u": "_s),
             qPrintable(run.err));
    QVERIFY2(run.err.contains(says), qPrintable(run.err));
    // The set byte for byte, and nothing made, moved or replaced beside it.
    QCOMPARE(entriesOf(m_home->path()), before);
}

void tst_OutputFile::forceReplacesTheNameItself_data()
{
    QTest::addColumn<QString>("subcommand");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("link"); // to kept.csv, which must stay as it is
    QTest::addColumn<int>("mode");  // of the file replaced, which the new one keeps

    QTest::newRow("CSV file") << u"export"_s << u"out.csv"_s << false << 0640;
    QTest::newRow("XLSX file") << u"audit"_s << u"out.xlsx"_s << false << 0604;
    QTest::newRow("symbolic link") << u"export"_s << u"out.csv"_s << true << -1;
}

void tst_OutputFile::forceReplacesTheNameItself()
{
    QFETCH(QString, subcommand);
    QFETCH(QString, output);
    QFETCH(bool, link);
    QFETCH(int, mode);
    createDemoAccountSet(u"sqlite:"_s + path(u"books.fa"_s), 12);
    AccountSet::closeAll();
    QFile kept(path(link ? u"kept.csv"_s : output));
    QVERIFY(kept.open(QIODevice::WriteOnly));
    kept.write("kept");
    kept.close();
    if (link)
        QVERIFY(plant({u"link "_s + output + u" kept.csv"_s}));
    else
        QCOMPARE(::chmod(QFile::encodeName(kept.fileName()).constData(), mode), 0);
    QMap<QString, QByteArray> expected = entriesOf(m_home->path());

    const ProgramRun run =
        Testing::runProgram({subcommand, path(u"books.fa"_s), u"-o"_s, path(output), u"--force"_s},
                            m_home->path(), false);
    QCOMPARE(run.exitCode, 0);
    const QFileInfo written(path(output));
    QVERIFY(!written.isSymLink());
    QVERIFY(written.isFile());
    if (!link)
        QCOMPARE(modeOf(written.filePath()), mode);
    // Only the name -o gave changed: no part file is left, and what a link led to is kept.
    const QMap<QString, QByteArray> after = entriesOf(m_home->path());
    QVERIFY(after.value(output) != expected.value(output) && after.value(output) != "kept");
    expected[output] = after.value(output);
    QCOMPARE(after, expected);
}

QTEST_GUILESS_MAIN(tst_OutputFile)
#include "tst_outputfile.moc"
