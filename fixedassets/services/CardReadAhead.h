#pragma once

#include "records/FieldRecord.h"
#include "records/RecordList.h"

namespace FixedAssets {

class AccountSet;

// The card information service's answers for the cards of the manual queue, read a window of
// the queue at a time: the wizard asks for one card at a time, card after card, and on a server
// each question alone would be a round trip. Each answer is what CardReads answers for the
// card alone, as a list of its own that the caller may change. What is kept goes as soon as the
// account set's data version moves (ReferenceSnapshot::DataStamp), so a change is never hidden;
// it is at most one window of each kind per account set.
namespace CardReadAhead {

// As CardReads::departments, expenseRows and reference answer them, raising as they do.
AllocFix::RecordList departments(const AccountSet &set, qint32 cardId);
AllocFix::RecordList expenseRows(const AccountSet &set, qint32 cardId);
AllocFix::FieldRecord reference(const AccountSet &set, qint32 cardId);

// Forgets everything kept, for tests that compare answers with and without it.
void forget();

} // namespace CardReadAhead
} // namespace FixedAssets
