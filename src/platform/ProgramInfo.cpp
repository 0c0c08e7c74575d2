#include "platform/ProgramInfo.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <unistd.h>

#include "TabellixVersion.h"

namespace tbx {
namespace {
QString& FolderOverride() {
  static QString folder;
  return folder;
}

QString ExecutableFolder() {
  if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
  // Before a QCoreApplication exists (or in tools without one) ask the kernel.
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return QString();
  return QFileInfo(QString::fromLocal8Bit(buf, static_cast<int>(n))).absolutePath();
}
}  // namespace

int VersionMajor() { return TABELLIX_VERSION_MAJOR; }
int VersionMinor() { return TABELLIX_VERSION_MINOR; }
int VersionRevision() { return TABELLIX_VERSION_PATCH; }

QString ProgramFolder() {
  const QString& f = FolderOverride();
  return f.isEmpty() ? ExecutableFolder() : f;
}

void SetProgramFolder(const QString& folder) {
  QString f = folder;
  while (f.size() > 1 && (f.endsWith(u'/') || f.endsWith(u'\\'))) f.chop(1);
  FolderOverride() = f;
}

}  // namespace tbx
