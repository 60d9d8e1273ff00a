#pragma once

#include <QStringList>

namespace FixedAssets {

class AccountSet;

// The account set's schema and its versions. Version 1 had no audit log; version 2 adds it.
namespace Schema {

inline constexpr int CurrentVersion = 2;

// Creates the tables of the given version in an empty database (inside the caller's
// transaction).
void create(const AccountSet &set, int version = CurrentVersion);
// Upgrades an account set from its version to the current one, in one transaction.
void upgrade(const AccountSet &set, int fromVersion);
// The schema version the account set records; raises NotAnAccountSet when the database does not
// look like an account set.
int versionOf(const AccountSet &set);
// Drops the account set's own tables, leaving anything else in the database alone.
void drop(const AccountSet &set);
// The account set's own tables, dependents first.
QStringList tableNames();

} // namespace Schema
} // namespace FixedAssets
