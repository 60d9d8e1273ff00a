#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "accountset/DemoData.h"
#include "support/WorkerProcess.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace FixedAssets;
using namespace FixedAssets::Testing;

namespace {

// What happens to a set between two programs' opens of it.
enum class Change {
    None,
    OwnWrite,
    ForeignWrite,          // another program writes through SQLite
    ForeignWriteWhileOpen, // ... while this one has it open, checked, and writes after it
    RestoredInPlace,       // an older copy written over it, its modification time kept
    RestoredByMove,        // an older copy moved into its place
    KilledWrite,           // a writer of ours killed halfway through its transaction
    BytesOverwritten,      // another program writes garbage into its pages
};

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const AccountSet &set)
{
    WriteTransaction transaction(set);
    set.setProfileValue(u"note"_s, u"ours"_s);
    transaction.commit();
}

void ownWrite(const QString &location)
{
    write(AccountSet::open(location));
    AccountSet::closeAll();
}

bool foreignWrite(const QString &path)
{
    bool written = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"foreign"_s);
        db.setDatabaseName(path);
        written = db.open() &&
                  QSqlQuery(db).exec(u"INSERT INTO profile (name, value) VALUES ('x', 'y')"_s);
        db.close();
    }
    QSqlDatabase::removeDatabase(u"foreign"_s);
    return written;
}

bool restore(const QString &backup, const QString &path, Change how)
{
    if (how == Change::RestoredByMove) {
        const QString copy = path + u".restored"_s;
        return QFile::copy(backup, copy) && QFile::remove(path) && QFile::rename(copy, path);
    }
    QFile old(backup);
    QFile file(path);
    if (!old.open(QIODevice::ReadOnly) || !file.open(QIODevice::ReadWrite | QIODevice::Truncate))
        return false;
    return file.write(old.readAll()) == old.size() &&
           file.setFileTime(old.fileTime(QFileDevice::FileModificationTime),
                            QFileDevice::FileModificationTime);
}

bool killMidWrite(const QString &location)
{
    WorkerProcess writer({u"adjust-and-hold"_s, location, u"-1"_s});
    if (!writer.waitForLine("holding"))
        return false;
    writer.process().kill();
    writer.finish();
    return true;
}

bool overwriteBytes(const QString &path)
{
    constexpr qint64 Page = 4096;
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || file.size() < 8 * Page)
        return false;
    QRandomGenerator noise(30);
    QByteArray garbage(4 * Page, Qt::Uninitialized);
    noise.fillRange(reinterpret_cast<quint32 *>(garbage.data()), garbage.size() / 4);
    return file.seek(file.size() / Page / 2 * Page) && file.write(garbage) == garbage.size();
}

} // namespace

Q_DECLARE_METATYPE(Change)

class tst_IntegrityNotes : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup() { AccountSet::closeAll(); }

    void checkRunsWhenTheSetMovedWithoutUs_data();
    void checkRunsWhenTheSetMovedWithoutUs();

private:
    QTemporaryDir m_cache;
};

void tst_IntegrityNotes::initTestCase()
{
    // The notes of this test and of the worker it starts, away from the user's own.
    QVERIFY(m_cache.isValid());
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_cache.path()));
}

void tst_IntegrityNotes::checkRunsWhenTheSetMovedWithoutUs_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<int>("checks");
    QTest::addColumn<bool>("damaged");
    QTest::newRow("untouched") << Change::None << 0 << false;
    QTest::newRow("written by this program") << Change::OwnWrite << 0 << false;
    QTest::newRow("written by another program") << Change::ForeignWrite << 1 << false;
    QTest::newRow("written by another program while open, then by this one")
        << Change::ForeignWriteWhileOpen << 1 << false;
    QTest::newRow("backup restored in place") << Change::RestoredInPlace << 1 << false;
    QTest::newRow("backup moved into place") << Change::RestoredByMove << 1 << false;
    QTest::newRow("writer killed mid-write") << Change::KilledWrite << 1 << false;
    QTest::newRow("bytes overwritten") << Change::BytesOverwritten << 1 << true;
}

void tst_IntegrityNotes::checkRunsWhenTheSetMovedWithoutUs()
{
    QFETCH(Change, change);
    QFETCH(int, checks);
    QFETCH(bool, damaged);
    const QTemporaryDir folder;
    const QString path = folder.filePath(u"set.fa"_s);
    const QString backup = folder.filePath(u"backup.fa"_s);
    const QString location = createDemoAccountSet(u"sqlite:"_s + path, 500);
    AccountSet::closeAll();
    QVERIFY(QFile::copy(path, backup));
    // Known whole from its making on, through this program's own reads and writes.
    const quint64 made = AccountSet::wholeChecks();
    AccountSet::open(location).requireWritableAndIntact();
    AccountSet::closeAll();
    ownWrite(location);
    QCOMPARE(AccountSet::wholeChecks(), made);

    switch (change) {
    case Change::None:
        break;
    case Change::OwnWrite:
        ownWrite(location);
        break;
    case Change::ForeignWrite:
        QVERIFY(foreignWrite(path));
        break;
    case Change::ForeignWriteWhileOpen: {
        const AccountSet set = AccountSet::open(location);
        set.requireWritableAndIntact();
        QVERIFY(foreignWrite(path));
        write(set);
        AccountSet::closeAll();
        break;
    }
    case Change::RestoredInPlace:
    case Change::RestoredByMove:
        QVERIFY(restore(backup, path, change));
        break;
    case Change::KilledWrite:
        QVERIFY(killMidWrite(location));
        break;
    case Change::BytesOverwritten:
        QVERIFY(overwriteBytes(path));
        break;
    }
    const QByteArray before = bytesOf(path);

    const quint64 checked = AccountSet::wholeChecks();
    bool refused = false;
    try {
        AccountSet::open(location).requireWritableAndIntact();
    } catch (const AllocFix::Failure &failure) {
        QCOMPARE(failure.number(), AccountSetError::Damaged);
        refused = true;
    }
    QCOMPARE(AccountSet::wholeChecks() - checked, quint64(checks));
    QCOMPARE(refused, damaged);
    AccountSet::closeAll();
    if (damaged)
        QVERIFY(bytesOf(path) == before);

    // Checked once, whole: the next open trusts it again.
    if (!damaged) {
        const quint64 again = AccountSet::wholeChecks();
        AccountSet::open(location).requireWritableAndIntact();
        QCOMPARE(AccountSet::wholeChecks(), again);
    }
}

QTEST_GUILESS_MAIN(tst_IntegrityNotes)
#include "tst_integritynotes.moc"
