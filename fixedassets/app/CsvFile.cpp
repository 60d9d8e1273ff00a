#include "app/CsvFile.h"

#include "host/ErrorRecord.h"
#include "host/MMTS.h"

#include <QFile>
#include <QStringDecoder>

#include <array>
#include <csv.h>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {

[[noreturn]] void raiseAt(const QString &path, qsizetype line, const QString &reason)
{
    throw AllocFix::Failure(AllocFix::ErrorNumber::InvalidArgument,
                            line > 0 ? u"%1:%2: %3"_s.arg(path).arg(line).arg(reason)
                                     : u"%1: %2"_s.arg(path, reason),
                            u"allocfix"_s);
}

QList<QByteArray> physicalLines(const QByteArray &content)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        end = end < 0 ? content.size() : end + 1;
        lines.append(content.mid(start, end - start));
        start = end;
    }
    return lines;
}

void requireUtf8(const QString &path, const QList<QByteArray> &lines)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decoder(lines[i]);
        if (decoder.hasError()) {
            raiseAt(path, i + 1,
                    LoadLangString(u"这一行不是 UTF-8 文本；请在电子表格程序中把工作表另存为“CSV UTF-8”"_s));
        }
    }
}

// The separator the first line uses most outside quotes: ',' unless ';' or a tab win.
unsigned char separatorOf(const QByteArray &firstLine)
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

struct Collector {
    QList<CsvRecord> records;
    QStringList fields;
    qsizetype line = 0;       // the line being parsed
    qsizetype lineBreaks = 0; // within the quoted fields of the current record
};

void onField(void *data, size_t size, void *context)
{
    auto *collector = static_cast<Collector *>(context);
    const QString field =
        QString::fromUtf8(static_cast<const char *>(data), static_cast<qsizetype>(size));
    collector->lineBreaks += field.count(u'\n');
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
}

} // namespace

QList<CsvRecord> readCsvFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        raiseAt(path, 0, LoadLangString(u"无法读取：%1"_s).arg(file.errorString()));
    QByteArray content = file.readAll();
    if (content.startsWith("\xEF\xBB\xBF"))
        content.remove(0, 3);
    const QList<QByteArray> lines = physicalLines(content);
    requireUtf8(path, lines);

    csv_parser parser{};
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL) != 0)
        raiseAt(path, 0, LoadLangString(u"无法读取：内存不足"_s));
    const auto freeParser = qScopeGuard([&parser] { csv_free(&parser); });
    csv_set_delim(&parser, lines.isEmpty() ? ',' : separatorOf(lines.first()));
    csv_set_space_func(&parser, isSpace);

    Collector collector;
    const QString unpaired = LoadLangString(u"引号不成对（含有引号的字段要整体加引号，其中的引号写两次）"_s);
    for (const QByteArray &line : lines) {
        ++collector.line;
        const auto size = static_cast<size_t>(line.size());
        if (csv_parse(&parser, line.constData(), size, onField, onRecordEnd, &collector) != size)
            raiseAt(path, collector.line - collector.lineBreaks, unpaired);
    }
    if (csv_fini(&parser, onField, onRecordEnd, &collector) != 0)
        raiseAt(path, collector.line, unpaired);
    return collector.records;
}

} // namespace FixedAssets
