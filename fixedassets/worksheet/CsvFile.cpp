#include "worksheet/CsvFile.h"

#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "worksheet/TextDecoder.h"
#include "worksheet/WorksheetFaults.h"

#include <QFile>

#include <array>
#include <cerrno>
#include <csv.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {

[[noreturn]] void raiseAt(const QString &path, qint64 line, const QString &reason)
{
    throw AllocFix::Failure(AllocFix::ErrorNumber::InvalidArgument,
                            WorksheetFault{static_cast<qsizetype>(line), reason}.in(path),
                            u"allocfix"_s);
}

qint64 kilobytes(qint64 bytes)
{
    return bytes / 1024;
}

qint64 megabytes(qint64 bytes)
{
    constexpr qint64 Megabyte = qint64{1} << 20;
    return (bytes + Megabyte - 1) / Megabyte;
}

// The separator the first line uses most outside quotes: ',' unless ';' or a tab win.
unsigned char separatorOf(QByteArrayView firstLine)
{
    std::array<int, 3> counts{};
    bool quoted = false;
    for (const char c : firstLine) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == ',')
            ++counts[0];
        else if (!quoted && c == ';')
            ++counts[1];
        else if (!quoted && c == '\t')
            ++counts[2];
    }
    if (counts[1] > counts[0] && counts[1] >= counts[2])
        return ';';
    return counts[2] > counts[0] ? '\t' : ',';
}

int isSpace(unsigned char c)
{
    return c == ' ' ? 1 : 0;
}

// What libcsv's callbacks hand over. They cannot raise through the C library, so a cell beyond
// the limit is only noted, and raised after the call.
struct Collector {
    QList<CsvRecord> records; // parsed, not yet taken
    QStringList fields;
    qint64 line = 0;           // the line being parsed
    qsizetype lineBreaks = 0;  // within the quoted fields of the current record
    qsizetype recordBytes = 0; // of the fields of the current record
    qsizetype cellBytes = 0;   // the limit
    bool cellTooLong = false;
};

void onField(void *data, size_t size, void *context)
{
    auto *collector = static_cast<Collector *>(context);
    if (size > static_cast<size_t>(collector->cellBytes)) {
        collector->cellTooLong = true;
        return;
    }
    const QString field =
        QString::fromUtf8(static_cast<const char *>(data), static_cast<qsizetype>(size));
    collector->lineBreaks += field.count(u'\n');
    collector->recordBytes += static_cast<qsizetype>(size);
    collector->fields.append(field);
}

void onRecordEnd(int, void *context)
{
    auto *collector = static_cast<Collector *>(context);
    const bool blank = std::all_of(collector->fields.cbegin(), collector->fields.cend(),
                                   [](const QString &field) { return field.trimmed().isEmpty(); });
    if (!blank)
        collector->records.append({collector->line - collector->lineBreaks, collector->fields});
    collector->fields.clear();
    collector->lineBreaks = 0;
    collector->recordBytes = 0;
}

} // namespace

struct CsvReader::State {
    QString path;
    CsvLimits limits;
    QFile file;
    QByteArray buffer; // read ahead, from bufferPos on
    qsizetype bufferPos = 0;
    bool fileEnded = false;
    qint64 size = 0;
    qint64 bytesRead = 0;
    csv_parser parser{};
    bool parserReady = false;
    bool ended = false;
    Collector collector;
    qint64 recordLine = 0;                // where the record being parsed began
    std::unique_ptr<TextDecoder> decoder; // none for UTF-8
    QString encoding;                     // as the faults name it

    // The next piece of the file as UTF-8; empty at its end.
    QByteArray readPiece(qsizetype bytes)
    {
        const QByteArray raw = file.read(bytes);
        fileEnded = raw.isEmpty();
        bytesRead += raw.size();
        if (bytesRead > limits.fileBytes) // grown since it was opened
            raiseFileTooLarge(bytesRead);
        if (!decoder)
            return raw;
        QByteArray text;
        if (!decoder->decode(raw, raw.isEmpty(), text)) {
            const qint64 line = collector.line + 1 +
                                QByteArrayView(buffer).sliced(bufferPos).count('\n') +
                                text.count('\n');
            raiseAt(path, line,
                    LoadLangString(u"这一行不是 %1 文本；请在电子表格程序中把工作表另存为“CSV "
                                   u"UTF-8”，或用 --encoding 指明文件的编码"_s)
                        .arg(encoding));
        }
        return text;
    }

    ~State()
    {
        if (parserReady)
            csv_free(&parser);
    }

    // The next line of the file, through its line break; empty at the end. Valid until the
    // next call.
    QByteArrayView readLine()
    {
        constexpr qsizetype ChunkBytes = 1 << 20;
        qsizetype end = buffer.indexOf('\n', bufferPos);
        while (end < 0 && !fileEnded) {
            if (buffer.size() - bufferPos > limits.recordBytes)
                raiseRecordTooLong(collector.line + 1);
            buffer.remove(0, bufferPos);
            bufferPos = 0;
            const QByteArray more = readPiece(ChunkBytes);
            const qsizetype searchFrom = buffer.size();
            buffer += more;
            end = buffer.indexOf('\n', searchFrom);
        }
        const qsizetype next = end < 0 ? buffer.size() : end + 1;
        const QByteArrayView line(buffer.constData() + bufferPos, next - bufferPos);
        bufferPos = next;
        if (line.isEmpty())
            return line;
        const qint64 number = collector.line + 1;
        if (number > limits.lines) {
            raiseAt(path, 0,
                    LoadLangString(u"工作表超过 %1 行；导入最多读取 %1 行"_s).arg(limits.lines));
        }
        if (line.size() > limits.recordBytes)
            raiseRecordTooLong(number);
        if (!decoder && !line.isValidUtf8()) {
            raiseAt(path, number,
                    LoadLangString(
                        u"这一行不是 UTF-8 文本；请在电子表格程序中把工作表另存为“CSV UTF-8”"_s));
        }
        return line;
    }

