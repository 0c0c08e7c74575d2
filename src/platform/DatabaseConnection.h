#pragma once
// Database access on QtSql: a read-only connection opened from a connection
// text (see DatabaseConnectionText.h) whose queries give record sets fetched
// completely (RecordSet.h), so their record count is exact and they outlive
// the query.
//
// Read-only wherever the driver allows it, because Tabellix only reports:
// SQLite files are opened with QSQLITE_OPEN_READONLY, PostgreSQL sessions
// start with default_transaction_read_only, psqlODBC gets ReadOnly=1. A
// session can lift the PostgreSQL setting itself, so the one real boundary is
// a database role with nothing but SELECT rights.
//
// SQLite has no schemas: the file is attached to itself under the Database
// name of the connection text ("ulvo" when it has none), so that the
// schema-qualified names of the reference metadata resolve in it as they do
// on a server.
#include <QString>
#include <memory>
#include <optional>

#include "platform/RecordSet.h"

namespace tbx {

class DatabaseConnection {
 public:
  // Opens a connection; on failure returns null and sets error to the
  // driver's description.
  static std::unique_ptr<DatabaseConnection> Open(const QString& connectionText, QString& error);
  ~DatabaseConnection();
  DatabaseConnection(const DatabaseConnection&) = delete;
  DatabaseConnection& operator=(const DatabaseConnection&) = delete;

  // Runs a statement and fetches every record. std::nullopt when the
  // statement returns no rows at all (not a query). A failing statement
  // (syntax error, missing table, lost connection, refused write) throws
  // RunError with kErrDatabase and the driver's description.
  std::optional<RecordSet> Execute(const QString& statement);

 private:
  explicit DatabaseConnection(QString name) : name_(std::move(name)) {}
  QString name_;  // QtSql connection name, unique per connection
};

}  // namespace tbx
