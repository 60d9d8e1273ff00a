#pragma once

#include "records/RecordList.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace FixedAssets {

class WorksheetSink;

// A card left for manual work, as the card services answer it now.
struct ManualCard {
    qint32 position = 0; // in the order the card services present the cards, from 1
    qint32 cardId = 0;
    QString number;
    QString name;
    AllocFix::RecordList departments; // DeptRecords
    AllocFix::RecordList rows;        // its ExpenseRows, legacy ones without a department
    // The card's check code in a worksheet: "set-card-digest", the tag of the account set, the
    // card's ID, and a digest of the set's identity, the card's ID, asset number, departments and
    // rows. It tells the set and the card a worksheet line was written for, and whether the card
    // has changed since. The asset's name is left out: it only shows the card to the reader.
    QString fingerprint;
};

// What a check code tells in clear; nothing for a text that is no check code.
struct CheckCodeOrigin {
    QString setTag;
    qint32 cardId = 0;
};
std::optional<CheckCodeOrigin> checkCodeOrigin(const QString &code);
// The tag by which check codes name the account set of that identity.
QString setTag(const QString &setIdentity);
// A card's check code from its parts, and the digest part of one: the import keeps 8 bytes of
// each of 200,000 cards' codes, not the text.
QString checkCodeText(const QString &setTag, qint32 cardId, quint64 digest);
quint64 checkCodeDigest(const QString &code);

// Reads the cards left for manual work in the card services' order, without changing anything
// (the automatic adjustment may not have run yet), and hands each to use. Cards are read a
// thousand at a time and let go after use, so that 20,000 cards do not stay in memory with all
// their records. Answers how many cards the automatic adjustment has still to adjust. Tells its
// progress to the sink under the label.
qsizetype readManualCards(const QString &props, const QString &label, WorksheetSink &sink,
                          const std::function<void(ManualCard &)> &use);

} // namespace FixedAssets
