#pragma once

#include "accountset/BulkInsert.h"
#include "worksheet/CsvFile.h"

#include <QList>

#include <functional>

namespace FixedAssets {

class AccountSet;

// Lines of cards whose lines lie apart in a worksheet (sorted in a spreadsheet, say), kept aside
// while the file is read and handed back card by card, so that memory does not grow with them.
// They go to a TEMP table: it belongs to this connection alone, is seen by no other user, and on
// SQLite lives outside the account set's file, so a dry run still changes nothing in the set.
class ScatteredLines {
public:
    explicit ScatteredLines(const AccountSet &set);
    ScatteredLines(const ScatteredLines &) = delete;
    ScatteredLines &operator=(const ScatteredLines &) = delete;

    void add(qint32 cardId, const CsvRecord &line);
    // Hands use each card's lines in the order of the file, card after card.
    // Then drops the table. (After a failure it stays until the connection closes or the next
    // import makes it afresh, or goes with the rollback: it holds nothing of the set's.)
    void forEachCard(const std::function<void(qint32 cardId, const QList<CsvRecord> &)> &use);

private:
    const AccountSet &m_set;
    // Batched: on PostgreSQL the connection serves the checks between batches.
    BulkInsert m_lines;
};

} // namespace FixedAssets
