#pragma once

#include "accountset/AccountSetLocation.h"
#include "accountset/SqlDriver.h"

#include <QHash>
#include <QSet>
#include <QString>

namespace FixedAssets {

class AccountSet;

// The account sets' connections, one per location, named after it, and what is learnt about
// each while it lives: whether its database passed the integrity check, and its role's rights.
// Closing a connection forgets both. Everything runs on the user-interface thread.
class ConnectionPool {
public:
    static QString nameOf(const AccountSetLocation &location);
    // Opens a connection for location under its name, replacing none: the caller has closed
    // what was there. Raises with the connection removed again.
    static AccountSet connect(const AccountSetLocation &location);
    // Closes and removes the named connection; every QSqlDatabase copy of it must be gone.
    static void remove(const QString &name);
    static void removeAll();
    // How many connections have been closed so far (AccountSet::closedConnections).
    static quint64 closedCount();

    static QSet<QString> &intact();
    static QHash<QString, SqlDriver::Rights> &rights();
};

} // namespace FixedAssets
