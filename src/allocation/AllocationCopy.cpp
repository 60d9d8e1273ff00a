#include "allocation/AllocationCopy.h"

#include "allocation/ManualStep.h"
#include "contracts/CardCopyKeys.h"
#include "contracts/CardServices.h"
#include "host/MMTS.h"
#include "host/ObjectRegistry.h"
#include "host/ProgIds.h"
#include "records/FieldRecord.h"
#include "records/RecordFields.h"

#include <algorithm>

namespace AllocFix {

namespace {

// Each ID once, in ascending order.
QList<qint32> uniqueSorted(QList<qint32> ids)
{
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

// What the search compares of a card: its departments in ascending order, each as often as the
// card has it, and the accounts of its legacy rows, each once.
struct Key {
    QList<qint32> departments;
    QList<qint32> accounts;
    friend bool operator==(const Key &, const Key &) = default;
};

QList<qint32> departmentIds(const RecordList &departments)
{
    QList<qint32> ids;
    ids.reserve(departments.count());
    for (qsizetype position = 1; position <= departments.count(); ++position)
        ids.append(departments.at(position).value(Fields::FItemID).toInt());
    std::sort(ids.begin(), ids.end());
    return ids;
}

// A legacy row has no department.
QList<qint32> legacyAccounts(const RecordList &rows)
{
    QList<qint32> ids;
    for (qsizetype position = 1; position <= rows.count(); ++position) {
        const FieldRecord row = rows.at(position);
        if (row.value(Fields::FDeptID).toInt() == 0)
            ids.append(row.value(Fields::FAcctID).toInt());
    }
    return uniqueSorted(ids);
}

Key keyOf(const CardCopyKey &card)
{
    QList<qint32> departments = card.departments;
    std::sort(departments.begin(), departments.end());
    return {departments, uniqueSorted(card.legacyAccounts)};
}

// Which cards the search reads the rows of: the cards whose key matches, or, when the service
// cannot tell keys of many cards at once, those whose departments do (asked card by card).
class Candidates {
public:
    Candidates(const ManualStep &step, const QString &props, const Key &source)
        : m_props(props)
        , m_source(source)
    {
        const auto service = createService<ICardInfo>(ProgId::CardInfo);
        auto *keys = qobject_cast<ICardCopyKeys *>(service.object());
        if (!keys)
            return;
        QList<qint32> cards;
        cards.reserve(step.vecFalterID().count());
        for (qsizetype position = 1; position <= step.vecFalterID().count(); ++position)
            cards.append(step.cardId(position));
        m_keys = keys->GetCopyKeys(props, cards);
        m_bulk = true;
    }

    enum class Match { No, Yes, Unreadable };

    // A service's failure for the card reaches the caller.
    Match match(qint32 cardId) const
    {
        if (!m_bulk) {
            return departmentIds(
                       createService<ICardInfo>(ProgId::CardInfo)->GetDept(m_props, cardId)) ==
                           m_source.departments
                       ? Match::Yes
                       : Match::No;
        }
        const auto found = m_keys.constFind(cardId);
        if (found == m_keys.cend())
            return Match::Unreadable;
        return keyOf(*found) == m_source ? Match::Yes : Match::No;
    }

private:
    QString m_props;
    Key m_source;
    bool m_bulk = false;
    QHash<qint32, CardCopyKey> m_keys;
};

} // namespace

AllocationCopy findAllocationCopy(const ManualStep &step, qsizetype source,
                                  const CopyProgress &progress)
{
    const QString props = MMTS::GetPropsString();
    const auto cardInfo = [] { return createService<ICardInfo>(ProgId::CardInfo); };
    qint32 sourceId = step.cardId(source);
    const Key sourceKey{departmentIds(cardInfo()->GetDept(props, sourceId)),
                        legacyAccounts(cardInfo()->GetExpense(props, sourceId))};
    const Candidates candidates(step, props, sourceKey);

    AllocationCopy copy;
    copy.source = source;
    const qsizetype cardCount = step.vecFalterID().count();
    for (qsizetype position = 1; position <= cardCount; ++position) {
        if (progress)
            progress(position - 1, cardCount);
        if (position == source)
            continue;
        qint32 cardId = step.cardId(position);
        try {
            const Candidates::Match match = candidates.match(cardId);
            if (match == Candidates::Match::Unreadable)
                copy.unreadable.append(position);
            if (match != Candidates::Match::Yes)
                continue;
            // The rows decide: they are what the copy replaces.
            RecordList rows = cardInfo()->GetExpense(props, cardId);
            if (legacyAccounts(rows) == sourceKey.accounts)
                copy.targets.append({position, cardId, rows});
        } catch (...) {
            copy.unreadable.append(position);
        }
    }
    if (progress)
        progress(cardCount, cardCount);
    return copy;
}

void applyAllocationCopy(ManualStep &step, const AllocationCopy &copy)
{
    const RecordList rows = step.rows(copy.source);
    for (const AllocationCopy::Target &target : copy.targets) {
        RecordList copies = RecordList::create();
        for (qsizetype position = 1; position <= rows.count(); ++position) {
            FieldRecord row = rows.at(position).copy();
            row.setValue(Fields::FAlterID, target.cardId);
            copies.append(row);
        }
        if (!step.isLoaded(target.position))
            step.loadRows(target.position, target.serviceRows);
        step.setRows(target.position, copies);
    }
}

} // namespace AllocFix
