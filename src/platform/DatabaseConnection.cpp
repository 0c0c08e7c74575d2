#include "platform/DatabaseConnection.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <atomic>


namespace tbx {
namespace {

// Drivers time out on an unreachable server only after minutes; a user
// waiting in front of the progress window should hear sooner.
constexpr int kLoginTimeoutSeconds = 15;

// Drivers split their descriptions over lines (psqlODBC: "FATAL: …\nThe
// connection has been lost"); the description ends up in one log line.
QString ErrorText(const QSqlError& error) {
  const QString driver = error.driverText().simplified();
  const QString database = error.databaseText().simplified();
  if (driver.isEmpty()) return database;
  if (database.isEmpty()) return driver;
  return driver + QStringLiteral(": ") + database;
}

// QPSQL closes a connection it has lost; every statement after that fails
// without a description, and a log line "Laufzeitfehler 3704: " tells nobody
// anything.
QString FailureText(const QSqlError& error, const QSqlDatabase& db) {
  const QString text = ErrorText(error);
  if (!text.isEmpty()) return text;
  return db.isOpen() ? QStringLiteral("Der Datenbanktreiber nennt keinen Grund")
                     : QStringLiteral("Die Verbindung zur Datenbank ist unterbrochen");
}

QString NextConnectionName() {
  static std::atomic<int> counter{0};
  return QStringLiteral("tabellix-db-%1").arg(++counter);
}

QString SqlText(QString value) { return u'\'' + value.replace(u'\'', QStringLiteral("''")) + u'\''; }

QString SqlIdentifier(QString name) { return u'"' + name.replace(u'"', QStringLiteral("\"\"")) + u'"'; }

// ODBC attribute values with a separator or brace in them go in braces.
QString OdbcValue(QString value) {
  if (!value.contains(u';') && !value.contains(u'{') && !value.contains(u'}') && value.trimmed() == value)
    return value;
  return u'{' + value.replace(u'}', QStringLiteral("}}")) + u'}';
}

// Sets up db for SQLite: the file itself, read-only. Opening never creates
// a missing file in this mode.
void ConfigureSqlite(QSqlDatabase& db, const DatabaseLogin& c) {
  db.setDatabaseName(c.dataSource);
  db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
}

// SQLite has no schemas; attaching the file to itself under the Database name
// lets schema-qualified names such as ulvo.KRV_CLASS resolve. Without a
// Database part the file is attached as "ulvo", the schema of the reference
// metadata. "main" and "temp" already exist in every SQLite connection.
bool AttachSqliteSchema(QSqlDatabase& db, const DatabaseLogin& c, QString& error) {
  const QString schema = c.database.isEmpty() ? QStringLiteral("ulvo") : c.database;
  if (schema.compare(u"main", Qt::CaseInsensitive) == 0 || schema.compare(u"temp", Qt::CaseInsensitive) == 0)
    return true;
  QSqlQuery attach(db);
  if (attach.exec(QStringLiteral("ATTACH DATABASE %1 AS %2").arg(SqlText(c.dataSource), SqlIdentifier(schema))))
    return true;
  error = ErrorText(attach.lastError());
  return false;
}

// Data Source is "host" or "host:port"; an IPv6 address with a port is
// written in brackets ("[::1]:5432").
void ConfigurePostgres(QSqlDatabase& db, const DatabaseLogin& c) {
  QString host = c.dataSource;
  const qsizetype colon = host.lastIndexOf(u':');
  const bool bracketed = host.startsWith(u'[');
  if (colon > 0 && (bracketed || host.indexOf(u':') == colon)) {
    bool ok = false;
    const int port = host.mid(colon + 1).toInt(&ok);
    if (ok) {
      db.setPort(port);
      host.truncate(colon);
    }
  }
  if (bracketed && host.endsWith(u']')) host = host.mid(1, host.size() - 2);
  db.setHostName(host);
  db.setDatabaseName(c.database);
  db.setUserName(c.user);
  db.setPassword(c.password);
  db.setConnectOptions(QStringLiteral("connect_timeout=%1;options='-c default_transaction_read_only=on'")
                           .arg(kLoginTimeoutSeconds));
}

// The ";"-separated parts of an ODBC connection string; a ";" inside braces
// ({SQL Server; x}) belongs to its value.
QStringList OdbcParts(const QString& text) {
  QStringList parts;
  QString part;
  bool braced = false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (braced && c == u'}' && i + 1 < text.size() && text[i + 1] == u'}') {
      part += QStringLiteral("}}");
      ++i;
      continue;
    }
    if (c == u'{') braced = true;
    if (c == u'}') braced = false;
    if (c == u';' && !braced) {
      if (!part.trimmed().isEmpty()) parts << part;
      part.clear();
      continue;
    }
    part += c;
  }
  if (!part.trimmed().isEmpty()) parts << part;
  return parts;
}

// QODBC puts "FILEDSN=" before a database name with ".dsn" in it, nothing
// before one with "DRIVER=" or "SERVER=", and "DSN=" before any other. A
// whole connection string of the last kind ("DSN=Konstruktion;APP=x") would
// become "DSN=DSN=…": its own DSN= (or FILEDSN=) part goes first, without
// the key that QODBC puts back.
QString ForQodbcPrefix(const QString& connection) {
  QString key;
  if (connection.contains(u".dsn", Qt::CaseInsensitive))
    key = QStringLiteral("FILEDSN");
  else if (!connection.contains(u"DRIVER=", Qt::CaseInsensitive) && !connection.contains(u"SERVER=", Qt::CaseInsensitive))
    key = QStringLiteral("DSN");
  else
    return connection;
  QStringList parts = OdbcParts(connection);
  for (qsizetype i = 0; i < parts.size(); ++i) {
    const qsizetype eq = parts[i].indexOf(u'=');
    if (eq > 0 && parts[i].left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
      QString value = parts.takeAt(i).mid(eq + 1);
      parts.prepend(value);
      return parts.join(u';');
    }
  }
  return parts.join(u';');  // no such part: the driver says what is missing
}

void ConfigureOdbc(QSqlDatabase& db, const DatabaseLogin& c) {
  db.setDatabaseName(OdbcConnectionString(c));
  db.setConnectOptions(QStringLiteral("SQL_ATTR_ACCESS_MODE=SQL_MODE_READ_ONLY;SQL_ATTR_LOGIN_TIMEOUT=%1")
                           .arg(kLoginTimeoutSeconds));
}

}  // namespace

