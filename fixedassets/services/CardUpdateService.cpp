#include "services/CardUpdateService.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "host/MMTS.h"
#include "records/RecordFields.h"
#include "services/Adjustment.h"
#include "services/AuditLog.h"
#include "services/CardWriter.h"
#include "services/RowsJson.h"
#include "services/SaveChecks.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

using namespace Qt::StringLiterals;
using AllocFix::FieldRecord;
using AllocFix::RecordList;
using AllocFix::MMTS::LoadLangString;
namespace Fields = AllocFix::Fields;

namespace FixedAssets {

namespace {

[[noreturn]] void rejectSave(const QString &reason)
{
    throw AllocFix::Failure(AccountSetError::SaveRejected,
                            LoadLangString(u"没有保存任何内容：%1"_s).arg(reason),
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
        rejectSave(LoadLangString(u"“%1”不是等待手工调整的卡片的序号（1 到 %2）"_s)
                       .arg(key, QString::number(queue.size())));
    }
    return queue.value(seq);
}

// Many rows were replaced: PostgreSQL plans the card services' statements, prepared once for
// all values, from statistics that should say so.
void updateStatistics(const AccountSet &set)
{
    set.updateStatistics({u"expense_rows"_s, u"expense_row_items"_s});
}

} // namespace

RecordList CardUpdateService::ReturnExpensInf(const QString &props)
{
    const AccountSet set = AccountSet::fromProps(props);
    WriteTransaction transaction(set);
    const RecordList manual = Adjustment::run(set);
    updateStatistics(set);
    transaction.commit();
    return manual;
}

bool CardUpdateService::SaveDoubleExpense(const QString &props, const FieldRecord &allocations)
{
    if (!allocations)
        rejectSave(LoadLangString(u"没有给出分配"_s));
    const AccountSet set = AccountSet::fromProps(props);
    WriteTransaction transaction(set);
    const QHash<qint32, qint32> queue = manualQueue(set);
    if (queue.isEmpty())
        rejectSave(LoadLangString(u"没有等待手工调整的卡片；请重新检查卡片"_s));

    const SaveChecks checks(set);
    QList<CardRecords::CardRows> saves;
    QSet<qint32> saved; // positions
    const QStringList keys = allocations.names();
    for (const QString &key : keys) {
        const qint32 cardId = cardAt(queue, key);
        const AllocFix::FieldValue value = allocations.value(key);
        if (!value.isList() || !value.toList())
            rejectSave(LoadLangString(u"序号 %1 没有费用分配行列表"_s).arg(key));
        checks.checkCard(cardId, key.toInt(), value.toList());
        saves.append({cardId, CardRecords::rowIds(value.toList())});
        saved.insert(key.toInt());
    }
    for (qint32 seq = 1; seq <= queue.size(); ++seq) {
        if (!saved.contains(seq)) {
            rejectSave(
                LoadLangString(u"缺少卡片 %1（序号 %2）；等待手工调整的卡片要一起保存"_s)
                    .arg(CardRecords::describeCard(set, queue.value(seq)), QString::number(seq)));
        }
    }

    // Every card of the queue is saved, and no other: the queue names the rows replaced.
    const QString queued = u"SELECT alter_id FROM manual_queue"_s;
    const CardRecords::StoredRows before = CardRecords::storedRows(set, queued);
    CardRecords::replaceExpenseRows(set, queued, before, saves);
    QList<AuditEntry> audit;
    audit.reserve(saves.size());
    for (const CardRecords::CardRows &card : std::as_const(saves))
        audit.append({card.cardId, CardRecords::toJson(before.cards.value(card.cardId)),
                      CardRecords::toJson(card.rows)});
    writeAuditLog(set, audit);
    set.exec(u"DELETE FROM manual_queue"_s);
    updateStatistics(set);
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
