#include "support/AccountSetBackends.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace FixedAssets::Testing {

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
    return url;
}

} // namespace FixedAssets::Testing
