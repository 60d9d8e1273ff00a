#pragma once

#include "app/ProgramOptions.h"

#include <QString>

namespace FixedAssets {

// Makes the language of every text the program prints known before the first one: the code
// asked for, else the system's where a catalog holds it, else English. Registers the host
// services and publishes the language in the host property string; a code without a catalog
// counts as not asked for here, and openSession refuses it.
void useLanguage(const QString &requested);

// Opens the account set the options name (for --demo and a first run without one, creates the
// demo set), registers the host services and publishes the host property string. Answers that
// string. Raises Failure for an account set or language that cannot be used; needs an
// application object, but no display.
QString openSession(const ProgramOptions &options);

} // namespace FixedAssets
