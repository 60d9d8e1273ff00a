#include "app/StandardStreams.h"

#include "host/MMTS.h"

#include <QFile>

#include <cstdio>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {

constexpr qint64 ChunkBytes = qint64{1} << 20;

[[noreturn]] void raise(const QString &description)
{
    throw AllocFix::Failure(AllocFix::ErrorNumber::InvalidArgument, description, u"allocfix"_s);
}

// What the readers choose by: a zip file is a workbook, an OpenDocument one if its first entry
// says so; anything else is read as CSV.
QString suffixFor(const QByteArray &start)
{
    if (!start.startsWith(QByteArray("PK\x03\x04", 4)))
        return u"csv"_s;
    return start.contains("application/vnd.oasis.opendocument.spreadsheet") ? u"ods"_s : u"xlsx"_s;
}

} // namespace

SpooledFile::SpooledFile(const QString &suffix, QString shownAs)
    : m_path(m_folder.filePath(u"spooled."_s + suffix))
    , m_shownAs(std::move(shownAs))
{
    if (!m_folder.isValid())
        raise(LoadLangString(u"无法创建临时文件夹：%1"_s).arg(m_folder.errorString()));
}

SpooledFile SpooledFile::fromStandardInput(qint64 limitBytes)
{
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        raise(LoadLangString(u"无法读取标准输入：%1"_s).arg(input.errorString()));
    // The first chunk tells the kind, and so the file's name.
    QByteArray chunk = input.read(std::min(ChunkBytes, limitBytes + 1));
    SpooledFile spooled(suffixFor(chunk), LoadLangString(u"标准输入"_s));
    QFile file(spooled.m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFile::ReadOwner | QFile::WriteOwner))
        raise(LoadLangString(u"无法创建临时文件：%1"_s).arg(file.errorString()));
    qint64 copied = 0;
    while (!chunk.isEmpty()) {
        if (file.write(chunk) != chunk.size())
            raise(LoadLangString(u"无法保存标准输入的内容：%1"_s).arg(file.errorString()));
        copied += chunk.size();
        if (copied > limitBytes)
            break;
        chunk = input.read(std::min(ChunkBytes, limitBytes + 1 - copied));
    }
    if (!file.flush())
        raise(LoadLangString(u"无法保存标准输入的内容：%1"_s).arg(file.errorString()));
    return spooled;
}

SpooledFile SpooledFile::forStandardOutput()
{
    return SpooledFile(u"csv"_s, LoadLangString(u"标准输出"_s));
}

void SpooledFile::copyToStandardOutput() const
{
    QFile file(m_path);
    QFile output;
    if (!file.open(QIODevice::ReadOnly) || !output.open(stdout, QIODevice::WriteOnly))
        raise(LoadLangString(u"无法写标准输出：%1"_s).arg(file.errorString()));
    std::fflush(stdout);
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(ChunkBytes);
        if (chunk.isEmpty() || output.write(chunk) != chunk.size())
            raise(LoadLangString(u"无法写标准输出：%1"_s).arg(output.errorString()));
    }
    if (!output.flush())
        raise(LoadLangString(u"无法写标准输出：%1"_s).arg(output.errorString()));
}

AllocFix::Failure SpooledFile::renamed(const AllocFix::Failure &failure) const
{
    AllocFix::ErrorRecord record = failure.record();
    record.description.replace(m_path, m_shownAs);
    return AllocFix::Failure(record);
}

} // namespace FixedAssets