    [[noreturn]] void raiseRecordTooLong(qint64 line) const
    {
        raiseAt(path, line,
                LoadLangString(u"该行超过 %1 KB；导入读取的每行最多 %1 KB"_s)
                    .arg(kilobytes(limits.recordBytes)));
    }

    [[noreturn]] void raiseFileTooLarge(qint64 bytes) const
    {
        raiseAt(path, 0,
                LoadLangString(u"工作表有 %1 MB；导入读取的工作表最多 %2 MB"_s)
                    .arg(megabytes(bytes))
                    .arg(megabytes(limits.fileBytes)));
    }

    // Raises for the record being parsed when it, or its cell, has grown beyond the limits.
    void checkRecord() const
    {
        const qint64 line = recordLine;
        if (collector.cellTooLong || parser.entry_pos > static_cast<size_t>(limits.cellBytes)) {
            raiseAt(path, line,
                    LoadLangString(u"有一个单元格超过 %1 KB；导入读取的单元格最多 %1 KB"_s)
                        .arg(kilobytes(limits.cellBytes)));
        }
        if (collector.recordBytes + static_cast<qint64>(parser.entry_pos) > limits.recordBytes)
            raiseRecordTooLong(line);
    }

    void parse(QByteArrayView line)
    {
        // Made only for a fault: a worksheet has up to millions of lines.
        const auto unpaired = [] {
            return LoadLangString(u"引号不成对（含有引号的字段要整体加引号，其中的引号写两次）"_s);
        };
        if (!parserReady) {
            if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL) != 0)
                raiseAt(path, 0, LoadLangString(u"无法读取：内存不足"_s));
            parserReady = true;
            csv_set_delim(&parser, separatorOf(line));
            csv_set_space_func(&parser, isSpace);
        }
        if (line.isEmpty()) {
            ended = true;
            if (csv_fini(&parser, onField, onRecordEnd, &collector) != 0)
                raiseAt(path, collector.line, unpaired());
            checkRecord();
            return;
        }
        ++collector.line;
        if (parser.pstate == 0) // libcsv's ROW_NOT_BEGUN: a record may begin on this line
            recordLine = collector.line;
        const qsizetype bom = collector.line == 1 && line.startsWith("\xEF\xBB\xBF") ? 3 : 0;
        const auto bytes = static_cast<size_t>(line.size() - bom);
        if (csv_parse(&parser, line.constData() + bom, bytes, onField, onRecordEnd, &collector) !=
            bytes)
            raiseAt(path, collector.line - collector.lineBreaks, unpaired());
        checkRecord();
    }
};

namespace {

// Whether every line of the file is UTF-8, read a piece at a time from where it stands; leaves
// it at its start.
bool holdsUtf8(QFile &file)
{
    constexpr qsizetype PieceBytes = 1 << 20;
    QByteArray rest;
    bool valid = true;
    while (valid) {
        const QByteArray piece = file.read(PieceBytes);
        if (piece.isEmpty()) {
            valid = QByteArrayView(rest).isValidUtf8();
            break;
        }
        rest += piece;
        // A character is never cut at a line break; a line without one is refused as too long.
        const qsizetype end = rest.lastIndexOf('\n') + 1;
        valid = QByteArrayView(rest).first(end).isValidUtf8();
        rest.remove(0, end);
        if (rest.size() > PieceBytes)
            break;
    }
    file.seek(0);
    return valid;
}

} // namespace

CsvReader::CsvReader(const QString &path, const CsvLimits &limits, const QString &encoding)
    : m_state(std::make_unique<State>())
{
    State &s = *m_state;
    s.path = path;
    s.limits = limits;
    s.collector.cellBytes = limits.cellBytes;
    // Without waiting for a writer, should the path be a FIFO; it is refused right after.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        raiseAt(path, 0, LoadLangString(u"无法读取：%1"_s).arg(qt_error_string(errno)));
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        raiseAt(path, 0, LoadLangString(u"不是普通文件；导入只读取另存为 CSV 的工作表文件"_s));
    }
    if (!s.file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        raiseAt(path, 0, LoadLangString(u"无法读取：%1"_s).arg(s.file.errorString()));
    }
    s.size = status.st_size;
    if (s.size > limits.fileBytes)
        s.raiseFileTooLarge(s.size);
    s.encoding = encoding;
    if (encoding.isEmpty()) {
        const QByteArray start = s.file.peek(2);
        if (start == "\xFF\xFE")
            s.encoding = u"UTF-16LE"_s; // the mark stays, and is taken off as UTF-8's
        else if (start == "\xFE\xFF")
            s.encoding = u"UTF-16BE"_s;
        else if (!holdsUtf8(s.file))
            s.encoding = u"GB18030"_s;
    }
    if (!s.encoding.isEmpty() && !TextDecoder::isUtf8(s.encoding))
        s.decoder = std::make_unique<TextDecoder>(path, s.encoding);
}

CsvReader::~CsvReader() = default;

std::optional<CsvRecord> CsvReader::next()
{
    State &s = *m_state;
    while (s.collector.records.isEmpty() && !s.ended)
        s.parse(s.readLine());
    if (s.collector.records.isEmpty())
        return std::nullopt;
    return s.collector.records.takeFirst();
}

qint64 CsvReader::size() const
{
    return m_state->size;
}

qint64 CsvReader::bytesRead() const
{
    return m_state->bytesRead;
}

} // namespace FixedAssets
