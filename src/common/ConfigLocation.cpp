#include "common/ConfigLocation.h"

#include "common/ConfigKeys.h"
#include "common/PathHelpers.h"
#include "common/SystemErrorText.h"
#include "common/ProgramInfo.h"
#include "platform/UserFolders.h"

namespace tbx {

ConfigurationSearch FindConfiguration() {
  const QString name = QString::fromLatin1(ini::kConfigFileName);
  const QString inFolder = QStringLiteral("/tabellix/") + name;
  ConfigurationSearch search;
  search.searched << ExecutableFolder() + u'/' + name << ConfigHomeFolder() + inFolder;
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
                        "Eine kommentierte Vorlage liegt in %3/%1; kopieren Sie sie nach %4 und "
                        "passen Sie sie an.")
      .arg(name, search.searched.join(QStringLiteral("\n  ")), ExamplesFolder(), search.searched.value(1));
}

QString UnreadableConfigurationText(const QString& path, int err) {
  return QStringLiteral("Die Konfigurationsdatei %1 kann nicht gelesen werden: %2").arg(path, ErrnoDescription(err));
}

}  // namespace tbx
