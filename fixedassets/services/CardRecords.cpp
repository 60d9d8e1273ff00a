#include "services/CardRecords.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "accountset/PreparedStatement.h"
#include "records/RecordFields.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;
namespace Fields = AllocFix::Fields;

namespace FixedAssets::CardRecords {

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
        FieldRecord record = FieldRecord::create();
        record.setValue(Fields::FItemID, query.value(0).toInt());
        record.setValue(Fields::FItemName, query.value(1).toString());
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
    FieldRecord row;
    qint32 rowSeq = 0;
    while (query.next()) {
        const qint32 seq = query.value(0).toInt();
        if (!row || seq != rowSeq) {
            row = FieldRecord::create();
            row.setValue(Fields::FAlterID, cardId);
            row.setValue(Fields::FDeptID, query.value(1).toInt());
            row.setValue(Fields::FAcctID, query.value(2).toInt());
            row.setValue(Fields::FAcctNumber, query.value(3).toString());
            row.setValue(Fields::FAcctName, query.value(4).toString());
            row.setValue(Fields::Detail, RecordList::create());
            row.setValue(Fields::FRate, query.value(5).toDouble());
            rows.append(row);
            rowSeq = seq;
        }
        if (query.value(6).isNull())
            continue;
        FieldRecord item = FieldRecord::create();
        item.setValue(Fields::FItemClassID, query.value(6).toInt());
        item.setValue(Fields::FItemClassName, query.value(7).toString());
        item.setValue(Fields::FItemID, query.value(8).toInt());
        item.setValue(Fields::FItemName, query.value(9).toString());
        row.value(Fields::Detail).toList().append(item);
    }
    if (rows.count() == 0)
        requireCard(set, cardId);
    return rows;
}

void replaceExpenseRows(const AccountSet &set, qint32 cardId, const RecordList &rows)
{
    set.exec(u"DELETE FROM expense_row_items WHERE alter_id = ?"_s, {cardId});
    set.exec(u"DELETE FROM expense_rows WHERE alter_id = ?"_s, {cardId});
    for (qsizetype position = 1; position <= rows.count(); ++position) {
        const FieldRecord row = rows.at(position);
        const auto seq = static_cast<qint32>(position);
        set.exec(u"INSERT INTO expense_rows (alter_id, seq, dept_id, account_id, rate)"
                 " VALUES (?, ?, ?, ?, ?)"_s,
                 {cardId, seq, row.value(Fields::FDeptID).toInt(),
                  row.value(Fields::FAcctID).toInt(), row.value(Fields::FRate).toDouble()});
        const RecordList items = row.value(Fields::Detail).toList();
        for (qsizetype i = 1; items && i <= items.count(); ++i) {
            const FieldRecord item = items.at(i);
            set.exec(u"INSERT INTO expense_row_items (alter_id, row_seq, seq, class_id, item_id)"
                     " VALUES (?, ?, ?, ?, ?)"_s,
                     {cardId, seq, static_cast<qint32>(i), item.value(Fields::FItemClassID).toInt(),
                      item.value(Fields::FItemID).toInt()});
        }
    }
}

QString toJson(const RecordList &rows)
{
    QJsonArray array;
    for (qsizetype position = 1; position <= rows.count(); ++position) {
        const FieldRecord row = rows.at(position);
        QJsonArray items;
        const RecordList detail = row.value(Fields::Detail).toList();
        for (qsizetype i = 1; detail && i <= detail.count(); ++i) {
            items.append(QJsonArray{detail.at(i).value(Fields::FItemClassID).toInt(),
                                    detail.at(i).value(Fields::FItemID).toInt()});
        }
        array.append(QJsonObject{{u"dept"_s, row.value(Fields::FDeptID).toInt()},
                                 {u"account"_s, row.value(Fields::FAcctID).toInt()},
                                 {u"items"_s, items},
                                 {u"rate"_s, row.value(Fields::FRate).toDouble()}});
    }
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

} // namespace FixedAssets::CardRecords
