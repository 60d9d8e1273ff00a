#include "services/AuditLog.h"

#include "accountset/AccountSet.h"

#include <QDateTime>
#include <QHash>

using namespace Qt::StringLiterals;

namespace FixedAssets {

namespace {

// Enough entries per COPY that a round trip is a small part of its cost, few enough that they
// are a small part of a large save's memory.
constexpr qsizetype EntriesPerBatch = 2000;

const QStringList LogColumns{u"entry_id"_s,  u"save_id"_s,     u"saved_at"_s,   u"user_name"_s,
                             u"alter_id"_s,  u"rows_before"_s, u"rows_after"_s, u"prev_hash"_s,
                             u"hash_form"_s, u"entry_hash"_s};

AuditRecord recordAt(const QSqlQuery &query, int first)
{
    return {query.value(first).toInt(),
            query.value(first + 1).toString(),
            query.value(first + 2).toString(),
            {query.value(first + 3).toInt(), query.value(first + 4).toString(),
             query.value(first + 5).toString()}};
}

} // namespace

AuditLogWriter::AuditLogWriter(const AccountSet &set)
    : m_record{set.scalar(u"SELECT COALESCE(MAX(save_id), 0) + 1 FROM audit_log"_s).toInt(),
               QDateTime::currentDateTimeUtc().toString(Qt::ISODate),
               [&set] {
                   QSqlDatabase db = set.database();
                   return set.driver().dialect().currentUser(db);
               }(),
               {}}
    , m_last(AuditChain::last(set))
    , m_log(set, u"audit_log"_s, LogColumns, EntriesPerBatch)
{}

void AuditLogWriter::append(const AuditEntry &entry)
{
    m_record.entry = entry;
    // The ID is the program's, not the database's: the hash covers it.
    const qint64 entryId = m_last.entryId + 1;
    QByteArray hash =
        AuditChain::storedHash(AuditChain::storedForm(entryId, m_record, m_last.hash));
    m_log.add({entryId, m_record.saveId, m_record.savedAt, m_record.user, entry.cardId,
               entry.rowsBefore, entry.rowsAfter, QString::fromLatin1(m_last.hash),
               AuditChain::StoredForm, QString::fromLatin1(hash)});
    m_last = {entryId, std::move(hash)};
}

void AuditLogWriter::finish()
{
    m_log.finish();
}

void writeAuditLog(const AccountSet &set, const QList<AuditEntry> &entries)
{
    if (entries.isEmpty())
        return;
    AuditLogWriter log(set);
    for (const AuditEntry &entry : entries)
        log.append(entry);
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
    while (query.next())
        records.append(recordAt(query, 0));
    return records;
}

} // namespace FixedAssets
