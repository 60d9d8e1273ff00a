#pragma once

#include "app/ProgramOptions.h"

#include <QJsonObject>
#include <QString>

#include <cstdio>

// The subcommands of allocfix, which work on an account set without a display. Each takes the
// parsed options and the host property string of the open session (ProgramSession.h), prints its
// answer on stdout and its progress and faults on stderr, and answers the exit status. Failures
// of the account set reach the caller as Failure.
namespace FixedAssets::Subcommands {

inline constexpr int ExitSuccess = 0;
inline constexpr int ExitNotCarriedThrough = 1;
inline constexpr int ExitBadInput = 2;

// Opens the session, runs the subcommand the options name, prints a failure as one line, and
// answers the exit status.
int run(const ProgramOptions &options);

// Prints text and a line break, at once (progress and answers interleave on a terminal).
void printLine(std::FILE *stream, const QString &text);
// Prints a failure as the program's one line on stderr.
void printFailure(const QString &description);
// Prints the answer of --format json on stdout: one object, indented. Its keys are documented in
// the manual page and kept: a key may be added, none renamed or dropped.
void printJson(const QJsonObject &object);
// The answer of --format json for a command that wrote a file: its name, its format and how
// many of what it wrote, under countName.
QJsonObject writtenJson(const QString &output, qsizetype count, const QString &countName);

int check(const ProgramOptions &options, const QString &props);
int adjust(const ProgramOptions &options, const QString &props);
int exportWorksheet(const ProgramOptions &options, const QString &props);
int importWorksheet(const ProgramOptions &options, const QString &props);
int exportAudit(const ProgramOptions &options, const QString &props);
// Exit 0 with the count and the last hash when the chain is intact, 1 naming the first entry that
// does not match.
int verifyAudit(const ProgramOptions &options, const QString &props);
int roles(const ProgramOptions &options, const QString &props);

} // namespace FixedAssets::Subcommands
