#pragma once
// Database access on QtSql: a read-only connection whose queries give their
// first record. QtSql connections belong to the thread that opened them, so
// a connection is opened, used and closed on one thread.
//
// Read-only wherever the driver allows it, because Tabellix only reports:
// SQLite files are opened with QSQLITE_OPEN_READONLY, PostgreSQL sessions
// start with default_transaction_read_only, psqlODBC gets ReadOnly=1. A
// session can lift the PostgreSQL setting itself, so the one real boundary is
// a database role with nothing but SELECT rights.
//
// SQLite has no schemas: the file is attached to itself under the login's
// database name ("ulvo" when it has none), so that the schema-qualified
// names of the reference metadata resolve in it as they do on a server.
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>

namespace tbx {

enum class DatabaseDriver {
  Sqlite,    // QSQLITE, the file opened read-only
  Postgres,  // QPSQL
  Odbc,      // QODBC
};

struct DatabaseLogin {
  DatabaseDriver driver = DatabaseDriver::Odbc;
  QString dataSource;  // SQLite: the file; PostgreSQL: host or host:port; ODBC: a data source name
                       // or a whole ODBC connection string (with "=")
  QString user;
  QString password;
  QString database;  // "" when none was given
};

// The first record of a query: its field names as the driver gives them and
// one value per field (an invalid QVariant for NULL).
struct QueryRecord {
  QStringList names;
  QList<QVariant> values;
};

class DatabaseConnection {
 public:
  // Opens a connection on the calling thread; on failure returns null and
  // sets error to the driver's description.
  static std::unique_ptr<DatabaseConnection> Open(const DatabaseLogin& login, QString& error);
  ~DatabaseConnection();
  DatabaseConnection(const DatabaseConnection&) = delete;
  DatabaseConnection& operator=(const DatabaseConnection&) = delete;

  // Runs statement and fetches its first record only, reading forward: a
  // query that matches a million rows costs one. record is std::nullopt when
  // there is none (or the statement is no query). False when the statement
  // fails (syntax error, missing table, lost connection, refused write), with
  // the driver's description in error.
  [[nodiscard]] bool FirstRecord(const QString& statement, std::optional<QueryRecord>& record, QString& error);

  // Whether the connection is gone, asked after a statement failed: the
  // driver has closed it (QPSQL does when the server is gone) or the last
  // statement that succeeded on it fails now (psqlODBC keeps a lost
  // connection open). Costs one query then, none while the driver says.
  [[nodiscard]] bool Lost();

 private:
  explicit DatabaseConnection(QString name) : name_(std::move(name)) {}
  QString name_;  // QtSql connection name, unique per connection
  QString lastSucceeded_;  // the probe of Lost(): it worked on this connection once
};

// What QODBC is given as database name for an ODBC login: the data source
// name or the whole connection string, arranged for the prefix QODBC puts
// before it, with the database, the credentials and ReadOnly=1 behind it.
QString OdbcConnectionString(const DatabaseLogin& login);

// The QtSql driver's name for driver ("QPSQL").
QString QtDriverName(DatabaseDriver driver);
// Whether the driver's plugin is installed.
bool DatabaseDriverAvailable(DatabaseDriver driver);

}  // namespace tbx
