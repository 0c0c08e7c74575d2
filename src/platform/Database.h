#pragma once
// Database access on QtSql: a read-only connection opened from a connection
// text (see DatabaseConnectionText.h) and record sets that are fetched
// completely, so their record count is exact and they outlive the query.
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
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>

namespace tbx {

// The records of one query, all fetched, positioned on the first record.
// Copying a record set gives an independent one over the same records.
class RecordSet {
 public:
  RecordSet() = default;
  RecordSet(QStringList fieldNames, QList<QVariant> values);

  // The exact number of records.
  int RecordCount() const;

  int FieldCount() const { return static_cast<int>(names_.size()); }
  // The name of the field at position 0..FieldCount()-1, as the driver gives it.
  QString FieldName(int field) const { return names_.value(field); }
  // The position of the first field called name (without regard to case), or -1.
  int FieldIndex(const QString& name) const;

  // The value of a field of the first record; an invalid QVariant for a
  // database NULL, for a record set without records and for a bad position.
  QVariant Value(int field) const;

 private:
  QStringList names_;
  // Row after row, FieldCount() values each; shared by copies, never changed.
  std::shared_ptr<const QList<QVariant>> values_;
};

// A database value as text the way the classic variant-to-text conversion
// writes it (text unchanged, numbers and dates in the user's locale);
// std::nullopt for NULL and for values without a text form (binary data).
std::optional<QString> ValueText(const QVariant& value);

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
