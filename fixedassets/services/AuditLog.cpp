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

} // namespace FixedAssets
