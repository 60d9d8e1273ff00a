#include "app/OutputFile.h"

#include "accountset/OutsideText.h"
#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "worksheet/WriteFailure.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {

QString systemError(int number)
{
    return QString::fromLocal8Bit(std::strerror(number));
}

[[noreturn]] void refuse(const QString &text)
{
    throw AllocFix::Failure(AllocFix::ErrorNumber::InvalidArgument, text, u"allocfix"_s);
}

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return LoadLangString(u"不能写入 %1：它是文件夹"_s);
    if (S_ISFIFO(mode))
        return LoadLangString(u"不能写入 %1：它是命名管道，不是普通文件"_s);
    if (S_ISSOCK(mode))
        return LoadLangString(u"不能写入 %1：它是套接字，不是普通文件"_s);
    return LoadLangString(u"不能写入 %1：它是设备，不是普通文件"_s);
}

// The folder the path names its file in, as given: ".." and links in it are left to the system.
QString folderOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? u"."_s : path.left(slash + 1);
}

// The path with its folder's links and ".." resolved; empty when the folder is not there.
QString canonicalPath(const QString &path)
{
    const QString folder = QFileInfo(folderOf(path)).canonicalFilePath();
    return folder.isEmpty() ? QString() : folder + u'/' + path.mid(path.lastIndexOf(u'/') + 1);
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

mode_t newFileMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// The account set's file and its companions, whether there or not.
QStringList readFilesOf(const AccountSetLocation &reading)
{
    QStringList files;
    if (reading.kind == AccountSetLocation::Kind::SQLite && !reading.path.isEmpty()) {
        // SQLite keeps its journals beside the file it opened, and beside the file a link leads
        // to.
        QStringList sets{reading.path};
        if (const QString real = QFileInfo(reading.path).canonicalFilePath();
            !real.isEmpty() && real != reading.path)
            sets.append(real);
        for (const QString &set : std::as_const(sets)) {
            for (const QString &suffix : {QString(), u"-wal"_s, u"-shm"_s, u"-journal"_s})
                files.append(set + suffix);
        }
    }
    return files;
}

} // namespace

void OutputFile::checkStandardOutput(const AccountSetLocation &reading)
{
    struct stat output {};
    if (fstat(STDOUT_FILENO, &output) != 0 || !S_ISREG(output.st_mode))
        return;
    const QStringList files = readFilesOf(reading);
    for (const QString &file : files) {
        struct stat read {};
        if (stat(QFile::encodeName(file).constData(), &read) == 0 && sameFile(output, read)) {
            refuse(LoadLangString(u"不能写入 %1：它就是正在读取的账套（%2）"_s)
                       .arg(LoadLangString(u"标准输出"_s), OutsideText::shown(file)));
        }
    }
}

