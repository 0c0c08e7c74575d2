#include "platform/UserFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

#include "platform/posix/NativeNames.h"

namespace tbx {
namespace {

QString AbsoluteFromEnvironment(const char* name) {
  const QString value = qEnvironmentVariable(name);
  return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : QString();
}

QString InHome(const char* relative) { return QDir::homePath() + u'/' + QLatin1String(relative); }

}  // namespace

QString ConfigHomeFolder() {
  const QString folder = AbsoluteFromEnvironment("XDG_CONFIG_HOME");
  return folder.isEmpty() ? InHome(".config") : folder;
}

QStringList ConfigFolders() {
  QStringList folders;
  for (const QString& f : qEnvironmentVariable("XDG_CONFIG_DIRS").split(u':', Qt::SkipEmptyParts))
    if (QDir::isAbsolutePath(f)) folders << QDir::cleanPath(f);
  if (folders.isEmpty()) folders << QStringLiteral("/etc/xdg");
  return folders;
}

QString StateHomeFolder() {
  const QString folder = AbsoluteFromEnvironment("XDG_STATE_HOME");
  return folder.isEmpty() ? InHome(".local/state") : folder;
}

QString DocumentsFolder() {
  // Servers often have no documents folder; the home folder stands in.
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

QString ExecutableFolder() {
  if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
  // Before a QCoreApplication exists (or in tools without one) ask the kernel.
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return QString();
  return QFileInfo(QString::fromLocal8Bit(buf, static_cast<int>(n))).absolutePath();
}

bool InInstalledLocation(const QString& folder) {
  // A package unpacked elsewhere (dpkg -x, a system image mounted for a
  // check) keeps the layout it is installed with.
  const QString f = QDir::cleanPath(folder);
  return f == QLatin1String("/usr") || f.startsWith(QLatin1String("/usr/")) || f.endsWith(QLatin1String("/usr/bin")) ||
         f.endsWith(QLatin1String("/usr/local/bin"));
}

bool InstalledKeepsFilesBesideConfiguration() { return false; }

bool FolderWritable(const QString& folder) {
  return ::access(NativePath(folder).constData(), W_OK | X_OK) == 0;
}

bool MakeFolder(const QString& folder) {
  // State folders hold logs with paths and names of the user's documents.
  if (QFileInfo(folder).isDir()) return true;
  return QDir().mkpath(folder) && QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}  // namespace tbx
