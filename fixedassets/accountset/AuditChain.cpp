#include "accountset/AuditChain.h"

#include "accountset/AccountSet.h"
#include "accountset/PreparedStatement.h"

#include <QCryptographicHash>
#include <QHash>
#include <QSqlRecord>

using namespace Qt::StringLiterals;

namespace FixedAssets::AuditChain {

namespace {

// Each field as its length in bytes, a colon and its bytes, so that no two different entries
// give the same bytes.
void addField(QCryptographicHash &hash, const QByteArray &field)
{
    hash.addData(QByteArray(QByteArray::number(field.size()) + ':'));
    hash.addData(field);
}

// The kind of a stored value from the name its database gives its type.
char kindOf(const QString &typeName)
{
    const QString type = typeName.toLower();
    if (type == u"null"_s)
        return 'n';
    if (type.contains(u"int"_s))
        return 'i';
    if (type.contains(u"real"_s) || type.contains(u"double"_s) || type.contains(u"numeric"_s))
        return 'r';
    if (type.contains(u"blob"_s) || type.contains(u"bytea"_s))
        return 'b';
    return 't';
}

// Each stored column as its type's name and its bytes: SQLite's own type of the value, which a
// column's declaration does not fix, and the bytes it holds; PostgreSQL's column types are fixed
// and its texts are checked UTF-8.
QString storedSelection(const AccountSet &set)
{
    const bool sqlite = set.driver().kind() == AccountSetLocation::Kind::SQLite;
    QStringList selection;
    for (const QString &column : storedColumns()) {
        selection.append(sqlite ? u"typeof(%1), CAST(%1 AS BLOB)"_s.arg(column)
                                : u"pg_typeof(%1)::text, %1::text"_s.arg(column));
    }
    return selection.join(u", "_s);
}

QList<StoredValue> storedValues(const QSqlQuery &query, int first)
{
    QList<StoredValue> values;
    const qsizetype count = storedColumns().size();
    values.reserve(count);
    for (int c = 0; c < count; ++c) {
        const QVariant value = query.value(first + 2 * c + 1);
        const char kind = value.isNull() ? 'n' : kindOf(query.value(first + 2 * c).toString());
        values.append({kind, value.metaType().id() == QMetaType::QByteArray
                                 ? value.toByteArray()
                                 : value.toString().toUtf8()});
    }
    return values;
}

} // namespace

QStringList storedColumns()
{
    return {u"entry_id"_s,    u"save_id"_s,    u"saved_at"_s,  u"user_name"_s, u"alter_id"_s,
            u"rows_before"_s, u"rows_after"_s, u"prev_hash"_s, u"hash_form"_s};
}

QList<StoredValue> storedForm(qint64 entryId, const AuditRecord &record,
                              const QByteArray &previousHash)
{
    const auto integer = [](qint64 value) { return StoredValue{'i', QByteArray::number(value)}; };
    const auto text = [](const QString &value) { return StoredValue{'t', value.toUtf8()}; };
    return {integer(entryId),
            integer(record.saveId),
            text(record.savedAt),
            text(record.user),
            integer(record.entry.cardId),
            text(record.entry.rowsBefore),
            text(record.entry.rowsAfter),
            StoredValue{'t', previousHash},
            integer(StoredForm)};
}

QByteArray storedHash(const QList<StoredValue> &columns)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const StoredValue &value : columns) {
        hash.addData(QByteArrayView(&value.kind, 1));
        addField(hash, value.bytes);
    }
    return hash.result().toHex();
}

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

Last last(const AccountSet &set)
{
    QSqlQuery query =
        set.exec(u"SELECT entry_id, entry_hash FROM audit_log ORDER BY entry_id DESC LIMIT 1"_s);
    Last found;
    if (query.next())
        found = {query.value(0).toLongLong(), query.value(1).toString().toUtf8()};
    query.finish();
    return found;
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

namespace FixedAssets {

using AuditChain::StoredForm;
using AuditChain::StoredValue;

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
    // The stored columns of the entries of form 2 whose hash does not match: whether one was
    // only moved is told by the ID it matches at.
    QHash<qsizetype, QList<StoredValue>> unmatched;
    const bool hasForms = set.database().record(u"audit_log"_s).contains(u"hash_form"_s);
    QSqlQuery query =
        set.exec(u"SELECT entry_id, save_id, saved_at, user_name, alter_id,"
                 " rows_before, rows_after, prev_hash, entry_hash, %1"
                 " FROM audit_log ORDER BY 1"_s.arg(
                     hasForms ? u"hash_form, "_s + AuditChain::storedSelection(set) : u"1"_s));
    while (query.next()) {
        const QByteArray previous = query.value(7).toString().toLatin1();
        const QByteArray hash = query.value(8).toString().toLatin1();
        const QVariant form = query.value(9);
        bool matches = false;
        if (form.toLongLong() == StoredForm) {
            QList<StoredValue> stored = AuditChain::storedValues(query, 10);
            matches = AuditChain::storedHash(stored) == hash;
            if (!matches)
                unmatched.insert(links.size(), std::move(stored));
        } else if (form.toString() == u"1"_s) {
            const AuditRecord record{
                query.value(1).toInt(),
                query.value(2).toString(),
                query.value(3).toString(),
                {query.value(4).toInt(), query.value(5).toString(), query.value(6).toString()}};
            matches = AuditChain::entryHash(previous, record) == hash;
        }
        links.append(
            {query.value(0).toLongLong(), query.value(1).toInt(), previous, hash, matches});
    }
    const auto matchesElsewhere = [&](qsizetype i) {
        const auto stored = unmatched.constFind(i);
        if (stored == unmatched.cend())
            return false;
        QList<StoredValue> moved = *stored;
        for (const Link &other : std::as_const(links)) {
            moved.first().bytes = QByteArray::number(other.entryId);
            if (AuditChain::storedHash(moved) == links.at(i).hash)
                return true;
        }
        return false;
    };

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
        if (!link.hashMatches && !matchesElsewhere(i)) {
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
        // Chained on the entry before it, yet its ID is another's: moved in place.
        check.fault = link.previous == expected ? Fault::Moved : Fault::Deleted;
        return check;
    }
    check.lastHash = links.isEmpty() ? QByteArray() : links.constLast().hash;
    return check;
}

} // namespace FixedAssets
