#include "services/Adjustment.h"

#include "accountset/AccountSet.h"
#include "contracts/ItemService.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "services/AuditLog.h"
#include "services/CardWriter.h"
#include "services/RowsJson.h"

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;
namespace Fields = AllocFix::Fields;

namespace FixedAssets::Adjustment {

namespace {

// One row per card the adjustment concerns: its ID, and 1 when the service adjusts it by itself
// (its one expense row is a legacy row). Only the cards with legacy rows are read, through the
// legacy rows' own index; their rows and departments are counted by their keys. So a set that
// is mostly adjusted costs what is left in it, not every row it holds. The check counts it,
// findCards lists it, the adjustment acts on it: one rule for all three.
const QString CardsToAdjustQuery =
    u"SELECT r.alter_id, CASE WHEN r.legacy = 1 AND"
    " (SELECT count(*) FROM expense_rows t WHERE t.alter_id = r.alter_id) = 1"
    " THEN 1 ELSE 0 END AS automatic"
    " FROM (SELECT alter_id, count(*) AS legacy FROM expense_rows WHERE dept_id = 0"
    " GROUP BY alter_id) r"
    " WHERE (SELECT count(*) FROM card_departments d WHERE d.alter_id = r.alter_id) >= 2"_s;

// An adjusted card's legacy row, as read before the adjustment.
struct LegacyRow {
    qint32 cardId = 0;
    qint32 accountId = 0;
    double rate = 0.0;
    QList<std::pair<qint32, qint32>> items; // class, item
};

// Adjusted cards per pass of the audit log: what a pass reads and builds is held at once, so
// that a million cards cost what a few thousand do.
constexpr qsizetype CardsPerAuditPass = 5000;

// The legacy rows of the cards in (after, last], in card order.
QList<LegacyRow> legacyRows(const AccountSet &set, qint32 after, qint32 last)
{
    QList<LegacyRow> legacy;
    QSqlQuery rows = set.exec(u"SELECT l.alter_id, l.account_id, l.rate, x.class_id, x.item_id"
                              " FROM legacy_rows l LEFT JOIN legacy_items x"
                              " ON x.alter_id = l.alter_id WHERE l.alter_id > ? AND l.alter_id <= ?"
                              " ORDER BY l.alter_id, x.seq"_s,
                              {after, last});
    while (rows.next()) {
        const qint32 cardId = rows.value(0).toInt();
        if (legacy.isEmpty() || legacy.constLast().cardId != cardId)
            legacy.append({cardId, rows.value(1).toInt(), rows.value(2).toDouble(), {}});
        if (!rows.value(3).isNull())
            legacy.last().items.append({rows.value(3).toInt(), rows.value(4).toInt()});
    }
    return legacy;
}

// Logs each adjusted card's rows before and after, a pass of cards at a time, as the log goes.
// The rows after are those the adjustment's statements write, told from the legacy row and the
// card's departments rather than read back: a fraction of the rows to read.
void logAdjustedCards(const AccountSet &set)
{
    AuditLogWriter log(set);
    RowsJson json;
    const auto addRow = [&json](const LegacyRow &row, qint32 departmentId, double rate) {
        json.addRow(departmentId, row.accountId, rate);
        for (const auto &[classId, itemId] : row.items) {
            json.addItem(classId, departmentId != 0 && classId == AllocFix::DepartmentItemClass
                                      ? departmentId
                                      : itemId);
        }
    };
    qint32 after = 0;
    for (;;) {
        const QVariant last = set.scalar(u"SELECT max(alter_id) FROM (SELECT alter_id"
                                         " FROM legacy_rows WHERE alter_id > ?"
                                         " ORDER BY alter_id LIMIT ?) pass"_s,
                                         {after, CardsPerAuditPass});
        if (last.isNull())
            break;
        const QList<LegacyRow> legacy = legacyRows(set, after, last.toInt());
        QSqlQuery departments =
            set.exec(u"SELECT d.alter_id, d.dept_id FROM card_departments d"
                     " JOIN legacy_rows l ON l.alter_id = d.alter_id"
                     " WHERE l.alter_id > ? AND l.alter_id <= ? ORDER BY d.alter_id, d.seq"_s,
                     {after, last});
        QList<AuditEntry> pass;
        pass.reserve(legacy.size());
        qsizetype card = -1;
        while (departments.next()) {
            const qint32 cardId = departments.value(0).toInt();
            if (card < 0 || legacy.at(card).cardId != cardId) {
                if (card >= 0)
                    pass.last().rowsAfter = json.take();
                ++card;
                Q_ASSERT(legacy.at(card).cardId == cardId);
                addRow(legacy.at(card), 0, legacy.at(card).rate);
                pass.append({cardId, json.take(), {}});
            }
            addRow(legacy.at(card), departments.value(1).toInt(), 1.0);
        }
        if (card >= 0)
            pass.last().rowsAfter = json.take();
        // Appended once the pass's reads are done: on PostgreSQL a batch of the log holds the
        // connection while it is written.
        for (const AuditEntry &entry : std::as_const(pass))
            log.append(entry);
        after = last.toInt();
    }
    log.finish();
}

// The cards of cards_to_adjust that the service adjusts by itself, in SQL: replaces each one's
// legacy row by a row per department, and logs each card's rows before and after.
void adjustAutomaticCards(const AccountSet &set)
{
    // The legacy rows and their items, kept while the cards' rows are replaced.
    set.exec(u"CREATE TEMP TABLE legacy_rows (alter_id INTEGER PRIMARY KEY, seq INTEGER NOT NULL,"
             " account_id INTEGER NOT NULL, rate DOUBLE PRECISION NOT NULL)"_s);
    set.exec(u"INSERT INTO legacy_rows (alter_id, seq, account_id, rate)"
             " SELECT r.alter_id, r.seq, r.account_id, r.rate FROM expense_rows r"
             " JOIN cards_to_adjust k ON k.alter_id = r.alter_id WHERE k.automatic = 1"_s);
    set.exec(
        u"CREATE TEMP TABLE legacy_items (alter_id INTEGER NOT NULL, seq INTEGER NOT NULL,"
        " class_id INTEGER NOT NULL, item_id INTEGER NOT NULL, PRIMARY KEY (alter_id, seq))"_s);
    set.exec(u"INSERT INTO legacy_items (alter_id, seq, class_id, item_id)"
             " SELECT x.alter_id, x.seq, x.class_id, x.item_id FROM expense_row_items x"
             " JOIN legacy_rows l ON l.alter_id = x.alter_id AND l.seq = x.row_seq"_s);
    logAdjustedCards(set);

    // The department's place among the card's departments is the row's.
    set.exec(u"CREATE TEMP TABLE adjusted_rows (alter_id INTEGER NOT NULL, seq INTEGER NOT NULL,"
             " dept_id INTEGER NOT NULL, account_id INTEGER NOT NULL,"
             " in_place INTEGER NOT NULL, PRIMARY KEY (alter_id, seq))"_s);
    set.exec(u"INSERT INTO adjusted_rows (alter_id, seq, dept_id, account_id, in_place)"
             " SELECT d.alter_id, row_number() OVER (PARTITION BY d.alter_id ORDER BY d.seq),"
             " d.dept_id, l.account_id, CASE WHEN l.seq = 1 THEN 1 ELSE 0 END"
             " FROM legacy_rows l JOIN card_departments d ON d.alter_id = l.alter_id"_s);
    // A legacy row at place 1 becomes the first department's row where it is, items and all:
    // far cheaper than a delete and an insert, which index and check every key anew (on
    // PostgreSQL the write's largest part). One at another place makes way for the new rows.
    CardWriter::deleteExpenseRows(set, u"SELECT alter_id FROM legacy_rows WHERE seq <> 1"_s);
    set.exec(u"UPDATE expense_rows SET dept_id = a.dept_id, rate = 1.0 FROM adjusted_rows a"
             " WHERE a.in_place = 1 AND a.seq = 1 AND expense_rows.alter_id = a.alter_id"
             " AND expense_rows.seq = 1"_s);
    set.exec(u"UPDATE expense_row_items SET item_id = a.dept_id FROM adjusted_rows a"
             " WHERE a.in_place = 1 AND a.seq = 1 AND expense_row_items.alter_id = a.alter_id"
             " AND expense_row_items.row_seq = 1 AND expense_row_items.class_id = ?"
             " AND expense_row_items.item_id <> a.dept_id"_s,
             {AllocFix::DepartmentItemClass});
    set.exec(u"INSERT INTO expense_rows (alter_id, seq, dept_id, account_id, rate)"
             " SELECT alter_id, seq, dept_id, account_id, 1.0 FROM adjusted_rows"
             " WHERE in_place = 0 OR seq > 1"_s);
    set.exec(u"INSERT INTO expense_row_items (alter_id, row_seq, seq, class_id, item_id)"
             " SELECT a.alter_id, a.seq, x.seq, x.class_id,"
             " CASE WHEN x.class_id = ? THEN a.dept_id ELSE x.item_id END"
             " FROM legacy_items x JOIN adjusted_rows a ON a.alter_id = x.alter_id"
             " WHERE a.in_place = 0 OR a.seq > 1"_s,
             {AllocFix::DepartmentItemClass});

    set.exec(u"DROP TABLE adjusted_rows"_s);
    set.exec(u"DROP TABLE legacy_items"_s);
    set.exec(u"DROP TABLE legacy_rows"_s);
}

// The cards of cards_to_adjust that need a person become the manual queue, in asset-number
// order.
void queueManualCards(const AccountSet &set)
{
    set.exec(u"DELETE FROM manual_queue"_s);
    set.exec(u"INSERT INTO manual_queue (seq, alter_id)"
             " SELECT row_number() OVER (ORDER BY c.asset_number, c.alter_id), c.alter_id"
             " FROM cards_to_adjust k JOIN cards c ON c.alter_id = k.alter_id"
             " WHERE k.automatic = 0"_s);
}

} // namespace

CardsToAdjust findCards(const AccountSet &set)
{
    QSqlQuery query = set.exec(u"SELECT k.alter_id, k.automatic FROM ("_s + CardsToAdjustQuery +
                               u") k JOIN cards c ON c.alter_id = k.alter_id"
                               " ORDER BY c.asset_number, c.alter_id"_s);
    CardsToAdjust cards;
    while (query.next())
        (query.value(1).toInt() != 0 ? cards.automatic : cards.manual)
            .append(query.value(0).toInt());
    return cards;
}

CardCounts countCards(const AccountSet &set)
{
    QSqlQuery query =
        set.exec(u"SELECT count(*), count(*) - coalesce(sum(k.automatic), 0) FROM ("_s +
                 CardsToAdjustQuery + u") k"_s);
    if (!query.next())
        return {};
    return {query.value(0).toInt(), query.value(1).toInt()};
}

qsizetype run(const AccountSet &set)
{
    // Scratch tables live in the caller's transaction: a failure's rollback takes them too.
    set.exec(u"CREATE TEMP TABLE cards_to_adjust (alter_id INTEGER PRIMARY KEY,"
             " automatic INTEGER NOT NULL)"_s);
    set.exec(u"INSERT INTO cards_to_adjust (alter_id, automatic) "_s + CardsToAdjustQuery);
    // With none left (a second visit to the manual page), the statements below would still scan
    // every expense row and department to find nothing.
    if (set.scalar(u"SELECT EXISTS (SELECT 1 FROM cards_to_adjust WHERE automatic = 1)"_s).toBool())
        adjustAutomaticCards(set);
    queueManualCards(set);
    set.exec(u"DROP TABLE cards_to_adjust"_s);
    return set.scalar(u"SELECT count(*) FROM manual_queue"_s).toLongLong();
}

RecordList queuedCards(const AccountSet &set)
{
    static const QStringList CardFields{Fields::FAlterID};
    RecordList manual = RecordList::create();
    QSqlQuery query = set.exec(u"SELECT alter_id FROM manual_queue ORDER BY seq"_s);
    while (query.next()) {
        FieldRecord card = FieldRecord::create(CardFields);
        card.setValue(Fields::FAlterID, query.value(0).toInt());
        manual.append(card);
    }
    return manual;
}

void forEachQueuedCard(const AccountSet &set, const std::function<void(const QueuedCard &)> &use)
{
    constexpr int CardsPerPage = 1000;
    QList<QueuedCard> page;
    qint32 after = 0;
    do {
        // Read whole before use: on PostgreSQL the connection then serves use's own questions.
        page.clear();
        QSqlQuery query = set.exec(u"SELECT q.seq, q.alter_id, c.asset_number, c.asset_name"
                                   " FROM manual_queue q JOIN cards c ON c.alter_id = q.alter_id"
                                   " WHERE q.seq > ? ORDER BY q.seq LIMIT ?"_s,
                                   {after, CardsPerPage});
        while (query.next()) {
            page.append({query.value(0).toInt(), query.value(1).toInt(), query.value(2).toString(),
                         query.value(3).toString()});
        }
        for (const QueuedCard &card : std::as_const(page))
            use(card);
        if (!page.isEmpty())
            after = page.constLast().position;
    } while (page.size() == CardsPerPage);
}

} // namespace FixedAssets::Adjustment
