#include "services/CardReads.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "accountset/PreparedStatement.h"
#include "host/MMTS.h"
#include "records/RecordFields.h"

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;
using AllocFix::MMTS::LoadLangString;
using FixedAssets::CardRecordBuilders::departmentRecord;
using FixedAssets::CardRecordBuilders::expenseRowRecord;
using FixedAssets::CardRecordBuilders::itemRecord;
using FixedAssets::CardRecordBuilders::RowIds;
namespace Fields = AllocFix::Fields;

namespace FixedAssets::CardReads {

void requireCard(const AccountSet &set, qint32 cardId)
{
    if (!set.scalar(u"SELECT 1 FROM cards WHERE alter_id = ?"_s, {cardId}).isValid()) {
        throw AllocFix::Failure(AccountSetError::UnknownCard,
                                LoadLangString(u"账套中没有 FAlterID 为 %1 的卡片"_s).arg(cardId),
                                AccountSetError::Source);
    }
}

std::optional<QString> cardName(const AccountSet &set, qint32 cardId)
{
    QSqlQuery query =
        set.exec(u"SELECT asset_number, asset_name FROM cards WHERE alter_id = ?"_s, {cardId});
    if (!query.next())
        return std::nullopt;
    return query.value(0).toString() + u' ' + query.value(1).toString();
}

QString describeCard(const AccountSet &set, qint32 cardId)
{
    const std::optional<QString> name = cardName(set, cardId);
    return name ? u"%1 (FAlterID %2)"_s.arg(*name, QString::number(cardId))
                : u"FAlterID %1"_s.arg(cardId);
}

namespace {

QString departmentColumns()
{
    return u"d.dept_id, i.name, d.rate"_s;
}

QString expenseRowColumns()
{
    return u"r.seq, r.dept_id, r.account_id, a.number, a.name, r.rate,"
           " x.class_id, c.name, x.item_id, i.name"_s;
}

QString expenseRowItemJoins()
{
    return u" LEFT JOIN expense_row_items x ON x.alter_id = r.alter_id AND x.row_seq = r.seq"
           " LEFT JOIN item_classes c ON c.class_id = x.class_id"
           " LEFT JOIN items i ON i.item_id = x.item_id"_s;
}

template<typename Query>
void readDepartments(Query &query, QHash<qint32, RecordList> &cards)
{
    while (query.next()) {
        RecordList &list = cards[query.value(0).toInt()];
        if (!list)
            list = RecordList::create();
        list.append(departmentRecord(query.value(1).toInt(), query.value(2).toString(),
                                     query.value(3).toDouble()));
    }
}

template<typename Query>
void readExpenseRows(Query &query, QHash<qint32, RecordList> &cards)
{
    // A row with each of its items, or once with none.
    RecordList *rows = nullptr;
    RecordList items;
    qint32 cardId = 0;
    qint32 rowSeq = 0;
    while (query.next()) {
        const qint32 id = query.value(0).toInt();
        if (!rows || id != cardId) {
            rows = &cards[id];
            if (!*rows)
                *rows = RecordList::create();
            items = {};
            cardId = id;
        }
        const qint32 seq = query.value(1).toInt();
        if (!items || seq != rowSeq) {
            const FieldRecord row = expenseRowRecord(
                cardId, query.value(2).toInt(), query.value(3).toInt(), query.value(4).toString(),
                query.value(5).toString(), query.value(6).toDouble());
            items = row.value(Fields::Detail).toList();
            rows->append(row);
            rowSeq = seq;
        }
        if (query.value(7).isNull())
            continue;
        items.append(itemRecord(query.value(7).toInt(), query.value(8).toString(),
                                query.value(9).toInt(), query.value(10).toString()));
    }
}

template<typename Query>
void readReferences(Query &query, QHash<qint32, FieldRecord> &cards)
{
    while (query.next()) {
        FieldRecord record = FieldRecord::create();
        record.setValue(Fields::FDate, query.value(1).toString());
        record.setValue(Fields::FAssetName, query.value(2).toString());
        record.setValue(Fields::FAssetNumber, query.value(3).toString());
        cards.insert(query.value(0).toInt(), record);
    }
}

QString referenceColumns()
{
    return u"k.entry_date, k.asset_name, k.asset_number"_s;
}

// The cards of the manual queue from behind places before the card to ahead places after it,
// in queue order, with each card's alter_id first; a card outside the queue has none. Binds
// windowValues. The bounds are scalar subqueries so that the queue is read as a range of its key
// (as a join, SQLite reads the whole queue for every window).
QString queueWindow(const QString &columns, const QString &joins, const QString &order)
{
    return u"SELECT q.alter_id, %1 FROM manual_queue q JOIN cards k ON k.alter_id = q.alter_id%2"
           " WHERE q.seq BETWEEN (SELECT seq FROM manual_queue WHERE alter_id = ?) - ?"
           " AND (SELECT seq FROM manual_queue WHERE alter_id = ?) + ? ORDER BY q.seq%3"_s.arg(
               columns, joins, order);
}

QVariantList windowValues(qint32 cardId, const QueueWindow &window)
{
    return {cardId, window.behind, cardId, window.ahead};
}

} // namespace

RecordList departments(const AccountSet &set, qint32 cardId)
{
    PreparedStatement query(set, u"SELECT d.alter_id, "_s + departmentColumns() +
                                     u" FROM card_departments d"
                                     " JOIN items i ON i.item_id = d.dept_id"
                                     " WHERE d.alter_id = ? ORDER BY d.seq"_s);
    query.exec({cardId});
    QHash<qint32, RecordList> cards;
    readDepartments(query, cards);
    // Rows name their card, so only an empty answer leaves the card in question.
    if (!cards.contains(cardId)) {
        requireCard(set, cardId);
        return RecordList::create();
    }
    return cards.value(cardId);
}

RecordList expenseRows(const AccountSet &set, qint32 cardId)
{
    // One statement for the whole card.
    PreparedStatement query(set, u"SELECT r.alter_id, "_s + expenseRowColumns() +
                                     u" FROM expense_rows r"
                                     " JOIN accounts a ON a.account_id = r.account_id"_s +
                                     expenseRowItemJoins() +
                                     u" WHERE r.alter_id = ? ORDER BY r.seq, x.seq"_s);
    query.exec({cardId});
    QHash<qint32, RecordList> cards;
    readExpenseRows(query, cards);
    if (!cards.contains(cardId)) {
        requireCard(set, cardId);
        return RecordList::create();
    }
    return cards.value(cardId);
}

FieldRecord reference(const AccountSet &set, qint32 cardId)
{
    PreparedStatement query(set, u"SELECT k.alter_id, "_s + referenceColumns() +
                                     u" FROM cards k WHERE k.alter_id = ?"_s);
    query.exec({cardId});
    QHash<qint32, FieldRecord> cards;
    readReferences(query, cards);
    if (!cards.contains(cardId))
        requireCard(set, cardId); // raises
    return cards.value(cardId);
}

QHash<qint32, RecordList> queuedDepartments(const AccountSet &set, qint32 cardId,
                                            const QueueWindow &window)
{
    PreparedStatement query(set, queueWindow(departmentColumns(),
                                             u" JOIN card_departments d ON d.alter_id = q.alter_id"
                                             " JOIN items i ON i.item_id = d.dept_id"_s,
                                             u", d.seq"_s));
    query.exec(windowValues(cardId, window));
    QHash<qint32, RecordList> cards;
    readDepartments(query, cards);
    return cards;
}

QHash<qint32, RecordList> queuedExpenseRows(const AccountSet &set, qint32 cardId,
                                            const QueueWindow &window)
{
    PreparedStatement query(set, queueWindow(expenseRowColumns(),
                                             u" JOIN expense_rows r ON r.alter_id = q.alter_id"
                                             " JOIN accounts a ON a.account_id = r.account_id"_s +
                                                 expenseRowItemJoins(),
                                             u", r.seq, x.seq"_s));
    query.exec(windowValues(cardId, window));
    QHash<qint32, RecordList> cards;
    readExpenseRows(query, cards);
    return cards;
}

QHash<qint32, FieldRecord> queuedReferences(const AccountSet &set, qint32 cardId,
                                            const QueueWindow &window)
{
    PreparedStatement query(set, queueWindow(referenceColumns(), {}, {}));
    query.exec(windowValues(cardId, window));
    QHash<qint32, FieldRecord> cards;
    readReferences(query, cards);
    return cards;
}

QHash<qint32, AllocFix::CardCopyKey> copyKeys(const AccountSet &set, const QList<qint32> &cards)
{
    // The same joins as GetDept and GetExpense, so that the keys name what they would answer.
    const SqlDialect &dialect = set.driver().dialect();
    const QVariant ids = dialect.idList(cards);
    QHash<qint32, AllocFix::CardCopyKey> keys;
    keys.reserve(cards.size());
    PreparedStatement departments(set, u"SELECT k.alter_id, i.item_id FROM cards k"
                                       " LEFT JOIN card_departments d ON d.alter_id = k.alter_id"
                                       " LEFT JOIN items i ON i.item_id = d.dept_id WHERE "_s +
                                           dialect.oneOfIds(u"k.alter_id"_s));
    departments.exec({ids});
    while (departments.next()) {
        AllocFix::CardCopyKey &key = keys[departments.value(0).toInt()];
        if (!departments.value(1).isNull())
            key.departments.append(departments.value(1).toInt());
    }
    PreparedStatement legacy(set, u"SELECT r.alter_id, r.account_id FROM expense_rows r"
                                  " JOIN accounts a ON a.account_id = r.account_id"
                                  " WHERE r.dept_id = 0 AND "_s +
                                      dialect.oneOfIds(u"r.alter_id"_s));
    legacy.exec({ids});
    while (legacy.next()) {
        const auto key = keys.find(legacy.value(0).toInt());
        if (key != keys.end())
            key->legacyAccounts.append(legacy.value(1).toInt());
    }
    return keys;
}

StoredRows storedRows(const AccountSet &set, const QList<qint32> &cards)
{
    const SqlDialect &dialect = set.driver().dialect();
    PreparedStatement query(
        set, u"SELECT r.alter_id, r.seq, r.dept_id, r.account_id, r.rate, x.class_id,"
             " x.item_id, x.seq FROM expense_rows r"
             " LEFT JOIN expense_row_items x ON x.alter_id = r.alter_id AND x.row_seq = r.seq"
             " WHERE "_s +
                 dialect.oneOfIds(u"r.alter_id"_s) + u" ORDER BY r.alter_id, r.seq, x.seq"_s);
    query.exec({dialect.idList(cards)});
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

} // namespace FixedAssets::CardReads
