#include "services/CardUpdateService.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "records/RecordFields.h"
#include "services/Adjustment.h"
#include "services/CardRecords.h"
#include "services/SaveChecks.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QRegularExpression>

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;
namespace Fields = AllocFix::Fields;

namespace FixedAssets {

namespace {

[[noreturn]] void rejectSave(const QString &reason)
{
    throw AllocFix::Failure(AccountSetError::SaveRejected, u"Nothing was saved: "_s + reason,
                            AccountSetError::Source);
}

QHash<qint32, qint32> manualQueue(const AccountSet &set)
{
    QHash<qint32, qint32> queue;
    QSqlQuery query = set.exec(u"SELECT seq, alter_id FROM manual_queue"_s);
    while (query.next())
        queue.insert(query.value(0).toInt(), query.value(1).toInt());
    return queue;
}

// The card at a key of the allocations: "1".."N", no spaces, no leading zeros.
qint32 cardAt(const QHash<qint32, qint32> &queue, const QString &key)
{
    static const QRegularExpression position(uR"(^[1-9][0-9]{0,8}$)"_s);
    const qint32 seq = position.match(key).hasMatch() ? key.toInt() : 0;
    if (!queue.contains(seq)) {
        rejectSave(
            u"\"%1\" is not a position of the cards waiting for manual adjustment (1 to %2)"_s.arg(
                key, QString::number(queue.size())));
    }
    return queue.value(seq);
}

struct CardSave {
    qint32 cardId;
    RecordList rows;
};

void writeAuditLog(const AccountSet &set, const QList<CardSave> &saves,
                   const QList<QString> &before)
{
    const qint32 saveId =
        set.scalar(u"SELECT COALESCE(MAX(save_id), 0) + 1 FROM audit_log"_s).toInt();
    const QString when = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    QSqlDatabase db = set.database();
    const QString user = set.driver().currentUser(db);
    for (qsizetype i = 0; i < saves.size(); ++i) {
        const qint32 cardId = saves[i].cardId;
        set.exec(u"INSERT INTO audit_log (save_id, saved_at, user_name, alter_id, rows_before,"
                 " rows_after) VALUES (?, ?, ?, ?, ?, ?)"_s,
                 {saveId, when, user, cardId, before[i],
                  CardRecords::toJson(CardRecords::expenseRows(set, cardId))});
    }
}

} // namespace

RecordList CardUpdateService::ReturnExpensInf(const QString &props)
{
    const AccountSet set = AccountSet::fromProps(props);
    WriteTransaction transaction(set);
    const Adjustment::CardsToAdjust cards = Adjustment::findCards(set);
    for (const qint32 cardId : cards.automatic)
        Adjustment::adjustAutomatically(set, cardId);

    set.exec(u"DELETE FROM manual_queue"_s);
    RecordList manual = RecordList::create();
    for (const qint32 cardId : cards.manual) {
        FieldRecord card = FieldRecord::create();
        card.setValue(Fields::FAlterID, cardId);
        const auto seq = static_cast<qint32>(manual.append(card));
        set.exec(u"INSERT INTO manual_queue (seq, alter_id) VALUES (?, ?)"_s, {seq, cardId});
    }
    transaction.commit();
    return manual;
}

bool CardUpdateService::SaveDoubleExpense(const QString &props, const FieldRecord &allocations)
{
    if (!allocations)
        rejectSave(u"no allocations were given"_s);
    const AccountSet set = AccountSet::fromProps(props);
    WriteTransaction transaction(set);
    const QHash<qint32, qint32> queue = manualQueue(set);
    if (queue.isEmpty())
        rejectSave(u"no cards are waiting for manual adjustment; check the cards again"_s);

    QList<CardSave> saves;
    const QStringList keys = allocations.names();
    for (const QString &key : keys) {
        const qint32 cardId = cardAt(queue, key);
        const AllocFix::FieldValue value = allocations.value(key);
        if (!value.isList() || !value.toList())
            rejectSave(u"position %1 holds no list of expense rows"_s.arg(key));
        checkNewRows(set, cardId, key.toInt(), value.toList());
        saves.append({cardId, value.toList()});
    }

    QList<QString> before;
    for (const CardSave &save : std::as_const(saves)) {
        before.append(CardRecords::toJson(CardRecords::expenseRows(set, save.cardId)));
        CardRecords::replaceExpenseRows(set, save.cardId, save.rows);
    }
    writeAuditLog(set, saves, before);
    set.exec(u"DELETE FROM manual_queue"_s);
    transaction.commit();
    return true;
}

bool CardUpdateService::AllocFixDate(const QString &props)
{
    const AccountSet set = AccountSet::fromProps(props);
    WriteTransaction transaction(set);
    set.setProfileValue(u"AdjustmentDate"_s, QDate::currentDate().toString(Qt::ISODate));
    transaction.commit();
    return true;
}

} // namespace FixedAssets