OutputFile::OutputFile(const QString &path, bool replace, const AccountSetLocation &reading)
    : m_path(path)
    , m_replace(replace)
    , m_readFiles(readFilesOf(reading))
{
    checkTarget();
    // A file without a name until commit(), so that a kill leaves nothing behind. The writers
    // open files by name (the spreadsheet library too), so they get this one's name in /proc.
    m_partFd =
        ::open(QFile::encodeName(folderOf(path)).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (m_partFd >= 0) {
        m_partPath = u"/proc/self/fd/"_s + QString::number(m_partFd);
        return;
    }
    // A file system without such files: a named part file, which a kill leaves behind.
    QTemporaryFile part(folderOf(path) + u".allocfix-XXXXXX."_s + QFileInfo(path).suffix());
    part.setAutoRemove(false);
    if (!part.open())
        raiseCannotWrite(m_path, part.errorString());
    m_partPath = part.fileName();
}

OutputFile::~OutputFile()
{
    if (m_partFd >= 0)
        ::close(m_partFd);
    else if (!m_committed && !m_partPath.isEmpty())
        QFile::remove(m_partPath);
}

QString OutputFile::accountSetFileAt(const QString &canonical) const
{
    const auto file =
        std::find_if(m_readFiles.cbegin(), m_readFiles.cend(), [&canonical](const QString &read) {
            return !canonical.isEmpty() && canonicalPath(read) == canonical;
        });
    return file != m_readFiles.cend() ? *file : QString();
}

mode_t OutputFile::checkTarget() const
{
    const QByteArray target = QFile::encodeName(m_path);
    struct stat entry {};
    if (lstat(target.constData(), &entry) != 0) {
        if (errno != ENOENT)
            raiseCannotWrite(m_path, systemError(errno));
        if (const QString file = accountSetFileAt(canonicalPath(m_path)); !file.isEmpty())
            refuse(LoadLangString(u"不能写入 %1：它就是正在读取的账套（%2）"_s)
                       .arg(OutsideText::shown(m_path), OutsideText::shown(file)));
        return newFileMode();
    }
    const bool link = S_ISLNK(entry.st_mode);
    struct stat through {};
    const bool leads = link && stat(target.constData(), &through) == 0;
    for (const QString &file : m_readFiles) {
        struct stat read {};
        if (stat(QFile::encodeName(file).constData(), &read) == 0 &&
            (sameFile(entry, read) || (leads && sameFile(through, read)))) {
            refuse(LoadLangString(u"不能写入 %1：它就是正在读取的账套（%2）"_s)
                       .arg(OutsideText::shown(m_path), OutsideText::shown(file)));
        }
    }
    if (link) {
        if (!m_replace) {
            refuse(LoadLangString(
                       u"不能写入 %1：它是指向 %2 的符号链接；加上 --force 可替换链接本身"_s)
                       .arg(OutsideText::shown(m_path),
                            OutsideText::shown(QFileInfo(m_path).symLinkTarget())));
        }
        return newFileMode();
    }
    if (!S_ISREG(entry.st_mode))
        refuse(kindOf(entry.st_mode).arg(OutsideText::shown(m_path)));
    if (!m_replace) {
        refuse(LoadLangString(u"%1 已经存在；请指定另一个文件，或加 --force 替换它"_s)
                   .arg(OutsideText::shown(m_path)));
    }
    return entry.st_mode & 07777;
}

void OutputFile::commit()
{
    const mode_t mode = checkTarget();
    const QByteArray part = QFile::encodeName(m_partPath);
    // On disk before it takes the name, so that a crash leaves the old file or the whole new one.
    const int fd = ::open(part.constData(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    const int syncError = errno;
    if (fd >= 0)
        ::close(fd);
    if (!synced)
        raiseCannotWrite(m_path, systemError(syncError));
    if (::chmod(part.constData(), mode) != 0)
        raiseCannotWrite(m_path, systemError(errno));
    if (m_partFd >= 0)
        giveName();
    else if (std::rename(part.constData(), QFile::encodeName(m_path).constData()) != 0)
        raiseCannotWrite(m_path, systemError(errno));
    m_committed = true;
}

void OutputFile::giveName() const
{
    const QByteArray part = QFile::encodeName(m_partPath);
    const QByteArray target = QFile::encodeName(m_path);
    // A new file takes its name at once, and never over a file made since the check.
    if (::linkat(AT_FDCWD, part.constData(), AT_FDCWD, target.constData(), AT_SYMLINK_FOLLOW) == 0)
        return;
    const int error = errno;
    if (error == EEXIST && !m_replace) {
        refuse(LoadLangString(u"%1 已经存在；请指定另一个文件，或加 --force 替换它"_s)
                   .arg(OutsideText::shown(m_path)));
    }
    if (error != EEXIST)
        raiseCannotWrite(m_path, systemError(error));
    // A file that is there is replaced whole: the new one gets a name of its own beside it, then
    // takes the target's. Only a kill between the two leaves that name behind.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray beside =
            QFile::encodeName(folderOf(m_path) + u".allocfix-"_s + QString::number(::getpid()) +
                              u'-' + QString::number(attempt) + u'.' + QFileInfo(m_path).suffix());
        if (::linkat(AT_FDCWD, part.constData(), AT_FDCWD, beside.constData(), AT_SYMLINK_FOLLOW) !=
            0) {
            if (errno == EEXIST)
                continue;
            raiseCannotWrite(m_path, systemError(errno));
        }
        if (std::rename(beside.constData(), target.constData()) != 0) {
            const int renameError = errno;
            ::unlink(beside.constData());
            raiseCannotWrite(m_path, systemError(renameError));
        }
        return;
    }
    raiseCannotWrite(m_path, systemError(EEXIST));
}

} // namespace FixedAssets
