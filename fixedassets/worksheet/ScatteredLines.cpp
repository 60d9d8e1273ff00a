#include "worksheet/ScatteredLines.h"

#include "accountset/AccountSet.h"
#include "accountset/BulkInsert.h"

#include <QDataStream>
#include <QIODevice>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace FixedAssets {

namespace {

constexpr qsizetype BatchLines = 1000;

// In base 64: the cells may hold any character, and no dialect's bulk path need escape these.
QString cellsText(const QStringList &cells)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << cells;
    return QString::fromLatin1(bytes.toBase64());
}

QStringList cellsOf(const QString &text)
{
    QStringList cells;
    QDataStream in(QByteArray::fromBase64(text.toLatin1()));
    in >> cells;
    return cells;
}

const AccountSet &withTable(const AccountSet &set)
{
    // Left over when an earlier read failed before its end.
    set.exec(u"DROP TABLE IF EXISTS worksheet_lines"_s);
    set.exec(u"CREATE TEMP TABLE worksheet_lines (alter_id INTEGER NOT NULL,"
             " line BIGINT NOT NULL, cells TEXT NOT NULL, PRIMARY KEY (alter_id, line))"_s);
    return set;
}

} // namespace

ScatteredLines::ScatteredLines(const AccountSet &set)
    : m_set(set)
    , m_lines(withTable(set), u"worksheet_lines"_s, {u"alter_id"_s, u"line"_s, u"cells"_s},
              BatchLines)
{}

void ScatteredLines::add(qint32 cardId, const CsvRecord &line)
{
    m_lines.add({cardId, static_cast<qint64>(line.line), cellsText(line.fields)});
}

void ScatteredLines::forEachCard(
    const std::function<void(qint32 cardId, const QList<CsvRecord> &)> &use)
{
    m_lines.finish();
    // A card at a time: use may ask the account set, and on a server that would end a read
    // still open on the same connection.
    QList<qint32> cards;
    QSqlQuery ids =
        m_set.exec(u"SELECT DISTINCT alter_id FROM worksheet_lines ORDER BY alter_id"_s);
    while (ids.next())
        cards.append(ids.value(0).toInt());
    ids.finish();
    for (const qint32 cardId : std::as_const(cards)) {
        QList<CsvRecord> lines;
        QSqlQuery query = m_set.exec(
            u"SELECT line, cells FROM worksheet_lines WHERE alter_id = ? ORDER BY line"_s,
            {cardId});
        while (query.next()) {
            lines.append({static_cast<qsizetype>(query.value(0).toLongLong()),
                          cellsOf(query.value(1).toString())});
        }
        query.finish();
        use(cardId, lines);
    }
    m_set.exec(u"DROP TABLE worksheet_lines"_s);
}

} // namespace FixedAssets
