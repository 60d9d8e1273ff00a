#pragma once

#include <QString>

// A worksheet filled in as an accountant fills it: each department of a card keeps the card's old
// split between accounts (lines with the same account and items merged, as the rows of one
// department may not repeat), its department item the department. The exported lines stay as they
// were, showing the card; the new lines leave the card's shown columns blank. Reads the Chinese
// headers: export with "-l CHS".
namespace Bench {

struct FilledLines {
    qint64 cards = 0;
    qint64 lines = 0; // new lines written, without the exported ones
};

// Writes the same filled worksheet to each file, CSV or .xlsx by its suffix.
FilledLines fillWorksheet(const QString &exportedCsv, const QStringList &filledFiles);

} // namespace Bench
