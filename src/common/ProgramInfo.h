#pragma once
// Program metadata: title, version and the folder the run treats as the
// program's own (configuration, log, bare workbook names).
#include <QString>

namespace tbx {

inline constexpr const char* kProgramTitle = "Tabellix";

// Major, minor and revision number of the build.
int VersionMajor();
int VersionMinor();
int VersionRevision();

// The program's folder without a trailing separator: the running binary's
// folder, unless SetProgramFolder chose another (both programs use the
// folder of the configuration in use; tests use a temporary folder).
QString ProgramFolder();
void SetProgramFolder(const QString& folder);

// Where the run log goes: the program's folder, or, when this user cannot
// write there (a configuration under /etc beside an installed program), the
// user's state folder ~/.local/state/tabellix, made when first needed.
QString LogFolder();

// The folder a bare workbook name is taken from: the program's folder, or
// the user's documents folder when the program's folder cannot be written.
QString WorkbookFolder();

// Where the commented example configurations of an installed copy are.
QString ExamplesFolder();

}  // namespace tbx
