#include "common/ProgramInfo.h"

#include "TabellixVersion.h"
#include "platform/UserFolders.h"

namespace tbx {
namespace {

struct Folder {
  QString path;      // "" until SetProgramFolder: the executable's folder
  int writable = -1;  // -1 not yet asked; asked once per folder, not per log line
};

Folder& Current() {
  static Folder folder;
  return folder;
}

bool ProgramFolderWritable() {
  Folder& f = Current();
  if (f.writable < 0) f.writable = FolderWritable(ProgramFolder()) ? 1 : 0;
  return f.writable == 1;
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
  QString f = folder;
  while (f.size() > 1 && (f.endsWith(u'/') || f.endsWith(u'\\'))) f.chop(1);
  Current() = Folder{f, -1};
}

QString LogFolder() {
  if (ProgramFolderWritable()) return ProgramFolder();
  const QString state = StateHomeFolder() + QStringLiteral("/tabellix");
  MakeFolder(state);
  return state;
}

QString WorkbookFolder() { return ProgramFolderWritable() ? ProgramFolder() : DocumentsFolder(); }

QString ExamplesFolder() { return QStringLiteral(TABELLIX_EXAMPLES_DIR); }

}  // namespace tbx
