#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace FixedAssets {

// One record of a CSV file and the line it starts on (a quoted field may hold line breaks).
struct CsvRecord {
    qsizetype line = 0;
    QStringList fields; // spaces around unquoted fields removed
};

// The most a CSV file may hold before it is refused unread: its bytes, its lines, the bytes of
// one record (a line, or several when a quoted cell holds line breaks) and of one cell.
struct CsvLimits {
    qint64 fileBytes = 0;
    qint64 lines = 0;
    qsizetype recordBytes = 0;
    qsizetype cellBytes = 0;
};

// What the import reads at most: several times a worksheet of 200,000 cards (about 1,000,000
// lines of 250 bytes), and far more than a spreadsheet program writes into a cell or a line.
inline constexpr CsvLimits WorksheetLimits{qint64{1} << 30, 5'000'000, qsizetype{256} << 10,
                                           qsizetype{32} << 10};

// Reads a CSV file as RFC 4180 describes it, through libcsv, one record at a time: UTF-8, with or
// without a byte order mark, its fields separated by commas, or by the semicolons or tabs that
// some spreadsheet programs write (told from the first line). Blank lines are left out. Only a
// regular file is read, and it is refused beyond the limits: memory stays that of one record.
// Raises InvalidArgument, "file: reason" or "file:line: reason", for a file that cannot be read,
// is no regular file, exceeds a limit, is not UTF-8 or has quotes that do not pair.
class CsvReader {
public:
    CsvReader(const QString &path, const CsvLimits &limits);
    ~CsvReader();
    CsvReader(const CsvReader &) = delete;
    CsvReader &operator=(const CsvReader &) = delete;

    // The next record; nothing at the end of the file.
    std::optional<CsvRecord> next();

    qint64 size() const;
    qint64 bytesRead() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace FixedAssets
