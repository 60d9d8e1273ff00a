#include "services/CardRecords.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "accountset/BulkInsert.h"
#include "accountset/PreparedStatement.h"
#include "records/RecordFields.h"

#include <QLocale>
#include <QSet>

#include <array>
#include <utility>

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;
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

void requireCard(const AccountSet &set, qint32 cardId)
{
    if (!set.scalar(u"SELECT 1 FROM cards WHERE alter_id = ?"_s, {cardId}).isValid()) {
        throw AllocFix::Failure(AccountSetError::UnknownCard,
                                u"The account set has no card with FAlterID %1"_s.arg(cardId),
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
        FieldRecord record = FieldRecord::create(departmentFields());
        record.setValue(Fields::FItemID, query.value(0).toInt());
        record.setValue(Fields::FItemName, sharedText(query.value(1).toString()));
        record.setValue(Fields::FRate, query.value(2).toDouble());
        list.append(record);
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
            FieldRecord row = FieldRecord::create(rowFields());
            items = RecordList::create();
            row.setValue(Fields::FAlterID, cardId);
            row.setValue(Fields::FDeptID, query.value(1).toInt());
            row.setValue(Fields::FAcctID, query.value(2).toInt());
            row.setValue(Fields::FAcctNumber, sharedText(query.value(3).toString()));
            row.setValue(Fields::FAcctName, sharedText(query.value(4).toString()));
            row.setValue(Fields::Detail, items);
            row.setValue(Fields::FRate, query.value(5).toDouble());
            rows.append(row);
            rowSeq = seq;
        }
        if (query.value(6).isNull())
            continue;
        FieldRecord item = FieldRecord::create(itemFields());
        item.setValue(Fields::FItemClassID, query.value(6).toInt());
        item.setValue(Fields::FItemClassName, sharedText(query.value(7).toString()));
        item.setValue(Fields::FItemID, query.value(8).toInt());
        item.setValue(Fields::FItemName, sharedText(query.value(9).toString()));
        items.append(item);
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

QHash<qint32, QString> rowsJson(const AccountSet &set, const QString &cards)
{
    QSqlQuery query =
        set.exec(u"SELECT r.alter_id, r.seq, r.dept_id, r.account_id, r.rate, x.class_id, x.item_id"
                 " FROM expense_rows r"
                 " LEFT JOIN expense_row_items x ON x.alter_id = r.alter_id AND x.row_seq = r.seq"
                 " WHERE r.alter_id IN (%1) ORDER BY r.alter_id, r.seq, x.seq"_s.arg(cards));
    QHash<qint32, QString> texts;
    RowsJson json;
    qint32 cardId = 0;
    qint32 rowSeq = 0;
    bool first = true;
    while (query.next()) {
        const qint32 card = query.value(0).toInt();
        const qint32 seq = query.value(1).toInt();
        if (first || card != cardId || seq != rowSeq) {
            if (!first && card != cardId)
                texts.insert(cardId, json.take());
            json.addRow(query.value(2).toInt(), query.value(3).toInt(), query.value(4).toDouble());
            cardId = card;
            rowSeq = seq;
            first = false;
        }
        if (!query.value(5).isNull())
            json.addItem(query.value(5).toInt(), query.value(6).toInt());
    }
    if (!first)
        texts.insert(cardId, json.take());
    return texts;
}

void insertExpenseRows(const AccountSet &set, const QList<CardRows> &cards)
{
    // Rows before items: each item names its row. (A bulk insert on PostgreSQL holds the
    // connection until it is finished.)
    BulkInsert rowInserts(set, u"expense_rows"_s,
                          {u"alter_id"_s, u"seq"_s, u"dept_id"_s, u"account_id"_s, u"rate"_s});
    for (const CardRows &card : cards) {
        for (qsizetype position = 1; position <= card.rows.count(); ++position) {
            const FieldRecord row = card.rows.at(position);
            rowInserts.add({card.cardId, static_cast<qint32>(position),
                            row.value(Fields::FDeptID).toInt(), row.value(Fields::FAcctID).toInt(),
                            row.value(Fields::FRate).toDouble()});
        }
    }
    rowInserts.finish();
    BulkInsert itemInserts(set, u"expense_row_items"_s,
                           {u"alter_id"_s, u"row_seq"_s, u"seq"_s, u"class_id"_s, u"item_id"_s});
    for (const CardRows &card : cards) {
        for (qsizetype position = 1; position <= card.rows.count(); ++position) {
            const RecordList items = card.rows.at(position).value(Fields::Detail).toList();
            for (qsizetype i = 1; items && i <= items.count(); ++i) {
                const FieldRecord item = items.at(i);
                itemInserts.add({card.cardId, static_cast<qint32>(position), static_cast<qint32>(i),
                                 item.value(Fields::FItemClassID).toInt(),
                                 item.value(Fields::FItemID).toInt()});
            }
        }
    }
    itemInserts.finish();
}

QString toJson(const RecordList &rows)
{
    RowsJson json;
    for (qsizetype position = 1; position <= rows.count(); ++position) {
        const FieldRecord row = rows.at(position);
        json.addRow(row.value(Fields::FDeptID).toInt(), row.value(Fields::FAcctID).toInt(),
                    row.value(Fields::FRate).toDouble());
        const RecordList items = row.value(Fields::Detail).toList();
        for (qsizetype i = 1; items && i <= items.count(); ++i) {
            json.addItem(items.at(i).value(Fields::FItemClassID).toInt(),
                         items.at(i).value(Fields::FItemID).toInt());
        }
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
