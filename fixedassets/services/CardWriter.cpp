#include "services/CardWriter.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "accountset/BulkInsert.h"

#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;
using FixedAssets::CardReads::StoredRows;
using FixedAssets::CardRecordBuilders::RowIds;

namespace FixedAssets::CardWriter {

void deleteExpenseRows(const AccountSet &set, const QString &cardsQuery)
{
    set.exec(u"DELETE FROM expense_row_items WHERE alter_id IN ("_s + cardsQuery + u')');
    set.exec(u"DELETE FROM expense_rows WHERE alter_id IN ("_s + cardsQuery + u')');
}

void updateExpenseRowStatistics(const AccountSet &set)
{
    try {
        set.updateStatistics({u"expense_rows"_s, u"expense_row_items"_s});
    } catch (const AllocFix::Failure &) { // NOLINT(bugprone-empty-catch): see the header
    }
}

namespace {

void insertRows(const AccountSet &set, const QList<CardRows> &cards, const QString &rowTable,
                const QString &itemTable)
{
    // Rows before items: each item names its row. (A bulk insert on PostgreSQL holds the
    // connection until it is finished.)
    BulkInsert rowInserts(set, rowTable,
                          {u"alter_id"_s, u"seq"_s, u"dept_id"_s, u"account_id"_s, u"rate"_s});
    for (const CardRows &card : cards) {
        qint32 seq = 0;
        for (const RowIds &row : card.rows)
            rowInserts.add({card.cardId, ++seq, row.departmentId, row.accountId, row.rate});
    }
    rowInserts.finish();
    BulkInsert itemInserts(set, itemTable,
                           {u"alter_id"_s, u"row_seq"_s, u"seq"_s, u"class_id"_s, u"item_id"_s});
    for (const CardRows &card : cards) {
        qint32 seq = 0;
        for (const RowIds &row : card.rows) {
            ++seq;
            qint32 itemSeq = 0;
            for (const auto &[classId, itemId] : row.items)
                itemInserts.add({card.cardId, seq, ++itemSeq, classId, itemId});
        }
    }
    itemInserts.finish();
}

} // namespace

void insertExpenseRows(const AccountSet &set, const QList<CardRows> &cards)
{
    insertRows(set, cards, u"expense_rows"_s, u"expense_row_items"_s);
}

namespace {

// On a server a statement per row would be a round trip each. The new rows go to scratch tables
// first, so that the account set's tables see set-based statements that touch only the places
// that differ.
void replaceSetBased(const AccountSet &set, const QList<qint32> &cards, const QList<CardRows> &rows)
{
    set.exec(u"CREATE TEMP TABLE saved_rows (alter_id INTEGER NOT NULL, seq INTEGER NOT NULL,"
             " dept_id INTEGER NOT NULL, account_id INTEGER NOT NULL,"
             " rate DOUBLE PRECISION NOT NULL, PRIMARY KEY (alter_id, seq))"_s);
    set.exec(u"CREATE TEMP TABLE saved_row_items (alter_id INTEGER NOT NULL,"
             " row_seq INTEGER NOT NULL, seq INTEGER NOT NULL, class_id INTEGER NOT NULL,"
             " item_id INTEGER NOT NULL, PRIMARY KEY (alter_id, row_seq, seq))"_s);
    insertRows(set, rows, u"saved_rows"_s, u"saved_row_items"_s);
    set.updateStatistics({u"saved_rows"_s, u"saved_row_items"_s});

    // Places the cards no longer have, items before their rows.
    const SqlDialect &dialect = set.driver().dialect();
    const QVariantList cardList{dialect.idList(cards)};
    set.exec(u"DELETE FROM expense_row_items WHERE "_s + dialect.oneOfIds(u"alter_id"_s) +
                 u" AND NOT EXISTS (SELECT 1 FROM saved_row_items s"
                 " WHERE s.alter_id = expense_row_items.alter_id"
                 " AND s.row_seq = expense_row_items.row_seq AND s.seq = expense_row_items.seq)"_s,
             cardList);
    set.exec(u"DELETE FROM expense_rows WHERE "_s + dialect.oneOfIds(u"alter_id"_s) +
                 u" AND NOT EXISTS (SELECT 1 FROM saved_rows s"
                 " WHERE s.alter_id = expense_rows.alter_id AND s.seq = expense_rows.seq)"_s,
             cardList);
    // Places kept whose values changed; unchanged rows are not written at all.
    set.exec(u"UPDATE expense_rows SET dept_id = s.dept_id, account_id = s.account_id,"
             " rate = s.rate FROM saved_rows s WHERE expense_rows.alter_id = s.alter_id"
             " AND expense_rows.seq = s.seq AND (expense_rows.dept_id <> s.dept_id"
             " OR expense_rows.account_id <> s.account_id OR expense_rows.rate <> s.rate)"_s);
    set.exec(u"INSERT INTO expense_rows (alter_id, seq, dept_id, account_id, rate)"
             " SELECT s.alter_id, s.seq, s.dept_id, s.account_id, s.rate FROM saved_rows s"
             " WHERE NOT EXISTS (SELECT 1 FROM expense_rows r WHERE r.alter_id = s.alter_id"
             " AND r.seq = s.seq)"_s);
    set.exec(u"UPDATE expense_row_items SET class_id = s.class_id, item_id = s.item_id"
             " FROM saved_row_items s WHERE expense_row_items.alter_id = s.alter_id"
             " AND expense_row_items.row_seq = s.row_seq AND expense_row_items.seq = s.seq"
             " AND (expense_row_items.class_id <> s.class_id"
             " OR expense_row_items.item_id <> s.item_id)"_s);
    set.exec(u"INSERT INTO expense_row_items (alter_id, row_seq, seq, class_id, item_id)"
             " SELECT s.alter_id, s.row_seq, s.seq, s.class_id, s.item_id FROM saved_row_items s"
             " WHERE NOT EXISTS (SELECT 1 FROM expense_row_items x WHERE x.alter_id = s.alter_id"
             " AND x.row_seq = s.row_seq AND x.seq = s.seq)"_s);

    set.exec(u"DROP TABLE saved_row_items"_s);
    set.exec(u"DROP TABLE saved_rows"_s);
}

// The changes of one save, in the order they are written: items go before the rows they name
// and are added after them.
struct RowChanges {
    QList<QVariantList> removedCards; // alter_id: every row and item
    QList<QVariantList> removedItems; // alter_id, row_seq, seq
    QList<QVariantList> removedRows;  // alter_id, seq
    QList<QVariantList> changedRows;  // dept_id, account_id, rate, alter_id, seq
    QList<QVariantList> addedRows;    // alter_id, seq, dept_id, account_id, rate
    QList<QVariantList> changedItems; // class_id, item_id, alter_id, row_seq, seq
    QList<QVariantList> addedItems;   // alter_id, row_seq, seq, class_id, item_id

