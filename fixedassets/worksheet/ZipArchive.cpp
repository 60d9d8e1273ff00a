#include "worksheet/ZipArchive.h"

#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "worksheet/WorksheetFaults.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {

qint64 megabytes(qint64 bytes)
{
    constexpr qint64 Megabyte = qint64{1} << 20;
    return (bytes + Megabyte - 1) / Megabyte;
}

// An entry as a sequential device. It never raises (QXmlStreamReader reads it): a fault ends the
// data and is kept for ZipArchive::raiseIfFaulty.
class EntryDevice final : public QIODevice {
public:
    EntryDevice(zip_file_t *file, qint64 declared, qint64 limit, qint64 textLimit)
        : m_file(file)
        , m_declared(declared)
        , m_limit(limit)
        , m_textLimit(textLimit)
    {
        open(QIODevice::ReadOnly);
    }
    ~EntryDevice() override { zip_fclose(m_file); }

    bool isSequential() const override { return true; }
    qint64 expanded() const { return m_expanded; }
    qint64 declared() const { return m_declared; }
    const QString &fault() const { return m_fault; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (!m_fault.isEmpty())
            return -1;
        const zip_int64_t read = zip_fread(m_file, data, static_cast<zip_uint64_t>(maxSize));
        if (read < 0) {
            m_fault = QString::fromUtf8(zip_error_strerror(zip_file_get_error(m_file)));
            return -1;
        }
        m_expanded += read;
        if (m_expanded > m_declared || m_expanded > m_limit) {
            m_fault = LoadLangString(u"压缩包中的一项展开后超过它声明的 %1 MB 或 %2 MB 的上限；"
                                     u"文件已损坏或是恶意构造的"_s)
                          .arg(megabytes(m_declared))
                          .arg(megabytes(m_limit));
            return -1;
        }
        if (!withinTextLimit(data, read)) {
            m_fault = LoadLangString(u"压缩包中的一项有一段超过 %1 KB 的连续文本，"
                                     u"比任何单元格能容纳的都长；文件已损坏或是恶意构造的"_s)
                          .arg(m_textLimit >> 10);
            return -1;
        }
        return read;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    // QXmlStreamReader holds a text, or a tag, whole until it ends: the bytes between two '<'
    // are bounded here, as they arrive, so that one endless text cannot take the memory.
    bool withinTextLimit(const char *data, qint64 size)
    {
        const char *const end = data + size;
        for (const char *at = data;;) {
            const auto *markup = static_cast<const char *>(std::memchr(at, '<', end - at));
            m_text += (markup ? markup : end) - at;
            if (m_text > m_textLimit)
                return false;
            if (!markup)
                return true;
            m_text = 0;
            at = markup + 1;
        }
    }

    zip_file_t *m_file;
    qint64 m_declared;
    qint64 m_limit;
    qint64 m_expanded = 0;
    qint64 m_textLimit;
    qint64 m_text = 0; // bytes since the last '<'
    QString m_fault;
};

} // namespace

struct ZipArchive::Archive {
    zip_t *zip = nullptr;
    ~Archive()
    {
        if (zip)
            zip_discard(zip);
    }
};

void ZipArchive::raise(const QString &reason) const
{
    throw AllocFix::Failure(AllocFix::ErrorNumber::InvalidArgument,
                            WorksheetFault{0, reason}.in(m_path), u"allocfix"_s);
}

ZipArchive::ZipArchive(const QString &path, const CsvLimits &limits)
    : m_path(path)
    , m_expandedLimit(limits.fileBytes)
    // A cell's text as XML: every character may be written as a reference of several bytes.
    , m_textLimit(qint64{limits.cellBytes} * 16)
    , m_archive(std::make_unique<Archive>())
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        raise(LoadLangString(u"无法读取：%1"_s).arg(qt_error_string(errno)));
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        raise(LoadLangString(u"不是普通文件；导入只读取另存为 CSV 的工作表文件"_s));
    }
    if (status.st_size > limits.fileBytes) {
        ::close(fd);
        raise(LoadLangString(u"工作表有 %1 MB；导入读取的工作表最多 %2 MB"_s)
                  .arg(megabytes(status.st_size))
                  .arg(megabytes(limits.fileBytes)));
    }
    // A workbook saved with a password is no zip archive but an encrypted compound document.
    char magic[8] = {};
    const bool compound = ::pread(fd, magic, sizeof magic, 0) == sizeof magic &&
                          QByteArrayView(magic, sizeof magic) ==
                              QByteArrayView("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    if (compound) {
        ::close(fd);
        raise(LoadLangString(
            u"工作簿已加密（设有打开密码）；请在电子表格程序中去掉密码后另存，再导入"_s));
    }
    int error = 0;
    m_archive->zip = zip_fdopen(fd, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!m_archive->zip) {
        ::close(fd);
        raise(LoadLangString(u"不是能读取的电子表格文件（zip 压缩包已损坏）"_s));
    }
}

ZipArchive::~ZipArchive() = default;

QStringList ZipArchive::names() const
{
    QStringList names;
    const zip_int64_t count = zip_get_num_entries(m_archive->zip, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        if (const char *name = zip_get_name(m_archive->zip, static_cast<zip_uint64_t>(i), 0))
            names.append(QString::fromUtf8(name));
    }
    return names;
}

bool ZipArchive::contains(const QString &name) const
{
    return zip_name_locate(m_archive->zip, name.toUtf8().constData(), 0) >= 0;
}

std::unique_ptr<QIODevice> ZipArchive::entry(const QString &name) const
{
    const QByteArray utf8 = name.toUtf8();
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(m_archive->zip, utf8.constData(), 0, &stat) != 0)
        return nullptr;
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE) {
        raise(LoadLangString(
            u"工作簿已加密（设有打开密码）；请在电子表格程序中去掉密码后另存，再导入"_s));
    }
    if (!(stat.valid & ZIP_STAT_SIZE) || stat.size > static_cast<zip_uint64_t>(m_expandedLimit)) {
        raise(LoadLangString(u"压缩包中的 %1 展开后有 %2 MB，超过 %3 MB 的上限；文件已损坏或是"
                             u"恶意构造的"_s)
                  .arg(WorksheetFaults::shown(name))
                  .arg(megabytes(static_cast<qint64>(stat.size)))
                  .arg(megabytes(m_expandedLimit)));
    }
    zip_file_t *file = zip_fopen(m_archive->zip, utf8.constData(), 0);
    if (!file) {
        raise(LoadLangString(u"无法读取压缩包中的 %1：%2"_s)
                  .arg(WorksheetFaults::shown(name),
                       QString::fromUtf8(zip_strerror(m_archive->zip))));
    }
    return std::make_unique<EntryDevice>(file, static_cast<qint64>(stat.size), m_expandedLimit,
                                         m_textLimit);
}

void ZipArchive::raiseIfFaulty(const QIODevice &entry) const
{
    if (const auto *device = dynamic_cast<const EntryDevice *>(&entry);
        device && !device->fault().isEmpty())
        raise(device->fault());
}

} // namespace FixedAssets

namespace FixedAssets {

qint64 ZipArchive::expanded(const QIODevice &entry)
{
    const auto *device = dynamic_cast<const EntryDevice *>(&entry);
    return device ? device->expanded() : 0;
}

} // namespace FixedAssets

namespace FixedAssets {

qint64 ZipArchive::declared(const QIODevice &entry)
{
    const auto *device = dynamic_cast<const EntryDevice *>(&entry);
    return device ? device->declared() : 0;
}

} // namespace FixedAssets
