#pragma once
// Every section and key of "ZireVuz.ini", spelled once. Defaults live with
// the code that applies them; the README explains each key to users.
namespace tbx::ini {

// [Config]: start-up switches and limits of a run.
inline constexpr const char* kConfig = "Config";
inline constexpr const char* kWriteLog = "WriteLog";    // yes-word, default yes
inline constexpr const char* kGui = "GUI";              // yes-word, default yes
inline constexpr const char* kMaxRange = "maxRange";    // 1001..65000, default 65000
inline constexpr const char* kPattern = "Pattern";      // extensions, default "*"
inline constexpr const char* kKopfzeile = "Kopfzeile";  // header row switch

// [Pfade]: start folder and workbook when no folder is chosen in a dialog.
inline constexpr const char* kPfade = "Pfade";
inline constexpr const char* kSourceDir = "SourceDir";
inline constexpr const char* kExcelFile = "ExcelFile";

// [SQL]: database mode and the parts of the per-document query.
inline constexpr const char* kSql = "SQL";
inline constexpr const char* kDoSql = "DoSQL";
inline constexpr const char* kSelect = "Select";
inline constexpr const char* kFrom = "From";
inline constexpr const char* kWhere = "Where";
inline constexpr const char* kOrder = "Order";

// [ODBC]: the database connection.
inline constexpr const char* kOdbc = "ODBC";
inline constexpr const char* kDataSource = "DataSource";
inline constexpr const char* kUsername = "Username";
inline constexpr const char* kPassword = "Password";
inline constexpr const char* kProvider = "Provider";
inline constexpr const char* kDatabase = "Database";

// Column mapping (document properties or database fields) and selection criteria.
inline constexpr const char* kMapProperties = "MapProperties";
inline constexpr const char* kSqlMapProperties = "SQLMapProperties";
inline constexpr const char* kCriteria = "Criteria";

// Per-property sections hold format patterns under "Format0" to "Format9".
inline constexpr const char* kFormatKeyPrefix = "Format";

}  // namespace tbx::ini
