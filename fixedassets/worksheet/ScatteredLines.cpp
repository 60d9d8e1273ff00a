#include "worksheet/ScatteredLines.h"

#include "accountset/AccountSet.h"
#include "accountset/BulkInsert.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace FixedAssets {

namespace {

constexpr qsizetype BatchLines = 1000;

} // namespace

ScatteredLines::ScatteredLines(const AccountSet &set)
    : m_set(set)
{
    // Left over when an earlier read failed before its end.
    set.exec(u"DROP TABLE IF EXISTS worksheet_lines"_s);
    set.exec(u"CREATE TEMP TABLE worksheet_lines (alter_id INTEGER NOT NULL,"
             " line BIGINT NOT NULL, cells TEXT NOT NULL, PRIMARY KEY (alter_id, line))"_s);
}

void ScatteredLines::add(qint32 cardId, const CsvRecord &line)
{
    m_waiting.append({cardId, static_cast<qint64>(line.line),
                      QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(line.fields))
                                            .toJson(QJsonDocument::Compact))});
    if (m_waiting.size() >= BatchLines)
        flush();
}

void ScatteredLines::flush()
{
    if (m_waiting.isEmpty())
        return;
    // Finished at once: on PostgreSQL the connection serves the checks between batches.
    BulkInsert insert(m_set, u"worksheet_lines"_s, {u"alter_id"_s, u"line"_s, u"cells"_s});
    for (const QVariantList &line : std::as_const(m_waiting))
        insert.add(line);
    insert.finish();
    m_waiting.clear();
}

void ScatteredLines::forEachCard(
    const std::function<void(qint32 cardId, const QList<CsvRecord> &)> &use)
{
    flush();
    QSqlQuery query =
        m_set.exec(u"SELECT alter_id, line, cells FROM worksheet_lines ORDER BY alter_id, line"_s);
    qint32 cardId = 0;
    QList<CsvRecord> lines;
    while (query.next()) {
        const qint32 id = query.value(0).toInt();
        if (id != cardId && !lines.isEmpty()) {
            use(cardId, lines);
            lines.clear();
        }
        cardId = id;
        QStringList fields;
        const QJsonArray cells =
            QJsonDocument::fromJson(query.value(2).toString().toUtf8()).array();
        fields.reserve(cells.size());
        for (const QJsonValue &cell : cells)
            fields.append(cell.toString());
        lines.append({static_cast<qsizetype>(query.value(1).toLongLong()), fields});
    }
    if (!lines.isEmpty())
        use(cardId, lines);
    query.finish();
    m_set.exec(u"DROP TABLE worksheet_lines"_s);
}

} // namespace FixedAssets
