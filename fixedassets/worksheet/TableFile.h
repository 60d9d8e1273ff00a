#pragma once

#include <QList>
#include <QString>
#include <QVariantList>

#include <memory>

namespace FixedAssets {

// A table the program writes for people to read and fill in, as CSV or XLSX by the file's
// suffix. CSV is UTF-8 with a byte order mark (so that a spreadsheet program shows Chinese as it
// is) and holds the first sheet only. It writes where it is told: the program's part file beside
// the target, which the program moves into place once finish() has gone through (OutputFile).
//
//     auto table = TableFile::create(output.path(), output.partPath());
//     table->addSheet(u"Cards"_s, {{u"Number"_s, 12}, {u"Rate (%)"_s, 10, true}}, 1);
//     table->addRow({u"FA00001"_s, 50.0});
//     table->finish();
//     output.commit();
class TableFile {
public:
    struct Column {
        QString header;
        int width = 12;      // in characters
        bool toFill = false; // the user types codes here: marked, and kept as text
    };

    // path is the file the user named, for messages and its kind; writePath is where it is
    // written. Raises InvalidArgument when it cannot be made.
    static std::unique_ptr<TableFile> create(const QString &path, const QString &writePath);
    virtual ~TableFile() = default;

    // Starts a sheet with its header row; the header and the first frozenColumns columns stay
    // in view while the rest scrolls.
    virtual void addSheet(const QString &name, const QList<Column> &columns, int frozenColumns) = 0;
    // A row of the current sheet: texts, and doubles for numbers.
    virtual void addRow(const QVariantList &cells) = 0;
    // Offers the first count values of a column of another sheet for picking in a column of the
    // current sheet; other values may still be typed. Only XLSX can.
    virtual void offerValues(int column, const QString &sheet, int sourceColumn, int count);
    // A note on the header of a column of the current sheet, shown where the mouse rests. Only
    // XLSX can.
    virtual void addNote(int column, const QString &text);
    // Writes what is left and closes the file. Raises InvalidArgument when it cannot be written,
    // Full when the disk has no room.
    virtual void finish() = 0;

    // A CSV cell as it was written: CSV keeps a text that a spreadsheet program would take for a
    // formula ("=...", "+...", "-...", "@...") as a text by an apostrophe before it.
    static QString plainText(const QString &cell);
};

} // namespace FixedAssets
