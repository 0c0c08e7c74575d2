#include "common/ProgramInfo.h"

#include <QDir>
#include <optional>

#include "TabellixVersion.h"
#include "platform/PathSeparator.h"
#include "platform/UserFolders.h"

namespace tbx {
namespace {

// The places are asked for on every log line: worked out once per program
// folder, since the system calls behind them (known folders, a probe file)
// cost more than the line itself.
struct Folder {
  QString path;                     // "" until SetProgramFolder: the executable's folder
  std::optional<FilePlaces> places;  // once asked
  bool logFolderMade = false;
};

Folder& Current() {
  static Folder folder;
  return folder;
}

const FilePlaces& CurrentPlaces() {
  Folder& f = Current();
  if (!f.places) {
    FilePlaceFacts facts;
    facts.configFolder = ProgramFolder();
    facts.portable = IsPortableCopy(ExecutableFolder());
    facts.configFolderWritable = FolderWritable(facts.configFolder);
    facts.installedKeepsFilesBeside = InstalledKeepsFilesBesideConfiguration();
    facts.stateFolder = StateHomeFolder() + PathSeparatorText() + QLatin1String(kOwnFolderName);
    facts.documentsFolder = DocumentsFolder();
    f.places = ChooseFilePlaces(facts);
  }
  return *f.places;
}

}  // namespace

int VersionMajor() { return TABELLIX_VERSION_MAJOR; }
int VersionMinor() { return TABELLIX_VERSION_MINOR; }
int VersionRevision() { return TABELLIX_VERSION_PATCH; }

QString ProgramFolder() {
  const QString& f = Current().path;
  return f.isEmpty() ? ExecutableFolder() : f;
}

void SetProgramFolder(const QString& folder) {
  // Qt gives paths with "/" on every platform; the log and the workbook
  // show them as the platform writes them (Z:\Out, not Z:/Out).
  QString f = QDir::toNativeSeparators(folder);
  while (f.size() > 1 && (f.endsWith(u'/') || f.endsWith(u'\\'))) f.chop(1);
  Current() = Folder{f, std::nullopt, false};
}

bool IsPortableCopy(const QString& executableFolder) { return !InInstalledLocation(executableFolder); }

FilePlaces ChooseFilePlaces(const FilePlaceFacts& facts) {
  const bool beside = (facts.portable || facts.installedKeepsFilesBeside) && facts.configFolderWritable;
  if (beside) return {facts.configFolder, facts.configFolder};
  return {facts.stateFolder, facts.documentsFolder};
}

QString LogFolder() {
  Folder& f = Current();
  const FilePlaces& places = CurrentPlaces();
  if (!f.logFolderMade && places.log != ProgramFolder()) f.logFolderMade = MakeFolder(places.log);
  return places.log;
}

QString WorkbookFolder() { return CurrentPlaces().workbook; }

// Windows has no shared documentation folder: the examples come with the
// programs, in the portable folder and the installed one alike.
QString ExamplesFolder() {
#ifdef _WIN32
  return ExecutableFolder() + QStringLiteral("\\examples");
#else
  return QStringLiteral(TABELLIX_EXAMPLES_DIR);
#endif
}

}  // namespace tbx
