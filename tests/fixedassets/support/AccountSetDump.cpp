#include "support/AccountSetDump.h"

#include "accountset/AccountSet.h"

#include <QSqlRecord>

using namespace Qt::StringLiterals;

namespace FixedAssets::Testing {

QStringList dumpAccountSet(const AccountSet &set)
{
    // The audit entry's time, and its hashes, which cover the time.
    static const QStringList TimeBound{u"saved_at"_s, u"prev_hash"_s, u"entry_hash"_s};
    QStringList tables = set.database().tables();
    tables.sort();
    QStringList lines;
    for (const QString &table : std::as_const(tables)) {
        const QSqlRecord record = set.database().record(table);
        QStringList columns;
        for (int c = 0; c < record.count(); ++c) {
            if (!(table == u"audit_log" && TimeBound.contains(record.fieldName(c))))
                columns.append(record.fieldName(c));
        }
        QStringList order;
        for (qsizetype c = 1; c <= columns.size(); ++c)
            order.append(QString::number(c));
        QSqlQuery rows = set.exec(u"SELECT "_s + columns.join(u", "_s) + u" FROM "_s + table +
                                  u" ORDER BY "_s + order.join(u", "_s));
        while (rows.next()) {
            QStringList values;
            for (qsizetype c = 0; c < columns.size(); ++c) {
                const QVariant value = rows.value(static_cast<int>(c));
                values.append(value.isNull() ? u"NULL"_s : value.toString());
            }
            lines.append(table + u": "_s + values.join(u" | "_s));
        }
    }
    return lines;
}

} // namespace FixedAssets::Testing