    void compare(qint32 cardId, const QList<RowIds> &before, const QList<RowIds> &after);
};

void RowChanges::compare(qint32 cardId, const QList<RowIds> &before, const QList<RowIds> &after)
{
    for (qsizetype position = 1; position <= after.size(); ++position) {
        const RowIds &row = after.at(position - 1);
        const auto seq = static_cast<qint32>(position);
        const RowIds *stored = position <= before.size() ? &before.at(position - 1) : nullptr;
        if (!stored) {
            addedRows.append({cardId, seq, row.departmentId, row.accountId, row.rate});
        } else if (stored->departmentId != row.departmentId || stored->accountId != row.accountId ||
                   stored->rate != row.rate) {
            changedRows.append({row.departmentId, row.accountId, row.rate, cardId, seq});
        }
        const qsizetype storedCount = stored ? stored->items.size() : 0;
        for (qsizetype i = 1; i <= std::max(row.items.size(), storedCount); ++i) {
            const auto itemSeq = static_cast<qint32>(i);
            if (i > row.items.size()) {
                removedItems.append({cardId, seq, itemSeq});
                continue;
            }
            const auto [classId, itemId] = row.items.at(i - 1);
            if (i > storedCount)
                addedItems.append({cardId, seq, itemSeq, classId, itemId});
            else if (stored->items.at(i - 1) != row.items.at(i - 1))
                changedItems.append({classId, itemId, cardId, seq, itemSeq});
        }
    }
    for (qsizetype position = after.size() + 1; position <= before.size(); ++position) {
        const auto seq = static_cast<qint32>(position);
        for (qsizetype i = 1; i <= before.at(position - 1).items.size(); ++i)
            removedItems.append({cardId, seq, static_cast<qint32>(i)});
        removedRows.append({cardId, seq});
    }
}

void runEach(const AccountSet &set, const QString &sql, const QList<QVariantList> &rows)
{
    if (rows.isEmpty())
        return;
    RowStatement statement(set, sql);
    for (const QVariantList &row : rows)
        statement.run(row);
}

// In process the changes found in memory, each written by a statement prepared once.
void replaceRowByRow(const AccountSet &set, const StoredRows &stored, const QList<CardRows> &rows)
{
    RowChanges changes;
    QSet<qint32> saved;
    saved.reserve(rows.size());
    for (const CardRows &card : rows) {
        if (stored.renumbered.contains(card.cardId)) {
            changes.removedCards.append(QVariantList{card.cardId});
            changes.compare(card.cardId, {}, card.rows);
        } else {
            changes.compare(card.cardId, stored.cards.value(card.cardId), card.rows);
        }
        saved.insert(card.cardId);
    }
    for (auto card = stored.cards.cbegin(); card != stored.cards.cend(); ++card) {
        if (!saved.contains(card.key()))
            changes.removedCards.append(QVariantList{card.key()});
    }
    runEach(set, u"DELETE FROM expense_row_items WHERE alter_id = ?"_s, changes.removedCards);
    runEach(set, u"DELETE FROM expense_rows WHERE alter_id = ?"_s, changes.removedCards);
    runEach(set, u"DELETE FROM expense_row_items WHERE alter_id = ? AND row_seq = ? AND seq = ?"_s,
            changes.removedItems);
    runEach(set, u"DELETE FROM expense_rows WHERE alter_id = ? AND seq = ?"_s, changes.removedRows);
    runEach(set,
            u"UPDATE expense_rows SET dept_id = ?, account_id = ?, rate = ?"
            " WHERE alter_id = ? AND seq = ?"_s,
            changes.changedRows);
    runEach(set,
            u"INSERT INTO expense_rows (alter_id, seq, dept_id, account_id, rate)"
            " VALUES (?, ?, ?, ?, ?)"_s,
            changes.addedRows);
    runEach(set,
            u"UPDATE expense_row_items SET class_id = ?, item_id = ?"
            " WHERE alter_id = ? AND row_seq = ? AND seq = ?"_s,
            changes.changedItems);
    runEach(set,
            u"INSERT INTO expense_row_items (alter_id, row_seq, seq, class_id, item_id)"
            " VALUES (?, ?, ?, ?, ?)"_s,
            changes.addedItems);
}

} // namespace

void replaceExpenseRows(const AccountSet &set, const QList<qint32> &cards, const StoredRows &stored,
                        const QList<CardRows> &rows)
{
    if (set.driver().dialect().roundTripPerStatement())
        replaceSetBased(set, cards, rows);
    else
        replaceRowByRow(set, stored, rows);
}

} // namespace FixedAssets::CardWriter
