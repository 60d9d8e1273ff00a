#include "services/RowsJson.h"

#include <QLocale>

#include <array>
#include <utility>

using namespace Qt::StringLiterals;
using AllocFix::RecordList;

namespace FixedAssets {

namespace {

// Appends the decimal digits without a string of their own: an audit log of many cards appends
// millions of them.
void appendNumber(QString &text, qint32 value)
{
    std::array<char16_t, 12> digits{};
    auto *first = digits.end();
    qint64 rest = value;
    const bool negative = rest < 0;
    if (negative)
        rest = -rest;
    do {
        *--first = static_cast<char16_t>(u'0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (negative)
        *--first = u'-';
    text.append(QStringView(first, digits.end()));
}

} // namespace

QString RowsJson::toJson(const RecordList &rows)
{
    return toJson(CardRecordBuilders::rowIds(rows));
}

QString RowsJson::toJson(const QList<CardRecordBuilders::RowIds> &rows)
{
    RowsJson json;
    for (const CardRecordBuilders::RowIds &row : rows) {
        json.addRow(row.departmentId, row.accountId, row.rate);
        for (const auto &[classId, itemId] : row.items)
            json.addItem(classId, itemId);
    }
    return json.take();
}

void RowsJson::addRow(qint32 departmentId, qint32 accountId, double rate)
{
    endRow();
    if (m_text.isEmpty()) {
        m_text.reserve(256);
        m_text += u"[{\"account\":"_s;
    } else {
        m_text += u",{\"account\":"_s;
    }
    appendNumber(m_text, accountId);
    m_text += u",\"dept\":"_s;
    appendNumber(m_text, departmentId);
    m_text += u",\"items\":["_s;
    m_rate = rate;
    m_inRow = true;
    m_firstItem = true;
}

void RowsJson::addItem(qint32 classId, qint32 itemId)
{
    if (!m_firstItem)
        m_text += u',';
    m_text += u'[';
    appendNumber(m_text, classId);
    m_text += u',';
    appendNumber(m_text, itemId);
    m_text += u']';
    m_firstItem = false;
}

void RowsJson::endRow()
{
    if (!m_inRow)
        return;
    // JSON's own form of a number: the shortest text that reads back as the same double ("1"
    // for the rate of most rows).
    m_text += u"],\"rate\":"_s;
    if (m_rate == 1.0)
        m_text += u'1';
    else
        m_text += QString::number(m_rate, 'g', QLocale::FloatingPointShortest);
    m_text += u'}';
    m_inRow = false;
}

QString RowsJson::take()
{
    endRow();
    if (m_text.isEmpty())
        return u"[]"_s;
    m_text += u']';
    return std::exchange(m_text, QString());
}

} // namespace FixedAssets
