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
namespace Fields = AllocFix::Fields;

namespace FixedAssets::CardRecords {

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

} // namespace FixedAssets::CardRecords
