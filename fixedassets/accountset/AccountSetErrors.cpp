#include "accountset/AccountSetErrors.h"

#include "accountset/AccountSetLocation.h"
#include "accountset/OutsideText.h"
#include "host/MMTS.h"

#include <QFileInfo>
#include <QStorageInfo>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

void raiseDamaged(const AccountSetLocation &location, const QString &damage)
{
    throw AllocFix::Failure(
        AccountSetError::Damaged,
        LoadLangString(u"账套 %1 已损坏（%2）。没有做任何修改；请从备份恢复。"_s)
            .arg(location.shown(), damage),
        AccountSetError::Source);
}

void raiseReadOnly(const AccountSetLocation &location, const QString &reason)
{
    throw AllocFix::Failure(
        AccountSetError::ReadOnly,
        LoadLangString(
            u"账套 %1 是只读的：%2。不能在其中调整或保存；请使它可写，或在副本上工作。"_s)
            .arg(location.shown(), reason),
        AccountSetError::Source);
}

void raiseNoRoom(const AccountSetLocation &location, const QString &reason)
{
    throw AllocFix::Failure(
        AccountSetError::Full,
        LoadLangString(
            u"账套 %1 没有剩余空间：磁盘或其大小限制已满。没有保存任何内容；请腾出空间后重试。（%2）"_s)
            .arg(location.shown(), reason),
        AccountSetError::Source);
}

void raiseConnectionLost(const AccountSetLocation &location, const QString &reason)
{
    throw AllocFix::Failure(
        AccountSetError::ConnectionLost,
        LoadLangString(u"账套 %1：与服务器的连接已断开；没有保存任何内容。请重试。（%2）"_s)
            .arg(location.shown(), OutsideText::shown(reason)),
        AccountSetError::Source);
}

bool noRoomBeside(const QString &path)
{
    constexpr qint64 LeastRoom = 64 * 1024;
    const QStorageInfo disk(QFileInfo(path).absolutePath());
    return disk.isValid() && disk.bytesAvailable() < LeastRoom;
}

} // namespace FixedAssets
