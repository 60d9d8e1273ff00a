#pragma once

#include <QStringList>

namespace FixedAssets {

class AccountSet;

// The account set's schema and its versions. Version 1 had no audit log; version 2 adds it;
// version 3 refuses expense rows with a rate outside (0, 1] or a department that is no
// department item; version 4 gives the set a random identity, chains the audit log's entries by
// their hashes and lets it take new entries only; version 5 hashes new entries over every stored
// column and refuses one that would take an existing entry's place; version 6 indexes the legacy
// rows and the manual queue's cards.
namespace Schema {

inline constexpr int CurrentVersion = 6;

// Creates the tables of the given version in an empty database (inside the caller's
// transaction).
void create(const AccountSet &set, int version = CurrentVersion);
// Upgrades an account set to the current version in one transaction, reading its version under
// the write lock, so two programs that open an old set together upgrade it once. Answers the
// version found there (newer ones are left alone).
int upgrade(const AccountSet &set);
// The schema version the account set records; raises NotAnAccountSet when the database does not
// look like an account set.
int versionOf(const AccountSet &set);
// The random identity the account set got when it was created or upgraded (text, never empty
// from version 4 on).
QString identity(const AccountSet &set);
// Drops the account set's own tables, leaving anything else in the database alone.
void drop(const AccountSet &set);
// The account set's own tables, dependents first.
QStringList tableNames();

} // namespace Schema
} // namespace FixedAssets
