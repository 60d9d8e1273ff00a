#pragma once

#include "records/RecordList.h"

#include <QHash>
#include <QList>
#include <QString>

namespace FixedAssets {

class AccountSet;

// Cards read many at a time, for work on thousands of them at once (the worksheet's export and
// import): the records the card information service answers one card at a time, in a few
// queries for every few hundred cards.
namespace CardBatch {

struct Card {
    QString number;
    QString name;
    AllocFix::RecordList departments; // as CardReads::departments answers them
    AllocFix::RecordList rows;        // as CardReads::expenseRows answers them
};

// Cards the account set does not have are left out.
QHash<qint32, Card> read(const AccountSet &set, const QList<qint32> &cardIds);

} // namespace CardBatch
} // namespace FixedAssets
