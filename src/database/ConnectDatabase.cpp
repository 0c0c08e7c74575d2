#include "common/Config.h"
#include "common/ConfigKeys.h"
#include "database/DatabaseMessages.h"
#include "database/modDatabase.h"
#include "interaction/ProgressView.h"
#include "database/ConnectionText.h"

namespace tbx {
namespace {

const QString kTemplate = QStringLiteral("Provider=$4;Data Source=$1;User ID=$2;Password=$3;");

// Providers of SQL databases need the database name; the test is the one
// users have always relied on: the letters "sql" anywhere in the name.
bool NeedsDatabaseName(const QString& provider) { return provider.contains(u"sql", Qt::CaseInsensitive); }

QString MissingKeyMessage(const QString& key, const QString& section) {
  return key + QStringLiteral(" unter '") + section + QStringLiteral("' nicht angegeben");
}

}  // namespace

QString ConnectionTextFor(const QString& dataSource, const QString& userName, const QString& password,
                          const QString& provider, const QString& database) {
  // One marker after the other on the text so far: a value holding a later
  // marker is changed by the later replacement, as configurations expect.
  QString text = kTemplate;
  text.replace(QStringLiteral("$1"), dataSource);
  text.replace(QStringLiteral("$2"), userName);
  text.replace(QStringLiteral("$3"), password);
  text.replace(QStringLiteral("$4"), provider);
  if (NeedsDatabaseName(provider)) text += QStringLiteral("Database=") + database + u';';
  return text;
}

DatabaseLogin LoginForSettings(const QString& dataSource, const QString& userName, const QString& password,
                               const QString& provider, const QString& database) {
  DatabaseLogin login = LoginFor(ParseConnectionText(ConnectionTextFor(dataSource, userName, password, provider, database)));
  // The connection text would read the Database=, UID= and PWD= parts of
  // such a string as its own and cut the data source there.
  if (login.driver == DatabaseDriver::Odbc && dataSource.contains(u'='))
    login = DatabaseLogin{DatabaseDriver::Odbc, dataSource, userName, password,
                          NeedsDatabaseName(provider) ? database : QString()};
  return login;
}

std::unique_ptr<DatabaseConnection> ConnectDatabase(Dialogs& dialogs, ProgressView& progress, const QString& section,
                                                    const QString& configFile, DatabaseLogin* login) {
  progress.SetStatus(QStringLiteral("Verbinde zur Datenbank"));
  // Keys are read one after the other and reading stops at the first empty
  // one, so a user fixing the settings sees one message at a time.
  QString values[4];
  const ini::Setting* const keys[4] = {&ini::kDataSource, &ini::kUsername, &ini::kPassword, &ini::kProvider};
  for (int i = 0; i < 4; ++i) {
    const QString key = QString::fromLatin1(keys[i]->key);
    values[i] = ReadIniValue(section, key, configFile);
    if (values[i].isEmpty()) {
      // The provider's message has always ended with a full stop.
      ShowDatabaseMessage(dialogs, MissingKeyMessage(key, section) + (i == 3 ? QStringLiteral(".") : QString()), configFile);
      return nullptr;
    }
  }
  const QString database = ReadIniValue(section, QString::fromLatin1(ini::kDatabase.key), configFile);
  if (NeedsDatabaseName(values[3]) && database.isEmpty()) {
    ShowDatabaseMessage(dialogs, QStringLiteral("Database muss bei SQL Server Datenbanken angegeben werden."), configFile);
    return nullptr;
  }
  const QString text = ConnectionTextFor(values[0], values[1], values[2], values[3], database);
  const DatabaseLogin opened = LoginForSettings(values[0], values[1], values[2], values[3], database);
  QString error;
  std::unique_ptr<DatabaseConnection> db;
  if (DatabaseDriverAvailable(opened.driver)) db = DatabaseConnection::Open(opened, error);
  else error = QStringLiteral("Datenbanktreiber %1 nicht verfügbar").arg(QtDriverName(opened.driver));
  if (!db) {
    // The password stays out of the dialog: its text ends up in screenshots
    // and support tickets.
    ShowDatabaseMessage(dialogs, QStringLiteral("Fehler beim Öffnen der Datenbankverbindung: ") + error +
                            QStringLiteral("\r\n(") + MaskPassword(text) + u')',
                        QString());  // a window shows the program's title and version
    return nullptr;
  }
  progress.SetStatus(QStringLiteral("Datenbank verbunden"));
  if (login) *login = opened;
  return db;
}

}  // namespace tbx
