#pragma once

#include <QString>

namespace FixedAssets {

// "Cannot write <path>: <why>", as InvalidArgument.
[[noreturn]] void raiseCannotWrite(const QString &path, const QString &why);

} // namespace FixedAssets
