#pragma once

#include "records/RecordList.h"

#include <QList>
#include <QString>

#include <functional>

namespace FixedAssets {

// A card left for manual work, as the card services answer it now.
struct ManualCard {
    qint32 position = 0; // in the order the card services present the cards, from 1
    qint32 cardId = 0;
    QString number;
    QString name;
    AllocFix::RecordList departments; // DeptRecords
    AllocFix::RecordList rows;        // its ExpenseRows, legacy ones without a department
    // Tells whether the card's departments or rows have changed since a worksheet showed them.
    QString fingerprint;
};

// Reads the cards left for manual work in the card services' order, without changing anything
// (the automatic adjustment may not have run yet), and hands each to use. Cards are read a
// thousand at a time and let go after use, so that 20,000 cards do not stay in memory with all
// their records. Answers how many cards the automatic adjustment has still to adjust. Shows its
// progress under the label.
qsizetype readManualCards(const QString &props, const QString &label,
                          const std::function<void(ManualCard &)> &use);

} // namespace FixedAssets
