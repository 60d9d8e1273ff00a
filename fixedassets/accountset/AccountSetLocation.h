#pragma once

#include "fixedassets_export.h"

#include <QList>
#include <QString>

#include <utility>

namespace FixedAssets {

// Where an account set lives, as the host property string names it:
//     sqlite:/path/to/set.fa                    (a plain file path is taken as SQLite too)
//     postgresql://[user[:password]@][host][:port][/database][?name=value&...]
// The PostgreSQL form is libpq's URI: what it leaves out, libpq takes from its environment
// (PGHOST, PGUSER, PGPASSWORD, ~/.pgpass, PGSERVICE and the service file). A host that starts
// with "/" (written %2F...) is a Unix-socket folder. Parameters such as sslmode=require reach
// libpq as they are. Any character may be percent-encoded; ";" must be, since the property
// string separates its pairs with it.
struct FIXEDASSETS_EXPORT AccountSetLocation {
    enum class Kind { SQLite, PostgreSQL };

    Kind kind = Kind::SQLite;
    QString path;  // SQLite: the absolute file path
    QString host;  // empty: libpq's default
    int port = -1; // -1: libpq's default
    QString user;
    QString password; // never shown: url() leaves it out, shown() masks it
    QString database;
    // The other libpq parameters, in their order. Those that hold a secret (isSecret) are kept
    // like the password: url() leaves them out. shown() masks every value but those of
    // sslmode, application_name and connect_timeout.
    QList<std::pair<QString, QString>> parameters;

    // Raises Failure (AccountSetError::BadLocation) for text that names no account set.
    static AccountSetLocation parse(const QString &text);
    // The value of the "AcctSet" pair of a host property string, parsed.
    static AccountSetLocation fromProps(const QString &props);

    // The canonical form: the pool's key, and what the program writes into the property string.
    // It holds no secret and no ";".
    QString url() const;
    // The canonical form for messages: the password and the parameters' values masked as
    // "***", escaped as every outside text is. Messages never repeat the text parse() was given.
    QString shown() const;
    // Whether a parameter of this name holds a secret: password, sslpassword, or any other name
    // that ends in "password", in any letter case.
    static bool isSecret(QStringView name);

private:
    QString canonical(bool withMaskedSecrets) const;
};

} // namespace FixedAssets
