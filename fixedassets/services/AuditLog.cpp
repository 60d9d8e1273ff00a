#include "services/AuditLog.h"

#include "accountset/AccountSet.h"
#include "accountset/BulkInsert.h"

#include <QDateTime>

using namespace Qt::StringLiterals;

namespace FixedAssets {

void writeAuditLog(const AccountSet &set, const QList<AuditEntry> &entries)
{
    if (entries.isEmpty())
        return;
    const qint32 saveId =
        set.scalar(u"SELECT COALESCE(MAX(save_id), 0) + 1 FROM audit_log"_s).toInt();
    const QString when = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    QSqlDatabase db = set.database();
    const QString user = set.driver().currentUser(db);

    BulkInsert log(set, u"audit_log"_s,
                   {u"save_id"_s, u"saved_at"_s, u"user_name"_s, u"alter_id"_s, u"rows_before"_s,
                    u"rows_after"_s});
    for (const AuditEntry &entry : entries)
        log.add({saveId, when, user, entry.cardId, entry.rowsBefore, entry.rowsAfter});
    log.finish();
}

QList<AuditRecord> readAuditLog(const AccountSet &set, const QString &since)
{
    const QString columns = u"SELECT save_id, saved_at, user_name, alter_id, rows_before,"
                            " rows_after FROM audit_log "_s;
    QSqlQuery query = since.isEmpty()
                          ? set.exec(columns + u"ORDER BY entry_id"_s)
                          : set.exec(columns + u"WHERE saved_at >= ? ORDER BY entry_id"_s, {since});
    QList<AuditRecord> records;
    while (query.next()) {
        records.append(
            {query.value(0).toInt(),
             query.value(1).toString(),
             query.value(2).toString(),
             {query.value(3).toInt(), query.value(4).toString(), query.value(5).toString()}});
    }
    return records;
}

} // namespace FixedAssets
