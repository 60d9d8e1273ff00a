#include "accountset/IntegrityNotes.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace FixedAssets::IntegrityNotes {

namespace {

// Longer than the coarsest tick a file system stamps change times with (10 ms at 100 Hz): a
// change after it gets a later time than any change before it.
constexpr qint64 SettledNs = 20'000'000;

QString notePath(const AccountSetLocation &location)
{
    const QByteArray key =
        QCryptographicHash::hash(location.url().toUtf8(), QCryptographicHash::Sha256).toHex();
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           u"/allocfix/integrity/"_s + QString::fromLatin1(key.left(32));
}

qint64 nowNs()
{
    return QDateTime::currentDateTimeUtc().toMSecsSinceEpoch() * 1'000'000;
}

} // namespace

bool knownWhole(const AccountSetLocation &location, const SqlDialect::StorageLook &look)
{
    if (look.state.isEmpty())
        return false;
    QFile note(notePath(location));
    return note.open(QIODevice::ReadOnly) &&
           note.readAll() == location.url().toUtf8() + '\n' + look.state;
}

void rememberWhole(const SqlDialect &dialect, const AccountSetLocation &location,
                   const SqlDialect::StorageLook &look)
{
    if (look.state.isEmpty())
        return;
    const qint64 wait = look.changedNs + SettledNs - nowNs();
    if (wait > 0) {
        QThread::usleep(static_cast<unsigned long>(wait / 1000 + 1));
        if (dialect.storageLook(location).state != look.state)
            return;
    }
    const QString path = notePath(location);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return;
    // Written beside the note and moved over it: another process may read it meanwhile. No
    // flush to disk: a note lost in a power cut costs one check.
    QTemporaryFile staged(path + u".XXXXXX"_s);
    staged.setAutoRemove(false);
    if (!staged.open())
        return;
    const QByteArray text = location.url().toUtf8() + '\n' + look.state;
    const bool written = staged.write(text) == text.size() && staged.flush();
    staged.close();
    if (!written || std::rename(QFile::encodeName(staged.fileName()).constData(),
                                QFile::encodeName(path).constData()) != 0) {
        QFile::remove(staged.fileName());
    }
}

void forget(const AccountSetLocation &location)
{
    const QString path = notePath(location);
    QFile::remove(path);
    // The notes' folders, then the cache folder itself: rmdir leaves any that still hold files.
    QDir folder = QFileInfo(path).dir();
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    for (int level = 0; level < 3 && folder.rmdir(folder.absolutePath()); ++level) {
        if (QDir::cleanPath(folder.absolutePath()) == QDir::cleanPath(cache) || !folder.cdUp())
            break;
    }
}

} // namespace FixedAssets::IntegrityNotes
