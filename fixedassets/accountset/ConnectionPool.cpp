#include "accountset/ConnectionPool.h"

#include "accountset/AccountSet.h"
#include "accountset/IntegrityNotes.h"
#include "accountset/PreparedStatement.h"

#include <QSqlDatabase>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace FixedAssets {

namespace {

const QString PoolPrefix = u"FixedAssets "_s;

quint64 &closed()
{
    static quint64 count = 0;
    return count;
}

QHash<QString, AccountSetLocation> &locations()
{
    static QHash<QString, AccountSetLocation> opened;
    return opened;
}

} // namespace

QString ConnectionPool::nameOf(const AccountSetLocation &location)
{
    return PoolPrefix + location.url();
}

AccountSet ConnectionPool::connect(const AccountSetLocation &location)
{
    const QString name = nameOf(location);
    const SqlDriver driver(location.kind);
    try {
        QSqlDatabase db = driver.addConnection(location, name);
        driver.open(db, location);
        locations().insert(name, location);
    } catch (...) {
        remove(name);
        throw;
    }
    return AccountSet(location, name);
}

void ConnectionPool::remove(const QString &name)
{
    intact().remove(name);
    rights().remove(name);
    const AccountSetLocation location = locations().take(name);
    if (!QSqlDatabase::contains(name))
        return;
    PreparedStatement::dropCache(name);
    ++closed();
    // The last connection to close folds the log into the file: the set is as whole after it
    // as it was before.
    const SqlDialect &dialect = SqlDriver(location.kind).dialect();
    const bool whole = !location.path.isEmpty() &&
                       IntegrityNotes::knownWhole(location, dialect.storageLook(location));
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (whole)
        IntegrityNotes::rememberWhole(dialect, location, dialect.storageLook(location));
}

void ConnectionPool::removeAll()
{
    const QStringList names = QSqlDatabase::connectionNames();
    for (const QString &name : names) {
        if (name.startsWith(PoolPrefix))
            remove(name);
    }
}

quint64 ConnectionPool::closedCount()
{
    return closed();
}

QSet<QString> &ConnectionPool::intact()
{
    static QSet<QString> names;
    return names;
}

QHash<QString, SqlDriver::Rights> &ConnectionPool::rights()
{
    static QHash<QString, SqlDriver::Rights> rights;
    return rights;
}

} // namespace FixedAssets
