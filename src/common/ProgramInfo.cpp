#include "common/ProgramInfo.h"

#include <QDir>

#include "TabellixVersion.h"
#include "platform/PathSeparator.h"
#include "platform/UserFolders.h"

namespace tbx {
namespace {

struct Folder {
  QString path;      // "" until SetProgramFolder: the executable's folder
  int writable = -1;  // -1 not yet asked; asked once per folder, not per log line
  int portable = -1;  // likewise, for the executable's folder
};

Folder& Current() {
  static Folder folder;
  return folder;
}

FilePlaces CurrentPlaces() {
  Folder& f = Current();
  if (f.writable < 0) f.writable = FolderWritable(ProgramFolder()) ? 1 : 0;
  if (f.portable < 0) f.portable = IsPortableCopy(ExecutableFolder()) ? 1 : 0;
  FilePlaceFacts facts;
  facts.configFolder = ProgramFolder();
  facts.portable = f.portable == 1;
  facts.configFolderWritable = f.writable == 1;
  facts.installedKeepsFilesBeside = InstalledKeepsFilesBesideConfiguration();
  facts.stateFolder = StateHomeFolder() + PathSeparatorText() + QLatin1String(kOwnFolderName);
  facts.documentsFolder = DocumentsFolder();
  return ChooseFilePlaces(facts);
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
  Current() = Folder{f, -1};
}

bool IsPortableCopy(const QString& executableFolder) { return !InInstalledLocation(executableFolder); }

FilePlaces ChooseFilePlaces(const FilePlaceFacts& facts) {
  const bool beside = (facts.portable || facts.installedKeepsFilesBeside) && facts.configFolderWritable;
  if (beside) return {facts.configFolder, facts.configFolder};
  return {facts.stateFolder, facts.documentsFolder};
}

QString LogFolder() {
  const FilePlaces places = CurrentPlaces();
  if (places.log != ProgramFolder()) MakeFolder(places.log);
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
