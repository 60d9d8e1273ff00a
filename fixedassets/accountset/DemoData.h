#pragma once

#include "accountset/AccountSetLocation.h"

#include <QString>

namespace FixedAssets {

class AccountSet;

// The item classes, items (class 2: the departments) and accounts of the demo account set.
// Tests build their own cards on top of it.
void addReferenceData(const AccountSet &set);

// cardCount cards, each used by two or three departments, numbered in asset-number order:
// three in five still carry one legacy expense row (adjusted automatically), one in five two
// legacy rows (manual work), one in five rows per department already.
void addDemoCards(const AccountSet &set, int cardCount);

// (Re)creates the account set at location with the reference data and cardCount demo cards,
// all in one step, replacing whatever is there (checkDemoTarget in DemoTarget.h says whether
// that may be done). The profile marks it as a demo set. Returns the canonical location, for the
// host property string.
QString createDemoAccountSet(const QString &location, int cardCount = 12);
QString createDemoAccountSet(const AccountSetLocation &location, int cardCount = 12);

// The profile entry that marks a demo set.
inline const QString DemoSetKey = QStringLiteral("DemoSet");
inline const QString DemoSetValue = QStringLiteral("1");

} // namespace FixedAssets
