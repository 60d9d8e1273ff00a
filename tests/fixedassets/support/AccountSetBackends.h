#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

// The two databases an account set can live in, as rows of a data-driven test: one test body
// runs against SQLite (a file in a temporary folder) and PostgreSQL (the server that
// ALLOCFIX_TEST_PG_URL names; scripts/check starts one).
//
//     void tst_X::save_data() { FixedAssets::Testing::addBackendRows(); ... }
//     void tst_X::save() { FETCH_ACCOUNT_SET_LOCATION(location); ... }
namespace FixedAssets::Testing {

inline const QStringList Backends{QStringLiteral("sqlite"), QStringLiteral("postgresql")};

// The column "backend" and one row per backend, named after it. Larger tables add the column
// with addBackendColumn and a row per entry of Backends.
void addBackendColumn();
void addBackendRows();

// The location to create the account set at, or nothing when PostgreSQL is not configured.
std::optional<QString> locationFor(const QString &backend, const QTemporaryDir &folder);

// The host's texts in English, as the tests compare them: the host services registered and
// "Language=ENG" published.
void useEnglishTexts();

// How many pooled account set connections are open.
int pooledConnections();

inline const char *const PostgresMissing =
    "PostgreSQL tests need ALLOCFIX_TEST_PG_URL (scripts/check starts a server and sets it)";

} // namespace FixedAssets::Testing

// Declares location (a QString) for the current row's backend, or skips the row.
#define FETCH_ACCOUNT_SET_LOCATION(location)                                                       \
    QFETCH(QString, backend);                                                                      \
    const QTemporaryDir location##Folder;                                                          \
    QVERIFY(location##Folder.isValid());                                                           \
    const std::optional<QString> location##Found =                                                 \
        FixedAssets::Testing::locationFor(backend, location##Folder);                              \
    if (!location##Found)                                                                          \
        QSKIP(FixedAssets::Testing::PostgresMissing);                                              \
    const QString &location = *location##Found
