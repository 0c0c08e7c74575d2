#pragma once
// The command line the programs share: -h/--help, --version, "--" and at
// most one configuration file.
#include <QString>
#include <QStringList>
#include <optional>

namespace tbx {

struct ProgramArguments {
  QString config;                 // "" when none was named
  QStringList switches;           // the program's own options that were given
  std::optional<int> exitStatus;  // set when the program ends at once
};

// Reads args (without the program name). Help goes to stdout with status 0,
// the version likewise; an unknown option or a second file gives a German
// line "<program>: ..." on stderr and status 1.
// switches are the program's own options without a value ("--check").
ProgramArguments ParseProgramArguments(const QStringList& args, const char* program, const char* usage,
                                       const QStringList& switches = {});

// "<program>: text" on stderr, in the system's encoding.
void Complain(const char* program, const QString& text);

}  // namespace tbx
