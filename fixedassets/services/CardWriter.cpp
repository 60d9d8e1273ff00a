#include "services/CardWriter.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "accountset/BulkInsert.h"
#include "accountset/PreparedStatement.h"
#include "host/MMTS.h"
#include "records/RecordFields.h"

#include <QLocale>
#include <QSet>

#include <algorithm>
#include <array>
#include <utility>

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;
using AllocFix::MMTS::LoadLangString;
namespace Fields = AllocFix::Fields;

namespace FixedAssets::CardRecords {

namespace {

// The names of the records made here, in the order the component sees them; every record of a
// kind shares its list.
const QStringList &departmentFields()
{
    static const QStringList names{Fields::FItemID, Fields::FItemName, Fields::FRate};
    return names;
}

const QStringList &rowFields()
{
    static const QStringList names{Fields::FAlterID,    Fields::FDeptID,   Fields::FAcctID,
                                   Fields::FAcctNumber, Fields::FAcctName, Fields::Detail,
                                   Fields::FRate};
    return names;
}

const QStringList &itemFields()
{
    static const QStringList names{Fields::FItemClassID, Fields::FItemClassName, Fields::FItemID,
                                   Fields::FItemName};
    return names;
}

// Appends the decimal digits without a string of their own: an audit log of many cards appends
// millions of them.
void appendNumber(QString &text, qint32 value)
{
    std::array<char16_t, 12> digits{};
    auto *first = digits.end();
    qint64 rest = value;
    const bool negative = rest < 0;
    if (negative)
        rest = -rest;
    do {
        *--first = static_cast<char16_t>(u'0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (negative)
        *--first = u'-';
    text.append(QStringView(first, digits.end()));
}

// Account, class and item names recur in thousands of loaded rows: each text is held once and
// shared. Only equal texts are shared, so a name changed in the account set is read as it is
// now; the pool starts afresh when it grows large.
QString sharedText(const QString &text)
{
    constexpr qsizetype MostTexts = 50000;
    thread_local QSet<QString> pool;
    const auto found = pool.constFind(text);
    if (found != pool.cend())
        return *found;
    if (pool.size() >= MostTexts)
        pool.clear();
    pool.insert(text);
    return text;
}

} // namespace

FieldRecord departmentRecord(qint32 departmentId, const QString &name, double rate)
{
    FieldRecord record = FieldRecord::create(departmentFields());
    record.setValue(Fields::FItemID, departmentId);
    record.setValue(Fields::FItemName, sharedText(name));
    record.setValue(Fields::FRate, rate);
    return record;
}

FieldRecord expenseRowRecord(qint32 cardId, qint32 departmentId, qint32 accountId,
                             const QString &accountNumber, const QString &accountName, double rate)
{
    FieldRecord row = FieldRecord::create(rowFields());
    row.setValue(Fields::FAlterID, cardId);
    row.setValue(Fields::FDeptID, departmentId);
    row.setValue(Fields::FAcctID, accountId);
    row.setValue(Fields::FAcctNumber, sharedText(accountNumber));
    row.setValue(Fields::FAcctName, sharedText(accountName));
    row.setValue(Fields::Detail, RecordList::create());
    row.setValue(Fields::FRate, rate);
    return row;
}

FieldRecord itemRecord(qint32 classId, const QString &className, qint32 itemId,
                       const QString &itemName)
{
    FieldRecord item = FieldRecord::create(itemFields());
    item.setValue(Fields::FItemClassID, classId);
    item.setValue(Fields::FItemClassName, sharedText(className));
    item.setValue(Fields::FItemID, itemId);
    item.setValue(Fields::FItemName, sharedText(itemName));
    return item;
}

void requireCard(const AccountSet &set, qint32 cardId)
{
    if (!set.scalar(u"SELECT 1 FROM cards WHERE alter_id = ?"_s, {cardId}).isValid()) {
        throw AllocFix::Failure(AccountSetError::UnknownCard,
                                LoadLangString(u"账套中没有 FAlterID 为 %1 的卡片"_s).arg(cardId),
                                AccountSetError::Source);
    }
}

QString describeCard(const AccountSet &set, qint32 cardId)
{
    QSqlQuery query =
        set.exec(u"SELECT asset_number, asset_name FROM cards WHERE alter_id = ?"_s, {cardId});
    if (!query.next())
        return u"FAlterID %1"_s.arg(cardId);
    return u"%1 %2 (FAlterID %3)"_s.arg(query.value(0).toString(), query.value(1).toString(),
                                        QString::number(cardId));
}

RecordList departments(const AccountSet &set, qint32 cardId)
{
    PreparedStatement query(set, u"SELECT d.dept_id, i.name, d.rate FROM card_departments d"
                                 " JOIN items i ON i.item_id = d.dept_id"
                                 " WHERE d.alter_id = ? ORDER BY d.seq"_s);
    query.exec({cardId});
    RecordList list = RecordList::create();
    while (query.next()) {
        list.append(departmentRecord(query.value(0).toInt(), query.value(1).toString(),
                                     query.value(2).toDouble()));
    }
    // Rows name their card, so only an empty answer leaves the card in question.
    if (list.count() == 0)
        requireCard(set, cardId);
    return list;
}

RecordList expenseRows(const AccountSet &set, qint32 cardId)
{
    // A row with each of its items, or once with none: one statement for the whole card.
    PreparedStatement query(
        set, u"SELECT r.seq, r.dept_id, r.account_id, a.number, a.name, r.rate,"
             " x.class_id, c.name, x.item_id, i.name"
             " FROM expense_rows r JOIN accounts a ON a.account_id = r.account_id"
             " LEFT JOIN expense_row_items x ON x.alter_id = r.alter_id AND x.row_seq = r.seq"
             " LEFT JOIN item_classes c ON c.class_id = x.class_id"
             " LEFT JOIN items i ON i.item_id = x.item_id"
             " WHERE r.alter_id = ? ORDER BY r.seq, x.seq"_s);
    query.exec({cardId});
    RecordList rows = RecordList::create();
    RecordList items;
    qint32 rowSeq = 0;
    while (query.next()) {
        const qint32 seq = query.value(0).toInt();
        if (!items || seq != rowSeq) {
            const FieldRecord row = expenseRowRecord(
                cardId, query.value(1).toInt(), query.value(2).toInt(), query.value(3).toString(),
                query.value(4).toString(), query.value(5).toDouble());
            items = row.value(Fields::Detail).toList();
            rows.append(row);
            rowSeq = seq;
        }
        if (query.value(6).isNull())
            continue;
        items.append(itemRecord(query.value(6).toInt(), query.value(7).toString(),
                                query.value(8).toInt(), query.value(9).toString()));
    }
    if (rows.count() == 0)
        requireCard(set, cardId);
    return rows;
}

void deleteExpenseRows(const AccountSet &set, const QString &cards)
{
    set.exec(u"DELETE FROM expense_row_items WHERE alter_id IN (%1)"_s.arg(cards));
    set.exec(u"DELETE FROM expense_rows WHERE alter_id IN (%1)"_s.arg(cards));
}

StoredRows storedRows(const AccountSet &set, const QString &cards)
{
    QSqlQuery query =
        set.exec(u"SELECT r.alter_id, r.seq, r.dept_id, r.account_id, r.rate, x.class_id,"
                 " x.item_id, x.seq FROM expense_rows r"
                 " LEFT JOIN expense_row_items x ON x.alter_id = r.alter_id AND x.row_seq = r.seq"
                 " WHERE r.alter_id IN (%1) ORDER BY r.alter_id, r.seq, x.seq"_s.arg(cards));
    // x.seq tells the places of the items; rows are told by r.seq.
    StoredRows stored;
    QList<RowIds> *card = nullptr;
    qint32 cardId = 0;
    qint32 rowSeq = 0;
    while (query.next()) {
        const qint32 id = query.value(0).toInt();
        const qint32 seq = query.value(1).toInt();
        if (!card || id != cardId || seq != rowSeq) {
            if (!card || id != cardId)
                card = &stored.cards[id];
            card->append(
                {query.value(2).toInt(), query.value(3).toInt(), query.value(4).toDouble(), {}});
            cardId = id;
            rowSeq = seq;
            if (seq != card->size())
                stored.renumbered.insert(id);
        }
        if (query.value(5).isNull())
            continue;
        QList<std::pair<qint32, qint32>> &items = card->last().items;
        items.append({query.value(5).toInt(), query.value(6).toInt()});
        if (query.value(7).toInt() != items.size())
            stored.renumbered.insert(id);
    }
    return stored;
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

// PostgreSQL: a statement per row would be a round trip each. The new rows go to scratch tables
// first, so that the account set's tables see set-based statements that touch only the places
// that differ.
void replaceSetBased(const AccountSet &set, const QString &cards, const QList<CardRows> &rows)
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
    set.exec(u"DELETE FROM expense_row_items WHERE alter_id IN (%1) AND NOT EXISTS (SELECT 1"
             " FROM saved_row_items s WHERE s.alter_id = expense_row_items.alter_id"
             " AND s.row_seq = expense_row_items.row_seq AND s.seq = expense_row_items.seq)"_s.arg(
                 cards));
    set.exec(u"DELETE FROM expense_rows WHERE alter_id IN (%1) AND NOT EXISTS (SELECT 1"
             " FROM saved_rows s WHERE s.alter_id = expense_rows.alter_id"
             " AND s.seq = expense_rows.seq)"_s.arg(cards));
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

// SQLite: the changes found in memory, each written by a statement prepared once.
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

void replaceExpenseRows(const AccountSet &set, const QString &cards, const StoredRows &stored,
                        const QList<CardRows> &rows)
{
    if (set.driver().kind() == AccountSetLocation::Kind::SQLite)
        replaceRowByRow(set, stored, rows);
    else
        replaceSetBased(set, cards, rows);
}

QList<RowIds> rowIds(const RecordList &rows)
{
    QList<RowIds> ids;
    const qsizetype count = rows ? rows.count() : 0;
    ids.reserve(count);
    for (qsizetype position = 1; position <= count; ++position) {
        const FieldRecord row = rows.at(position);
        RowIds converted{row.value(Fields::FDeptID).toInt(),
                         row.value(Fields::FAcctID).toInt(),
                         row.value(Fields::FRate).toDouble(),
                         {}};
        const RecordList items = row.value(Fields::Detail).toList();
        for (qsizetype i = 1; items && i <= items.count(); ++i) {
            const FieldRecord item = items.at(i);
            converted.items.append(
                {item.value(Fields::FItemClassID).toInt(), item.value(Fields::FItemID).toInt()});
        }
        ids.append(std::move(converted));
    }
    return ids;
}

QString toJson(const RecordList &rows)
{
    return toJson(rowIds(rows));
}

QString toJson(const QList<RowIds> &rows)
{
    RowsJson json;
    for (const RowIds &row : rows) {
        json.addRow(row.departmentId, row.accountId, row.rate);
        for (const auto &[classId, itemId] : row.items)
            json.addItem(classId, itemId);
    }
    return json.take();
}

void RowsJson::addRow(qint32 departmentId, qint32 accountId, double rate)
{
    endRow();
    if (m_text.isEmpty()) {
        m_text.reserve(256);
        m_text += u"[{\"account\":"_s;
    } else {
        m_text += u",{\"account\":"_s;
    }
    appendNumber(m_text, accountId);
    m_text += u",\"dept\":"_s;
    appendNumber(m_text, departmentId);
    m_text += u",\"items\":["_s;
    m_rate = rate;
    m_inRow = true;
    m_firstItem = true;
}

void RowsJson::addItem(qint32 classId, qint32 itemId)
{
    if (!m_firstItem)
        m_text += u',';
    m_text += u'[';
    appendNumber(m_text, classId);
    m_text += u',';
    appendNumber(m_text, itemId);
    m_text += u']';
    m_firstItem = false;
}

void RowsJson::endRow()
{
    if (!m_inRow)
        return;
    // JSON's own form of a number: the shortest text that reads back as the same double ("1"
    // for the rate of most rows).
    m_text += u"],\"rate\":"_s;
    if (m_rate == 1.0)
        m_text += u'1';
    else
        m_text += QString::number(m_rate, 'g', QLocale::FloatingPointShortest);
    m_text += u'}';
    m_inRow = false;
}

QString RowsJson::take()
{
    endRow();
    if (m_text.isEmpty())
        return u"[]"_s;
    m_text += u']';
    return std::exchange(m_text, QString());
}

} // namespace FixedAssets::CardRecords
