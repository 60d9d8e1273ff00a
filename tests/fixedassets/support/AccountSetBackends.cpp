#include "support/AccountSetBackends.h"

#include "desktop/SharedProperties.h"
#include "services/HostServices.h"

#include <QSqlDatabase>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace FixedAssets::Testing {

void useEnglishTexts()
{
    registerHostServices();
    publishPropsString(u"Language=ENG;"_s);
}

void addBackendColumn()
{
    QTest::addColumn<QString>("backend");
}

void addBackendRows()
{
    addBackendColumn();
    for (const QString &backend : Backends)
        QTest::newRow(qPrintable(backend)) << backend;
}

std::optional<QString> locationFor(const QString &backend, const QTemporaryDir &folder)
{
    if (backend == u"sqlite")
        return u"sqlite:"_s + folder.filePath(u"set.fa"_s);
    const QString url = qEnvironmentVariable("ALLOCFIX_TEST_PG_URL");
    if (url.isEmpty())
        return std::nullopt;
    // A test with a database of its own names it by a suffix, added only where there is a server.
    return url + qEnvironmentVariable("ALLOCFIX_TEST_PG_DATABASE_SUFFIX");
}

int pooledConnections()
{
    int count = 0;
    const QStringList names = QSqlDatabase::connectionNames();
    for (const QString &name : names)
        count += name.startsWith(u"FixedAssets "_s) ? 1 : 0;
    return count;
}

} // namespace FixedAssets::Testing
