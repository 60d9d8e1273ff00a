#include "accountset/AuditChain.h"

#include "accountset/AccountSet.h"
#include "accountset/PreparedStatement.h"

#include <QCryptographicHash>
#include <QList>

using namespace Qt::StringLiterals;

namespace FixedAssets::AuditChain {

namespace {

// Each field as its length in bytes, a colon and its UTF-8, so that no two different entries
// give the same bytes.
void addField(QCryptographicHash &hash, const QByteArray &field)
{
    hash.addData(QByteArray(QByteArray::number(field.size()) + ':'));
    hash.addData(field);
}

} // namespace

QByteArray entryHash(const QByteArray &previousHash, const AuditRecord &record)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    addField(hash, previousHash);
    addField(hash, QByteArray::number(record.saveId));
    addField(hash, record.savedAt.toUtf8());
    addField(hash, record.user.toUtf8());
    addField(hash, QByteArray::number(record.entry.cardId));
    addField(hash, record.entry.rowsBefore.toUtf8());
    addField(hash, record.entry.rowsAfter.toUtf8());
    return hash.result().toHex();
}

QByteArray lastHash(const AccountSet &set)
{
    return set.scalar(u"SELECT entry_hash FROM audit_log ORDER BY entry_id DESC LIMIT 1"_s)
        .toString()
        .toUtf8();
}

void chainExisting(const AccountSet &set)
{
    struct Link {
        qint64 entryId;
        QByteArray previous;
        QByteArray hash;
    };
    // Read to the end first: PostgreSQL serves one result at a time per connection.
    QList<Link> links;
    {
        QSqlQuery entries = set.exec(u"SELECT entry_id, save_id, saved_at, user_name, alter_id,"
                                     " rows_before, rows_after FROM audit_log ORDER BY entry_id"_s);
        QByteArray previous;
        while (entries.next()) {
            const AuditRecord record{entries.value(1).toInt(),
                                     entries.value(2).toString(),
                                     entries.value(3).toString(),
                                     {entries.value(4).toInt(), entries.value(5).toString(),
                                      entries.value(6).toString()}};
            QByteArray hash = entryHash(previous, record);
            links.append({entries.value(0).toLongLong(), previous, hash});
            previous = std::move(hash);
        }
    }
    // The first entry's empty hash binds as null.
    PreparedStatement chain(
        set,
        u"UPDATE audit_log SET prev_hash = coalesce(?, ''), entry_hash = ? WHERE entry_id = ?"_s);
    for (const Link &link : std::as_const(links)) {
        chain.exec(
            {QString::fromLatin1(link.previous), QString::fromLatin1(link.hash), link.entryId});
    }
}

} // namespace FixedAssets::AuditChain