// Data Source is an ODBC data source name or a whole connection string
// (with "="). The credentials go into the string in ODBC's own quoting,
// since QODBC appends them unquoted; in a whole connection string its own
// DATABASE=, UID= and PWD= come first, and drivers take the first of a
// repeated key. ReadOnly=1 is psqlODBC's switch; other drivers ignore
// attributes they do not know.
QString OdbcConnectionString(const DatabaseLogin& c) {
  QString text = c.dataSource.contains(u'=') ? ForQodbcPrefix(c.dataSource) : c.dataSource;
  if (!c.database.isEmpty()) text += QStringLiteral(";DATABASE=") + OdbcValue(c.database);
  text += QStringLiteral(";UID=") + OdbcValue(c.user) + QStringLiteral(";PWD=") + OdbcValue(c.password);
  text += QStringLiteral(";ReadOnly=1");
  return text;
}

QString QtDriverName(DatabaseDriver driver) {
  switch (driver) {
    case DatabaseDriver::Sqlite: return QStringLiteral("QSQLITE");
    case DatabaseDriver::Postgres: return QStringLiteral("QPSQL");
    case DatabaseDriver::Odbc: break;
  }
  return QStringLiteral("QODBC");
}

bool DatabaseDriverAvailable(DatabaseDriver driver) { return QSqlDatabase::isDriverAvailable(QtDriverName(driver)); }

std::unique_ptr<DatabaseConnection> DatabaseConnection::Open(const DatabaseLogin& c, QString& error) {
  const DatabaseDriver driver = c.driver;
  std::unique_ptr<DatabaseConnection> connection(new DatabaseConnection(NextConnectionName()));
  QSqlDatabase db = QSqlDatabase::addDatabase(QtDriverName(driver), connection->name_);
  switch (driver) {
    case DatabaseDriver::Sqlite: ConfigureSqlite(db, c); break;
    case DatabaseDriver::Postgres: ConfigurePostgres(db, c); break;
    case DatabaseDriver::Odbc: ConfigureOdbc(db, c); break;
  }
  if (!db.open()) {
    error = ErrorText(db.lastError());
    return nullptr;
  }
  if (driver == DatabaseDriver::Sqlite && !AttachSqliteSchema(db, c, error)) return nullptr;
  return connection;
}

DatabaseConnection::~DatabaseConnection() {
  {
    QSqlDatabase db = QSqlDatabase::database(name_, false);
    db.close();
  }
  QSqlDatabase::removeDatabase(name_);
}

bool DatabaseConnection::FirstRecord(const QString& statement, std::optional<QueryRecord>& record, QString& error) {
  record.reset();
  const QSqlDatabase db = QSqlDatabase::database(name_, false);
  QSqlQuery query(db);
  query.setForwardOnly(true);
  if (!query.exec(statement)) {
    error = FailureText(query.lastError(), db);
    return false;
  }
  lastSucceeded_ = statement;
  if (!query.isSelect()) return true;
  if (!query.next()) {
    // A connection lost while the rows arrive shows only here.
    if (query.lastError().isValid()) {
      error = FailureText(query.lastError(), db);
      return false;
    }
    return true;
  }
  const QSqlRecord fields = query.record();
  QueryRecord first;
  for (int i = 0; i < fields.count(); ++i) {
    first.names << fields.fieldName(i);
    first.values << (query.isNull(i) ? QVariant() : query.value(i));
  }
  record = std::move(first);
  return true;
}

bool DatabaseConnection::Lost() {
  const QSqlDatabase db = QSqlDatabase::database(name_, false);
  if (!db.isOpen()) return true;
  if (lastSucceeded_.isEmpty()) return false;
  QSqlQuery probe(db);
  probe.setForwardOnly(true);
  return !probe.exec(lastSucceeded_);
}

}  // namespace tbx
