#pragma once

#include "app/ProgramOptions.h"

#include <QString>

namespace FixedAssets {

// Opens the account set the options name (for --demo and a first run without one, creates the
// demo set), registers the host services and publishes the host property string. Answers that
// string. Raises Failure for an account set or language that cannot be used; needs an
// application object, but no display.
QString openSession(const ProgramOptions &options);

} // namespace FixedAssets
