#pragma once

#include "app/CommandTable.h"

#include <QString>
#include <QStringList>

// The texts made from the command table: the help of a command, the manual page and the data of
// the shell completion. Each is in the language in use.
namespace FixedAssets::ProgramHelp {

// withQtOptions: --help-all, which also lists the options Qt takes.
QString helpText(const CommandTable::Command &command, bool withQtOptions = false);

// allocfix(1) in roff; languages are the codes --language knows.
QString manualPage(const QStringList &languages);

// Shell assignments that the completion script starts with (see completion/allocfix.bash).
QString completionData(const QStringList &languages);

} // namespace FixedAssets::ProgramHelp
