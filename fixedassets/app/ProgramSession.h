#pragma once

#include "app/ProgramOptions.h"

#include <QString>
#include <QStringList>

namespace FixedAssets {

// Makes the language of every text the program prints known before the first one: the code
// asked for, else the system's where a catalog holds it, else English. Registers the host
// services and publishes the language in the host property string; a code without a catalog
// counts as not asked for here, and openSession refuses it.
void useLanguage(const QString &requested);

// Opens the account set the options name (for --demo and a first run without one, creates the
// demo set), registers the host services and publishes the host property string. Answers that
// string. Raises Failure for an account set or language that cannot be used, having taken back
// what it made; needs an application object, but no display. made, if given, gets what this
// run made (the data folders and the demo set of a first run), for a command that fails to
// take back with removeMade.
QString openSession(const ProgramOptions &options, QStringList *made = nullptr);

// Closes every account set and removes what openSession made, the last made first: files with
// their journals, and folders if they are empty.
void removeMade(const QStringList &made);

// The language codes --language knows: CHS, and one for each catalog.
QStringList knownLanguages();

// The language of a session: the one asked for (empty: the system's, or ENG if it has no
// catalog). Raises Failure for an asked language the program does not know.
QString chosenLanguage(const QString &asked);

} // namespace FixedAssets
