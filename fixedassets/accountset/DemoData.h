#pragma once

#include "accountset/AccountSetLocation.h"
#include "fixedassets_export.h"

#include <QString>

namespace FixedAssets {

class AccountSet;

// What the demo generator makes. The defaults make the demo ledger: nine departments, four
// expense accounts, cards used by two or three departments. Larger account sets, for
// benchmarks, ask for more departments and accounts and a range of rows per card.
struct FIXEDASSETS_EXPORT DemoShape {
    int cards = 12;
    // 0 for all four: the ledger's own reference data and card patterns. Otherwise the set also
    // gets generated departments (so many department items in all) and generated detail
    // expense accounts (so many expense accounts in all, each with none to three item classes),
    // and its cards use only those: each card has minRows to maxRows departments; a manual card
    // has as many legacy rows, an allocated card one row per department, and a card that is
    // adjusted automatically its one legacy row.
    int departments = 0;
    int expenseAccounts = 0;
    int minRows = 0;
    int maxRows = 0;

    bool isLedger() const
    {
        return departments == 0 && expenseAccounts == 0 && minRows == 0 && maxRows == 0;
    }
};

// The item classes, items (class 2: the departments) and accounts of the demo account set, and
// for a larger shape the generated ones. Tests build their own cards on top of it. Raises
// InvalidArgument for a shape it cannot make.
FIXEDASSETS_EXPORT void addReferenceData(const AccountSet &set, const DemoShape &shape = {});

// The shape's cards (cardCount cards of the ledger), each used by several departments,
// numbered in asset-number order: three in five still carry one legacy expense row (adjusted
// automatically), one in five several legacy rows (manual work), one in five rows per
// department already. Call addReferenceData with the same shape first.
FIXEDASSETS_EXPORT void addDemoCards(const AccountSet &set, int cardCount);
FIXEDASSETS_EXPORT void addDemoCards(const AccountSet &set, const DemoShape &shape);

// (Re)creates the account set at location with the reference data and the shape's cards (or
// cardCount cards of the ledger), all in one step, replacing whatever is there (checkDemoTarget
// in DemoTarget.h says whether that may be done). The profile marks it as a demo set. Returns
// the canonical location, for the host property string.
FIXEDASSETS_EXPORT QString createDemoAccountSet(const AccountSetLocation &location,
                                                const DemoShape &shape);
FIXEDASSETS_EXPORT QString createDemoAccountSet(const QString &location, const DemoShape &shape);
FIXEDASSETS_EXPORT QString createDemoAccountSet(const QString &location, int cardCount = 12);
FIXEDASSETS_EXPORT QString createDemoAccountSet(const AccountSetLocation &location,
                                                int cardCount = 12);

// The profile entry that marks a demo set.
inline const QString DemoSetKey = QStringLiteral("DemoSet");
inline const QString DemoSetValue = QStringLiteral("1");

} // namespace FixedAssets
