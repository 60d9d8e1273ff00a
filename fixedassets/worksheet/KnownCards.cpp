#include "worksheet/KnownCards.h"

#include "records/FieldRecord.h"
#include "records/RecordFields.h"

#include <algorithm>
#include <numeric>

namespace Fields = AllocFix::Fields;

namespace FixedAssets {

void KnownCards::add(const ManualCard &card)
{
    KnownCard known;
    known.cardId = card.cardId;
    known.position = card.position;
    known.checkDigest = checkCodeDigest(card.fingerprint);
    const QByteArray number = card.number.toUtf8();
    known.m_numberFrom = static_cast<qint32>(m_numbers.size());
    known.m_numberBytes = static_cast<qint32>(number.size());
    m_numbers += number;
    known.m_departmentsFrom = static_cast<qint32>(m_departments.size());
    known.m_departmentCount = static_cast<qint32>(card.departments.count());
    for (qsizetype d = 1; d <= card.departments.count(); ++d)
        m_departments.append(card.departments.at(d).value(Fields::FItemID).toInt());
    m_cards.push_back(known);
}

void KnownCards::index()
{
    // The room left for growth is let go: it would stay for the whole import.
    m_numbers.squeeze();
    m_departments.squeeze();
    m_byNumber.resize(static_cast<qsizetype>(m_cards.size()));
    std::iota(m_byNumber.begin(), m_byNumber.end(), 0);
    m_byId = m_byNumber;
    std::sort(m_byNumber.begin(), m_byNumber.end(),
              [this](qint32 a, qint32 b) { return numberOf(a) < numberOf(b); });
    std::sort(m_byId.begin(), m_byId.end(),
              [this](qint32 a, qint32 b) { return m_cards[a].cardId < m_cards[b].cardId; });
}

QByteArrayView KnownCards::numberOf(qint32 index) const
{
    const KnownCard &card = m_cards[index];
    return QByteArrayView(m_numbers).sliced(card.m_numberFrom, card.m_numberBytes);
}

KnownCard *KnownCards::byNumber(const QString &number)
{
    const QByteArray wanted = number.toUtf8();
    const auto found = std::lower_bound(
        m_byNumber.cbegin(), m_byNumber.cend(), QByteArrayView(wanted),
        [this](qint32 index, QByteArrayView value) { return numberOf(index) < value; });
    if (found == m_byNumber.cend() || numberOf(*found) != QByteArrayView(wanted))
        return nullptr;
    return &m_cards[*found];
}

qsizetype KnownCards::indexById(qint32 cardId) const
{
    const auto found = std::lower_bound(
        m_byId.cbegin(), m_byId.cend(), cardId,
        [this](qint32 index, qint32 value) { return m_cards[index].cardId < value; });
    return found == m_byId.cend() || m_cards[*found].cardId != cardId ? -1 : *found;
}

KnownCard *KnownCards::byId(qint32 cardId)
{
    const qsizetype index = indexById(cardId);
    return index < 0 ? nullptr : &m_cards[index];
}

const KnownCard *KnownCards::byId(qint32 cardId) const
{
    const qsizetype index = indexById(cardId);
    return index < 0 ? nullptr : &m_cards[index];
}

std::span<const qint32> KnownCards::departmentsOf(const KnownCard &card) const
{
    return {m_departments.constData() + card.m_departmentsFrom,
            static_cast<size_t>(card.m_departmentCount)};
}

} // namespace FixedAssets
