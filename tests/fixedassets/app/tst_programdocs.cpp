#include "ProgramRun.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

// The manual page and the shell completion the build made, against what --help says.
class tst_ProgramDocs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void everySubcommandIsDocumentedAndCompleted_data();
    void everySubcommandIsDocumentedAndCompleted();

private:
    // What the completion offers for the words of a command line, the last being completed.
    QStringList completions(const QStringList &words) const;

    QTemporaryDir m_home;
    QString m_manual;
};

void tst_ProgramDocs::initTestCase()
{
    QVERIFY(QDir(m_home.path()).mkdir(u"runtime"_s));
    QFile manual(QStringLiteral(ALLOCFIX_MANUAL));
    QVERIFY(manual.open(QIODevice::ReadOnly));
    m_manual = QString::fromUtf8(manual.readAll());
}

QStringList tst_ProgramDocs::completions(const QStringList &words) const
{
    QString script = u"source '%1'\nCOMP_WORDS=("_s.arg(QStringLiteral(ALLOCFIX_COMPLETION));
    for (const QString &word : words)
        script += u" '"_s + word + u'\'';
    script += u")\nCOMP_CWORD=%1\n_allocfix\nprintf '%s\\n' \"${COMPREPLY[@]}\"\n"_s.arg(
        words.size() - 1);
    QProcess bash;
    bash.setWorkingDirectory(m_home.path());
    bash.start(u"bash"_s, {u"-c"_s, script});
    bash.waitForFinished();
    return QString::fromUtf8(bash.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

void tst_ProgramDocs::everySubcommandIsDocumentedAndCompleted_data()
{
    QTest::addColumn<QString>("subcommand");
    const auto help = FixedAssets::Testing::runProgram({u"--help"_s}, m_home.path(), false);
    // The help lists them as "  name    what it does" after its "Subcommands" line.
    const QString list = help.out.section(u"Subcommands"_s, 1).section(u"\n\n"_s, 0, 0);
    static const QRegularExpression line(u"^  ([a-z]+)  "_s, QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(list); it.hasNext();) {
        const QString name = it.next().captured(1);
        QTest::newRow(qPrintable(name)) << name;
    }
    QVERIFY(list.contains(u"demo"_s));
}

void tst_ProgramDocs::everySubcommandIsDocumentedAndCompleted()
{
    QFETCH(QString, subcommand);
    QVERIFY(m_manual.contains(u".SS \"allocfix "_s + subcommand + u" ["_s));
    QVERIFY(completions({u"allocfix"_s, QString()}).contains(subcommand));
    // Also after a global option, and its own options after it.
    QVERIFY(
        completions({u"allocfix"_s, u"-l"_s, u"ENG"_s, subcommand.left(2)}).contains(subcommand));
    QVERIFY(completions({u"allocfix"_s, u"--quiet"_s, subcommand.left(2)}).contains(subcommand));
    QVERIFY(completions({u"allocfix"_s, subcommand, u"--"_s}).contains(u"--help"_s));
    QVERIFY(completions({u"allocfix"_s, subcommand, u"--q"_s}).contains(u"--quiet"_s));
    QVERIFY(completions({u"allocfix"_s, u"help"_s, subcommand.left(2)}).contains(subcommand));
}

QTEST_GUILESS_MAIN(tst_ProgramDocs)
#include "tst_programdocs.moc"
