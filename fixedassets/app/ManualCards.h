#pragma once

#include "records/RecordList.h"

#include <QList>
#include <QString>

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

struct CardsToAdjust {
    QList<ManualCard> manual;
    qsizetype automatic = 0; // cards the automatic adjustment has still to adjust
};

// The cards left for manual work, in the card services' order, read without changing anything
// (the automatic adjustment may not have run yet). Shows its progress.
CardsToAdjust readCardsToAdjust(const QString &props);

} // namespace FixedAssets
