#include "services/CardReadAhead.h"

#include "accountset/AccountSet.h"
#include "services/CardReads.h"
#include "services/ReferenceSnapshot.h"

#include <QHash>

namespace FixedAssets::CardReadAhead {

namespace {

// Mostly ahead: the wizard and the copy's search go forward through the queue; a step back
// from the window's first card still finds the cards just before it.
constexpr CardReads::QueueWindow Window{50, 450};

template<typename Record>
struct Kind {
    QHash<qint32, Record> cards;
};

struct Kept {
    ReferenceSnapshot::DataStamp stamp;
    Kind<AllocFix::RecordList> departments;
    Kind<AllocFix::RecordList> rows;
    Kind<AllocFix::FieldRecord> references;
};

// By account set. Lives on the user-interface thread, like the connections.
QHash<QString, Kept> &kept()
{
    static QHash<QString, Kept> byAccountSet;
    return byAccountSet;
}

// What is kept of the account set, all of it dropped when its data may have changed since.
Kept &keptFor(const AccountSet &set)
{
    const ReferenceSnapshot::DataStamp stamp = ReferenceSnapshot::dataStamp(set);
    Kept &current = kept()[set.location().url()];
    if (current.stamp != stamp)
        current = {stamp, {}, {}, {}};
    return current;
}

AllocFix::RecordList answer(const AllocFix::RecordList &kept)
{
    return AllocFix::CloneRecordList(kept);
}

AllocFix::FieldRecord answer(const AllocFix::FieldRecord &kept)
{
    return kept.copy();
}

// The card's record from the window of this kind, reading the window around it when it is not
// there; a card the window has none for is read alone.
template<typename Record, typename ReadWindow, typename ReadAlone>
Record find(const AccountSet &set, Kind<Record> &kind, qint32 cardId, ReadWindow readWindow,
            ReadAlone readAlone)
{
    auto found = kind.cards.constFind(cardId);
    if (found == kind.cards.cend()) {
        kind.cards = readWindow(set, cardId, Window);
        found = kind.cards.constFind(cardId);
        if (found == kind.cards.cend())
            return readAlone(set, cardId);
    }
    return answer(*found);
}

} // namespace

AllocFix::RecordList departments(const AccountSet &set, qint32 cardId)
{
    return find(set, keptFor(set).departments, cardId, CardReads::queuedDepartments,
                CardReads::departments);
}

AllocFix::RecordList expenseRows(const AccountSet &set, qint32 cardId)
{
    return find(set, keptFor(set).rows, cardId, CardReads::queuedExpenseRows,
                CardReads::expenseRows);
}

AllocFix::FieldRecord reference(const AccountSet &set, qint32 cardId)
{
    return find(set, keptFor(set).references, cardId, CardReads::queuedReferences,
                CardReads::reference);
}

void forget()
{
    kept().clear();
}

} // namespace FixedAssets::CardReadAhead
