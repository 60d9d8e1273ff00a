#pragma once

#include "worksheet/ReferenceData.h"

#include <QList>
#include <QString>
#include <QStringList>

// The worksheet of the cards left for manual work: its columns, and how it writes rates. The
// export writes it and the import reads it back, so both take their columns from here.
namespace FixedAssets::Worksheet {

enum class Kind {
    // What the worksheet shows of the card and its rows now.
    Position,
    AssetNumber,
    AssetName,
    Departments,
    OldAccount,
    OldItems,
    OldRate,
    // What the user fills in: one new expense row per line.
    Department,
    Account,
    Item, // one column per item class
    Rate,
    // The card's fingerprint, to tell a card changed since the export.
    CheckCode,
};

// Whether the user fills the column in.
constexpr bool isToFill(Kind kind)
{
    return kind >= Kind::Department && kind <= Kind::Rate;
}

struct Column {
    Kind kind;
    qint32 itemClass = 0; // Item: the class
    QString header;       // in the language of the host property string
    int width = 12;       // in characters
    bool toFill() const { return isToFill(kind); }
};

// The worksheet's columns, with one item column for each class.
QList<Column> columns(const QList<ReferenceData::ItemClass> &itemClasses);

// The headers the column kind has in any language the program knows, for reading a worksheet
// that another user exported. For Item, the header with %1 for the class name.
QStringList knownHeaders(Kind kind);


// A sheet's name in the language of the host property string.
QString sheetName(const QString &chineseName);

} // namespace FixedAssets::Worksheet
