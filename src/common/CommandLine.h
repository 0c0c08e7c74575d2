#pragma once
// The command line the programs share: -h/--help, --version, the program's
// own switches, "--" (after it every argument is an operand, even one that
// begins with "-") and the operands (a configuration file, or the inspection
// tool's document and names).
#include <QString>
#include <QStringList>
#include <cstdio>
#include <optional>

namespace tbx {

// Usage errors end a program with 2, as GNU programs do, so that scripts
// can tell a wrong call from a run that failed.
inline constexpr int kUsageErrorStatus = 2;

struct ProgramArguments {
  QString config;                 // the first operand; "" when none was named
  QStringList operands;           // every operand in order (config is the first)
  QStringList switches;           // the program's own options that were given
  std::optional<int> exitStatus;  // set when the program ends at once
};

// Reads args (without the program name). Help goes to stdout with status 0,
// the version likewise; an unknown option or more than maxOperands operands
// (-1: any number) give a German line "<program>: ..." on stderr and
// kUsageErrorStatus. switches are the program's own options without a value
// ("--check").
ProgramArguments ParseProgramArguments(const QStringList& args, const char* program, const QString& usage,
                                       const QStringList& switches = {}, int maxOperands = 1);

// "<program>: text" on stderr (or to), in the system's encoding. Control
// characters a file name brings are escaped so that they cannot move the
// terminal's cursor or retitle its window; line breaks of the text stay.
void Complain(const char* program, const QString& text, std::FILE* to = stderr);

// Runs before every message Complain writes (nullptr: nothing): a progress
// line redrawn in place on the terminal ends there first, so the message
// starts on a line of its own.
void SetBeforeMessage(void (*hook)());

}  // namespace tbx
