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

// The records of a table file, one at a time, blank ones left out. A record's line is the line of
// a CSV file, or the row of a sheet (sheet() names it then).
class RecordSource {
public:
    virtual ~RecordSource() = default;

    // The next record; nothing at the end.
    virtual std::optional<CsvRecord> next() = 0;
    // How far the reading has come, for progress: of size() units, bytes of some kind.
    virtual qint64 size() const = 0;
    virtual qint64 bytesRead() const = 0;
    // The sheet the records come from; empty for a CSV file.
    virtual QString sheet() const { return {}; }
};

// Reads a CSV file as RFC 4180 describes it, through libcsv, one record at a time, its fields
// separated by commas, or by the semicolons or tabs that some spreadsheet programs write (told
// from the first line). The encodings spreadsheet programs save in are read: UTF-8 with or
// without a byte order mark, UTF-16 with one, and else GB18030 (which holds GBK and GB2312) when
// the file is no UTF-8; an encoding named by iconv's name overrides the guess. Only a regular
// file is read, and it is refused beyond the limits (the file's bytes as stored, the others as
// UTF-8): memory stays that of one record. Raises InvalidArgument, "file: reason" or
// "file:line: reason", for a file that cannot be read, is no regular file, exceeds a limit, is no
// text of its encoding or has quotes that do not pair.
class CsvReader final : public RecordSource {
public:
    CsvReader(const QString &path, const CsvLimits &limits, const QString &encoding = {});
    ~CsvReader() override;
    CsvReader(const CsvReader &) = delete;
    CsvReader &operator=(const CsvReader &) = delete;

    std::optional<CsvRecord> next() override;
    // The file's bytes, and those read so far.
    qint64 size() const override;
    qint64 bytesRead() const override;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace FixedAssets
