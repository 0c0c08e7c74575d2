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
// folder, unless SetProgramFolder chose another (the batch program uses the
// folder of its configuration file; tests use a temporary folder).
QString ProgramFolder();
void SetProgramFolder(const QString& folder);

}  // namespace tbx
