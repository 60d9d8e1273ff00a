#pragma once

#include <QIcon>

namespace AllocFix {

// The picture of the lookup buttons: a magnifying glass over a list.
QIcon lookupPicture();

} // namespace AllocFix
