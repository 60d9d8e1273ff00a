#pragma once

#include "contracts/CardServices.h"

#include <QObject>

namespace FixedAssets {

// "OrvFACard.CardUpdate" on the account set that the property string names.
class CardUpdateService final : public QObject, public AllocFix::ICardUpdate {
    Q_OBJECT
    Q_INTERFACES(AllocFix::ICardUpdate)
public:
    // In one transaction: adjusts the cards it can (one audit entry each, under one save ID),
    // stores the manual queue (positions in asset-number order) and answers the manual cards in
    // that order.
    AllocFix::RecordList ReturnExpensInf(const QString &props) override;
    // Maps each position of allocations to its card through the queue, checks every card's rows
    // (SaveChecks; every card of the queue must be there) and then, in one transaction, replaces
    // them, writes the audit log and clears the queue. Any fault raises SaveRejected and changes
    // nothing.
    bool SaveDoubleExpense(const QString &props, const AllocFix::FieldRecord &allocations) override;
    // Records today as the adjustment date ("AdjustmentDate" in the profile).
    bool AllocFixDate(const QString &props) override;
};

// The adjustment as ReturnExpensInf makes it, in one transaction, without answering the queue
// (a group's books leave hundreds of thousands of cards in it): answers how many cards it left
// for manual work. The program's adjust and import call it; the queue is read from the set.
qsizetype adjustAccountSet(const QString &props);

} // namespace FixedAssets
