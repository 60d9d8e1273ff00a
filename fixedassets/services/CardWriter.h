#pragma once

#include "services/CardReads.h"

namespace FixedAssets {

class AccountSet;

// Writes cards' expense rows to the account set, many cards at once.
namespace CardWriter {

// Deletes the rows and items of the cards whose alter_id cardsQuery answers (SQL that binds no
// values, such as a read of a scratch table).
void deleteExpenseRows(const AccountSet &set, const QString &cardsQuery);

struct CardRows {
    qint32 cardId = 0;
    QList<CardRecordBuilders::RowIds> rows;
};
// Writes the rows of cards that have none, in bulk (IDs only are stored; names come from the
// reference data).
void insertExpenseRows(const AccountSet &set, const QList<CardRows> &cards);
// Gives the cards of cards exactly the rows of rows, writing only what differs: a row or an item
// keeps its place (card, row, item), is updated only where its values changed, deleted where the
// card no longer has the place and inserted where it is new. stored holds the cards' rows as
// storedRows read them in the same transaction.
// After many expense rows were written and committed: PostgreSQL plans the card services'
// statements, prepared once for all values, from statistics that should say so. Outside the
// write transaction, so that the lock is not held for it; and it raises nothing, since what it
// follows is saved already and stale statistics cost only time.
void updateExpenseRowStatistics(const AccountSet &set);

void replaceExpenseRows(const AccountSet &set, const QList<qint32> &cards,
                        const CardReads::StoredRows &stored, const QList<CardRows> &rows);

} // namespace CardWriter
} // namespace FixedAssets
