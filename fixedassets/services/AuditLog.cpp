#include "services/AuditLog.h"

#include "accountset/AccountSet.h"

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

    // Many entries to a statement: an adjustment of many cards must not pay a round trip each.
    constexpr qsizetype EntriesPerStatement = 100;
    for (qsizetype first = 0; first < entries.size(); first += EntriesPerStatement) {
        const qsizetype count = qMin(EntriesPerStatement, entries.size() - first);
        QString sql = u"INSERT INTO audit_log (save_id, saved_at, user_name, alter_id, rows_before,"
                      " rows_after) VALUES "_s;
        QVariantList values;
        values.reserve(count * 6);
        for (qsizetype i = first; i < first + count; ++i) {
            sql += i == first ? u"(?, ?, ?, ?, ?, ?)"_s : u", (?, ?, ?, ?, ?, ?)"_s;
            values << saveId << when << user << entries[i].cardId << entries[i].rowsBefore
                   << entries[i].rowsAfter;
        }
        set.exec(sql, values);
    }
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
