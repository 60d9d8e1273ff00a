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

const QStringList LogColumns{u"save_id"_s,     u"saved_at"_s,   u"user_name"_s, u"alter_id"_s,
                             u"rows_before"_s, u"rows_after"_s, u"prev_hash"_s, u"entry_hash"_s};

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
    , m_previousHash(AuditChain::lastHash(set))
    , m_log(set, u"audit_log"_s, LogColumns, EntriesPerBatch)
{}

void AuditLogWriter::append(const AuditEntry &entry)
{
    m_record.entry = entry;
    QByteArray hash = AuditChain::entryHash(m_previousHash, m_record);
    m_log.add({m_record.saveId, m_record.savedAt, m_record.user, entry.cardId, entry.rowsBefore,
               entry.rowsAfter, QString::fromLatin1(m_previousHash), QString::fromLatin1(hash)});
    m_previousHash = std::move(hash);
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

AuditChainCheck checkAuditChain(const AccountSet &set)
{
    // What the diagnosis needs of each entry; the rows themselves are hashed as they are read.
    struct Link {
        qint64 entryId;
        qint32 saveId;
        QByteArray previous;
        QByteArray hash;
        bool hashMatches;
    };
    QList<Link> links;
    QSqlQuery query = set.exec(u"SELECT entry_id, save_id, saved_at, user_name, alter_id,"
                               " rows_before, rows_after, prev_hash, entry_hash FROM audit_log"
                               " ORDER BY entry_id"_s);
    while (query.next()) {
        const AuditRecord record = recordAt(query, 1);
        const QByteArray previous = query.value(7).toString().toLatin1();
        const QByteArray hash = query.value(8).toString().toLatin1();
        links.append({query.value(0).toLongLong(), record.saveId, previous, hash,
                      AuditChain::entryHash(previous, record) == hash});
    }

    AuditChainCheck check;
    check.entries = links.size();
    using Fault = AuditChainCheck::Fault;
    for (qsizetype i = 0; i < links.size(); ++i) {
        const Link &link = links.at(i);
        const QByteArray expected = i > 0 ? links.at(i - 1).hash : QByteArray();
        if (link.hashMatches && link.previous == expected)
            continue;
        check.entryId = link.entryId;
        check.saveId = link.saveId;
        if (!link.hashMatches) {
            // An entry nobody chains on, slipped in between two that still chain on each other.
            const bool skipped = i + 1 < links.size() && links.at(i + 1).previous == expected;
            check.fault = skipped ? Fault::Inserted : Fault::Edited;
            return check;
        }
        // Whole, but chained on something other than the entry before it.
        if (i >= 2 && link.previous == links.at(i - 2).hash) {
            // The entry before it was slipped in with a hash of its own.
            check.entryId = links.at(i - 1).entryId;
            check.saveId = links.at(i - 1).saveId;
            check.fault = Fault::Inserted;
            return check;
        }
        for (qsizetype j = i + 1; j < links.size(); ++j) {
            if (links.at(j).hash == link.previous) {
                check.fault = Fault::Moved;
                check.otherEntryId = links.at(j).entryId;
                return check;
            }
        }
        check.fault = Fault::Deleted;
        return check;
    }
    check.lastHash = links.isEmpty() ? QByteArray() : links.constLast().hash;
    return check;
}

} // namespace FixedAssets
