#pragma once
// Database mode, the chief header of database/ (named after the classic
// module): the values of the mapped columns come from each document's record
// in a relational database instead of its property sets.
//
// How a run uses it:
//   1. Once, when [SQL] DoSQL is a yes-word and a start folder was chosen:
//        std::unique_ptr<DatabaseConnection> db = ConnectDatabase(*run.dialogs, *run.progress, ini::kOdbc, run.configPath);
//      null means no connection (a dialog has told the user why); the run
//      logs that and ends. Keep the connection for the whole run.
//   2. For each selected document:
//        std::optional<RecordSet> record = FindDocumentRecord(*run.dialogs, *db, fullPath, configuration);
//      std::nullopt means the database holds no record for the file (or the
//      query settings are incomplete, which a dialog has said); the document
//      is skipped. It throws RunError when the query fails (syntax error,
//      missing table, lost connection): let it reach the run-time error path.
//   3. For each mapped column: GetRecordValue(*db, *record, propertyName, cache),
//      with one ReferenceCache for the run.
//   With several connections (TABELLIX_DB_CONNECTIONS), RecordReadAhead
//   (RecordReadAhead.h) does 2 and 3 ahead of the loop.
//
// Every read takes the run's configuration (the batch program's file need
// not be called ZireVuz.ini); a document's query reads the version of it
// the loop took for that document. Every message goes through
// ShowDatabaseMessage (DatabaseMessages.h); the status
// line of the run's progress view shows the connection steps.
#include <QString>
#include <memory>
#include <optional>

#include "common/CellValue.h"
#include "interaction/Dialogs.h"
#include "interaction/ProgressView.h"
#include "common/Profile.h"
#include "database/RecordSet.h"
#include "database/ReferenceCache.h"
#include "platform/DatabaseConnection.h"

namespace tbx {

// Opens the run's connection from the keys DataSource, Username, Password,
// Provider (and Database, required when the provider contains "sql") of
// section in configFile; null after a message (captioned with configFile)
// when a key is missing or the connection cannot be opened.
// login, when given, receives what opened it, for the run's further
// connections; failure, when given, the message shown (for the log).
std::unique_ptr<DatabaseConnection> ConnectDatabase(Dialogs& dialogs, ProgressView& progress, const QString& section,
                                                    const QString& configFile, DatabaseLogin* login = nullptr,
                                                    QString* failure = nullptr);

// Why a driver cannot be used, in German: which one is missing and which
// package brings it.
QString MissingDriverText(DatabaseDriver driver);

// The connection text for the values, in the order $1 to $4 is filled in,
// with "Database=…;" behind it for a provider that contains "sql".
QString ConnectionTextFor(const QString& dataSource, const QString& userName, const QString& password,
                          const QString& provider, const QString& database);

// The login for those values: through the connection text, except that an
// ODBC DataSource with "=" in it is a whole ODBC connection string
// (Driver={SQL Server};Server=…;Database=…), passed on as written.
DatabaseLogin LoginForSettings(const QString& dataSource, const QString& userName, const QString& password,
                               const QString& provider, const QString& database);

// "select … from … where …[ order by …]" from the keys Select, From, Where,
// Order of section in config; "" after a message (captioned with the
// configuration's file) when Select, From or Where is missing.
QString BuildQuery(Dialogs& dialogs, const QString& section, const ProfileSnapshot& config);
// The same without a dialog: missing, when given, receives the message.
QString QueryText(const QString& section, const ProfileSnapshot& config, QString* missing = nullptr);

// The statement for the document at path: "%Id" (exact case) replaced by
// its lower-cased file name with single quotes doubled.
QString DocumentStatement(QString statement, const QString& path);

// The record of the document at path: the first record of the [SQL] query
// with "%Id" replaced by the lower-cased file name (single quotes doubled);
// std::nullopt when the query settings are incomplete or nothing matches.
// Throws RunError when the query fails.
std::optional<RecordSet> FindDocumentRecord(Dialogs& dialogs, DatabaseConnection& db, const QString& path,
                                            const ProfileSnapshot& config);

// The first record of statement; std::nullopt when it has none. Throws
// RunError (3704, the driver's description) when the statement fails.
std::optional<RecordSet> QueryFirstRecord(DatabaseConnection& db, const QString& statement);

// The record field a mapped name reads: the name without its reference
// marker "r:" (any case); reference, when given, tells whether it had one.
QString RecordFieldName(const QString& mappedName, bool* reference = nullptr);

// The value of the field fieldName of record as a cell takes it (text ""
// when missing, NULL or without text form; numbers and dates typed as
// common/CellValue.h says); a name starting with "r:" (any case) is a
// reference field, shown by the display text of the object it points to.
// Throws RunError when the connection is lost while a reference is looked up.
CellValue GetRecordValue(DatabaseConnection& db, const RecordSet& record, const QString& fieldName,
                       ReferenceCache& cache);

// The display text of the object rawValue of the reference column
// fieldName (class 5) through the ulvo reference metadata: LOGIN for the
// users table, DESCRIPTION otherwise; rawValue when anything fails, except a
// lost connection, which throws RunError (kErrDatabase). The field's table
// and the object's text are taken from cache when looked up before.
QString ResolveReferenceValue(DatabaseConnection& db, const QString& fieldName, const QString& rawValue,
                              ReferenceCache& cache);

}  // namespace tbx
