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

// Whether an executable in executableFolder is a portable copy: anywhere
// but where the system installs programs (/usr, Program Files).
bool IsPortableCopy(const QString& executableFolder);

// Where a run's log goes and where a workbook named without a folder is
// written. A portable copy keeps everything in one folder, that of its
// configuration; an installed program keeps its configuration folder for
// configuration (a dozen runs had left a 44 MB log and ten backups of the
// workbook in ~/.config/tabellix): the log goes into the user's state folder
// and the workbook into the documents folder, except where the platform
// keeps them beside the configuration (Windows). Whatever cannot be written
// beside the configuration goes to those folders too.
struct FilePlaceFacts {
  QString configFolder;  // the program's folder: that of the configuration in use
  bool portable = true;
  bool configFolderWritable = true;
  bool installedKeepsFilesBeside = false;  // InstalledKeepsFilesBesideConfiguration()
  QString stateFolder;                     // the user's state folder for Tabellix
  QString documentsFolder;
};
struct FilePlaces {
  QString log;
  QString workbook;
};
FilePlaces ChooseFilePlaces(const FilePlaceFacts& facts);

// The places of the running program: ChooseFilePlaces for the program's
// folder. LogFolder makes the state folder when it is chosen.
QString LogFolder();
QString WorkbookFolder();

// Where the commented example configurations of an installed copy are.
QString ExamplesFolder();

}  // namespace tbx
