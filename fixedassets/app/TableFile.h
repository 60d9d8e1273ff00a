#pragma once

#include "accountset/AccountSetLocation.h"

#include <QList>
#include <QString>
#include <QVariantList>

#include <memory>

namespace FixedAssets {

// A table the program writes for people to read and fill in, as CSV or XLSX by the file's
// suffix. CSV is UTF-8 with a byte order mark (so that a spreadsheet program shows Chinese as it
// is) and holds the first sheet only. The file is written beside its target and moved into place
// when complete (see OutputFile): a failed run leaves no half-written file and replaces nothing.
//
//     auto table = TableFile::create(u"worksheet.xlsx"_s, false, set.location());
//     table->addSheet(u"Cards"_s, {{u"Number"_s, 12}, {u"Rate (%)"_s, 10, true}}, 1);
//     table->addRow({u"FA00001"_s, 50.0});
//     table->commit();
class TableFile {
public:
    struct Column {
        QString header;
        int width = 12;      // in characters
        bool toFill = false; // the user types codes here: marked, and kept as text
    };

    // Raises InvalidArgument when the file may not be written (see OutputFile), or cannot be
    // made. reading is the account set the table is read from, which it never replaces (no path:
    // none).
    static std::unique_ptr<TableFile> create(const QString &path, bool replace,
                                             const AccountSetLocation &reading = {});
    virtual ~TableFile() = default;

    // Starts a sheet with its header row; the header and the first frozenColumns columns stay
    // in view while the rest scrolls.
    virtual void addSheet(const QString &name, const QList<Column> &columns, int frozenColumns) = 0;
    // A row of the current sheet: texts, and doubles for numbers.
    virtual void addRow(const QVariantList &cells) = 0;
    // Offers the first count values of a column of another sheet for picking in a column of the
    // current sheet; other values may still be typed. Only XLSX can.
    virtual void offerValues(int column, const QString &sheet, int sourceColumn, int count);
    // Moves the complete file into place. Raises InvalidArgument when it cannot be written.
    virtual void commit() = 0;

    // A CSV cell as it was written: CSV keeps a text that a spreadsheet program would take for a
    // formula ("=...", "+...", "@...") as a text by an apostrophe before it.
    static QString plainText(const QString &cell);
};

} // namespace FixedAssets
