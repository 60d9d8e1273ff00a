#pragma once

#include <QIcon>

namespace AllocFix {

// The picture of the editor's lookup buttons: a magnifying glass over a list.
QIcon lookupPicture();

} // namespace AllocFix
