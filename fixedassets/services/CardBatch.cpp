#include "services/CardBatch.h"

#include "accountset/AccountSet.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"
#include "services/CardRecordBuilders.h"

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;
namespace Fields = AllocFix::Fields;

namespace FixedAssets::CardBatch {

namespace {

// Few enough values for any database's limit on a statement's parameters.
constexpr qsizetype CardsPerQuery = 500;

QSqlQuery queryFor(const AccountSet &set, const QString &sql, const QList<qint32> &cardIds)
{
    QStringList marks(cardIds.size(), u"?"_s);
    QVariantList values;
    values.reserve(cardIds.size());
    for (const qint32 cardId : cardIds)
        values.append(cardId);
    return set.exec(QString(sql).replace(u"(?)"_s, u'(' + marks.join(u',') + u')'), values);
}

void readSome(const AccountSet &set, const QList<qint32> &cardIds, QHash<qint32, Card> &cards)
{
    QSqlQuery card = queryFor(
        set, u"SELECT alter_id, asset_number, asset_name FROM cards WHERE alter_id IN (?)"_s,
        cardIds);
    while (card.next()) {
        cards.insert(card.value(0).toInt(), {card.value(1).toString(), card.value(2).toString(),
                                             RecordList::create(), RecordList::create()});
    }

    QSqlQuery department = queryFor(set,
                                    u"SELECT d.alter_id, d.dept_id, i.name, d.rate"
                                    " FROM card_departments d JOIN items i ON i.item_id = d.dept_id"
                                    " WHERE d.alter_id IN (?) ORDER BY d.alter_id, d.seq"_s,
                                    cardIds);
    while (department.next()) {
        if (const auto card = cards.find(department.value(0).toInt()); card != cards.end()) {
            card->departments.append(CardRecordBuilders::departmentRecord(
                department.value(1).toInt(), department.value(2).toString(),
                department.value(3).toDouble()));
        }
    }

    // Rows by card and sequence number, for their items.
    QHash<std::pair<qint32, qint32>, FieldRecord> rows;
    QSqlQuery row = queryFor(set,
                             u"SELECT r.alter_id, r.seq, r.dept_id, r.account_id, a.number, a.name,"
                             " r.rate FROM expense_rows r JOIN accounts a"
                             " ON a.account_id = r.account_id"
                             " WHERE r.alter_id IN (?) ORDER BY r.alter_id, r.seq"_s,
                             cardIds);
    while (row.next()) {
        const qint32 cardId = row.value(0).toInt();
        const FieldRecord record = CardRecordBuilders::expenseRowRecord(
            cardId, row.value(2).toInt(), row.value(3).toInt(), row.value(4).toString(),
            row.value(5).toString(), row.value(6).toDouble());
        if (const auto card = cards.find(cardId); card != cards.end()) {
            card->rows.append(record);
            rows.insert({cardId, row.value(1).toInt()}, record);
        }
    }

    QSqlQuery item = queryFor(set,
                              u"SELECT x.alter_id, x.row_seq, x.class_id, c.name, x.item_id, i.name"
                              " FROM expense_row_items x"
                              " JOIN item_classes c ON c.class_id = x.class_id"
                              " JOIN items i ON i.item_id = x.item_id"
                              " WHERE x.alter_id IN (?) ORDER BY x.alter_id, x.row_seq, x.seq"_s,
                              cardIds);
    while (item.next()) {
        const auto found = rows.constFind({item.value(0).toInt(), item.value(1).toInt()});
        if (found == rows.cend())
            continue;
        found->value(Fields::Detail)
            .toList()
            .append(CardRecordBuilders::itemRecord(item.value(2).toInt(), item.value(3).toString(),
                                                   item.value(4).toInt(),
                                                   item.value(5).toString()));
    }
}

} // namespace

QHash<qint32, Card> read(const AccountSet &set, const QList<qint32> &cardIds)
{
    QHash<qint32, Card> cards;
    cards.reserve(cardIds.size());
    for (qsizetype first = 0; first < cardIds.size(); first += CardsPerQuery)
        readSome(set, cardIds.mid(first, CardsPerQuery), cards);
    return cards;
}

} // namespace FixedAssets::CardBatch
