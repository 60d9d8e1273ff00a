#pragma once

#include "fixedassets_export.h"
#include "host/ErrorRecord.h"

// Error numbers of the account set and its services, in the range outside services use.
namespace FixedAssets::AccountSetError {
inline constexpr qint32 BadLocation = AllocFix::ErrorNumber::ServiceBase + 1001;
inline constexpr qint32 CannotOpen = AllocFix::ErrorNumber::ServiceBase + 1002;
inline constexpr qint32 NotAnAccountSet = AllocFix::ErrorNumber::ServiceBase + 1003;
inline constexpr qint32 TooNew = AllocFix::ErrorNumber::ServiceBase + 1004;
inline constexpr qint32 QueryFailed = AllocFix::ErrorNumber::ServiceBase + 1005;
inline constexpr qint32 UnknownCard = AllocFix::ErrorNumber::ServiceBase + 1006;
inline constexpr qint32 SaveRejected = AllocFix::ErrorNumber::ServiceBase + 1007;
inline constexpr qint32 NotSupported = AllocFix::ErrorNumber::ServiceBase + 1008;
// Another user held the write lock too long; nothing was saved.
inline constexpr qint32 Busy = AllocFix::ErrorNumber::ServiceBase + 1009;
// No room left on the disk or within the database's size limit; nothing was saved.
inline constexpr qint32 Full = AllocFix::ErrorNumber::ServiceBase + 1010;
inline constexpr qint32 Occupied = AllocFix::ErrorNumber::ServiceBase + 1011;
inline constexpr qint32 Damaged = AllocFix::ErrorNumber::ServiceBase + 1012;
inline constexpr qint32 ReadOnly = AllocFix::ErrorNumber::ServiceBase + 1013;
// The server ended the connection; what the transaction wrote is gone with it.
inline constexpr qint32 ConnectionLost = AllocFix::ErrorNumber::ServiceBase + 1014;
// The user's role lacks the right; nothing was changed.
inline constexpr qint32 NotPermitted = AllocFix::ErrorNumber::ServiceBase + 1018;

inline const QString Source = QStringLiteral("FixedAssets.AccountSet");
} // namespace FixedAssets::AccountSetError

namespace FixedAssets {

struct AccountSetLocation;

// The failures that say what the account set's state means for the user, whichever call met it.
[[noreturn]] FIXEDASSETS_EXPORT void raiseDamaged(const AccountSetLocation &location,
                                                  const QString &damage);
[[noreturn]] FIXEDASSETS_EXPORT void raiseReadOnly(const AccountSetLocation &location,
                                                   const QString &reason);
[[noreturn]] FIXEDASSETS_EXPORT void raiseNoRoom(const AccountSetLocation &location,
                                                 const QString &reason);
[[noreturn]] FIXEDASSETS_EXPORT void raiseConnectionLost(const AccountSetLocation &location,
                                                         const QString &reason);

// Whether the disk that holds path has less room left than a write needs to finish: what tells a
// full disk from other failures that report only "I/O error".
FIXEDASSETS_EXPORT bool noRoomBeside(const QString &path);

} // namespace FixedAssets
