#include "common/ConfigLocation.h"

#include "common/ConfigKeys.h"
#include "common/PathHelpers.h"
#include "common/Profile.h"
#include "common/ProgramInfo.h"
#include "common/SystemErrorText.h"
#include "text/Encodings.h"
#include "platform/FileSystem.h"
#include "platform/PathSeparator.h"
#include "platform/UserFolders.h"

namespace tbx {
namespace {

// Text in any encoding a configuration may have (UTF-8, Windows-1252,
// UTF-16 with its byte-order mark), once decoded, holds no NUL and few
// control characters besides tab, line ends and the DOS end-of-file mark; a
// tenth of them means binary content.
bool LooksLikeText(const QByteArray& bytes) {
  const QString text = DecodeTextFile(bytes);
  qsizetype controls = 0;
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if (u == 0) return false;
    if ((u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r' && u != u'\f' && u != 0x1A) || u == 0x7F) ++controls;
  }
  return controls * 10 <= text.size();
}

// name in Tabellix's own folder inside folder.
QString OwnFile(const QString& folder, const QString& name) {
  return folder + kPathSeparator + QLatin1String(kOwnFolderName) + kPathSeparator + name;
}

}  // namespace

// The places as each platform's users write them: with the variables and
// folders of its conventions.
#ifdef _WIN32
QString ConfigurationPlacesHelp() {
  return QStringLiteral(
             "  %1 neben dem Programm (nur bei einer portablen Kopie, nicht unter Programme)\n"
             "  %APPDATA%\\Tabellix\\%1\n"
             "  %ProgramData%\\Tabellix\\%1\n")
      .arg(QString::fromLatin1(ini::kConfigFileName));
}

QString FilePlacesHelp() {
  return QStringLiteral(
      "Das Protokoll und relative Pfade beziehen sich auf den Ordner der\n"
      "Konfigurationsdatei; ist er nicht beschreibbar, geht das Protokoll nach\n"
      "%LOCALAPPDATA%\\Tabellix\\ und eine Arbeitsmappe ohne Pfad in den\n"
      "Ordner Dokumente.\n");
}
#else
QString ConfigurationPlacesHelp() {
  return QStringLiteral(
             "  %1 neben dem Programm (nur bei einer portablen Kopie, nicht unter /usr)\n"
             "  $XDG_CONFIG_HOME/tabellix/%1 (ohne XDG_CONFIG_HOME: ~/.config/tabellix/%1)\n"
             "  tabellix/%1 in $XDG_CONFIG_DIRS (ohne XDG_CONFIG_DIRS: /etc/xdg/tabellix/%1)\n")
      .arg(QString::fromLatin1(ini::kConfigFileName));
}

QString FilePlacesHelp() {
  return QStringLiteral(
      "Eine portable Kopie (nicht unter /usr) schreibt das Protokoll in den Ordner\n"
      "der Konfigurationsdatei, auf den sich auch relative Pfade beziehen. Ein\n"
      "installiertes Programm schreibt das Protokoll nach $XDG_STATE_HOME/tabellix/\n"
      "(ohne XDG_STATE_HOME: ~/.local/state/tabellix/) und eine Arbeitsmappe ohne\n"
      "Ordner in den Dokumente-Ordner; ebenso eine portable Kopie, deren Ordner\n"
      "nicht beschreibbar ist.\n");
}
#endif

ConfigurationSearch FindConfiguration() {
  const QString name = QString::fromLatin1(ini::kConfigFileName);
  const QString inFolder = OwnFile(QString(), name);
  ConfigurationSearch search;
  // An installed program's folder belongs to the package manager: a
  // configuration in /usr/bin would be nobody's to edit, and the message
  // for a missing one must not suggest putting it there.
  const QString executableFolder = ExecutableFolder();
  if (IsPortableCopy(executableFolder)) search.searched << executableFolder + kPathSeparator + name;
  search.searched << ConfigHomeFolder() + inFolder;
  for (const QString& folder : ConfigFolders()) search.searched << folder + inFolder;
  for (const QString& candidate : search.searched) {
    if (IsRegularFile(candidate)) {
      search.path = candidate;
      break;
    }
  }
  return search;
}

QString MissingConfigurationText(const ConfigurationSearch& search) {
  const QString name = QString::fromLatin1(ini::kConfigFileName);
  return QStringLiteral("Keine Konfigurationsdatei %1 gefunden. Gesucht wurde in:\n  %2\n"
                        "Eine kommentierte Vorlage liegt in %3%1; kopieren Sie sie nach %4 und "
                        "passen Sie sie an.")
      .arg(name, search.searched.join(QStringLiteral("\n  ")), ExamplesFolder() + kPathSeparator,
           OwnFile(ConfigHomeFolder(), name));
}

std::optional<QString> ConfigurationFileProblem(const QString& path, QByteArray* bytes) {
  if (!IsRegularFile(path)) return QStringLiteral("Konfigurationsdatei nicht gefunden: %1").arg(path);
  // A configuration the user may not read would look empty to the profile
  // reader, and the run would blame a missing start folder instead.
  QByteArray content;
  if (const int err = ReadFileBounded(path, kProfileMaxFileBytes, content))
    return QStringLiteral("Die Konfigurationsdatei %1 kann nicht gelesen werden: %2").arg(path, ErrnoDescription(err));
  if (!LooksLikeText(content))
    return QStringLiteral("Die Konfigurationsdatei %1 ist keine Textdatei").arg(path);
  if (bytes) *bytes = std::move(content);
  return std::nullopt;
}

}  // namespace tbx
