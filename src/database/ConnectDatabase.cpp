#include <QCoreApplication>

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

// A driver installed but not loadable (a library it needs is missing) fails
// with QtSql's own sentence, in English unless Qt's translation is loaded.
bool DriverNotLoaded(const QString& error) {
  return error.startsWith(QLatin1String("Driver not loaded")) ||
         error.startsWith(QCoreApplication::translate("QSqlDatabase", "Driver not loaded"));
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

QString MissingDriverText(DatabaseDriver driver) {
  QString name = QStringLiteral("ODBC");
  QString package = QStringLiteral("libqt6sql6-odbc");
  if (driver == DatabaseDriver::Sqlite) {
    name = QStringLiteral("SQLite");
    package = QStringLiteral("libqt6sql6-sqlite");
  } else if (driver == DatabaseDriver::Postgres) {
    name = QStringLiteral("PostgreSQL");
    package = QStringLiteral("libqt6sql6-psql");
  }
#ifdef Q_OS_WIN
  (void)package;
  return QStringLiteral("Der Datenbanktreiber für %1 (%2) fehlt: er gehört in den Ordner sqldrivers neben dem "
                        "Programm. Installieren Sie Tabellix neu.")
      .arg(name, QtDriverName(driver));
#else
  return QStringLiteral("Der Datenbanktreiber für %1 (%2) ist nicht installiert. Er kommt mit dem Debian-Paket "
                        "%3 (als Administrator: apt install %3).")
      .arg(name, QtDriverName(driver), package);
#endif
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
                                                    const QString& configFile, DatabaseLogin* login,
                                                    QString* failure) {
  const auto say = [&](const QString& message, const QString& caption) {
    if (failure) *failure = message;
    ShowDatabaseMessage(dialogs, message, caption);
  };
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
      say(MissingKeyMessage(key, section) + (i == 3 ? QStringLiteral(".") : QString()), configFile);
      return nullptr;
    }
  }
  const QString database = ReadIniValue(section, QString::fromLatin1(ini::kDatabase.key), configFile);
  if (NeedsDatabaseName(values[3]) && database.isEmpty()) {
    say(QStringLiteral("Database muss bei SQL Server Datenbanken angegeben werden."), configFile);
    return nullptr;
  }
  const QString text = ConnectionTextFor(values[0], values[1], values[2], values[3], database);
  const DatabaseLogin opened = LoginForSettings(values[0], values[1], values[2], values[3], database);
  QString error;
  std::unique_ptr<DatabaseConnection> db;
  if (DatabaseDriverAvailable(opened.driver)) db = DatabaseConnection::Open(opened, error);
  if (!db && (!DatabaseDriverAvailable(opened.driver) || DriverNotLoaded(error))) error = MissingDriverText(opened.driver);
  if (!db) {
    // The password stays out of the dialog: its text ends up in screenshots
    // and support tickets.
    say(QStringLiteral("Fehler beim Öffnen der Datenbankverbindung: ") + error + QStringLiteral("\r\n(") +
            MaskPassword(text) + u')',
        QString());  // a window shows the program's title and version
    return nullptr;
  }
  progress.SetStatus(QStringLiteral("Datenbank verbunden"));
  if (login) *login = opened;
  return db;
}

}  // namespace tbx
