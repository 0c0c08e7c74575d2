#pragma once
// Every section and key of "ZireVuz.ini", spelled once, with the default a
// missing or empty value takes beside it. Nothing else in the program spells
// a section or key name; the README explains each to users.
namespace tbx::ini {

// The name of the configuration file.
inline constexpr const char* kConfigFileName = "ZireVuz.ini";

// [Config]: start-up switches and limits of a run.
inline constexpr const char* kConfig = "Config";
inline constexpr const char* kWriteLog = "WriteLog";  // yes-word
inline constexpr bool kWriteLogDefault = true;
inline constexpr const char* kGui = "GUI";  // yes-word
inline constexpr bool kGuiDefault = true;
inline constexpr const char* kMaxRange = "maxRange";  // documents per workbook
inline constexpr int kMaxRangeDefault = 65000;        // also the largest value an .xls workbook takes
inline constexpr int kMaxRangeXlsx = 1048575;         // the largest an .xlsx workbook takes (rows less header)
inline constexpr int kMaxRangeMin = 1001;             // the smallest value taken
inline constexpr const char* kPattern = "Pattern";    // extensions, blank-separated
inline constexpr const char* kPatternDefault = "*";   // every file
inline constexpr const char* kKopfzeile = "Kopfzeile";  // header row switch, off unless set

// [Pfade]: start folder and workbook when no folder is chosen in a dialog.
inline constexpr const char* kPfade = "Pfade";
inline constexpr const char* kSourceDir = "SourceDir";
inline constexpr const char* kExcelFile = "ExcelFile";

// [SQL]: database mode and the parts of the per-document query.
inline constexpr const char* kSql = "SQL";
inline constexpr const char* kDoSql = "DoSQL";  // yes-word
inline constexpr bool kDoSqlDefault = false;
inline constexpr const char* kSelect = "Select";
inline constexpr const char* kFrom = "From";
inline constexpr const char* kWhere = "Where";
inline constexpr const char* kOrder = "Order";  // optional

// [ODBC]: the database connection; no key has a default.
inline constexpr const char* kOdbc = "ODBC";
inline constexpr const char* kDataSource = "DataSource";
inline constexpr const char* kUsername = "Username";
inline constexpr const char* kPassword = "Password";
inline constexpr const char* kProvider = "Provider";
inline constexpr const char* kDatabase = "Database";  // required for providers containing "sql"

// Column mapping (document properties or database fields) and selection criteria.
inline constexpr const char* kMapProperties = "MapProperties";
inline constexpr const char* kSqlMapProperties = "SQLMapProperties";
inline constexpr const char* kCriteria = "Criteria";

// Per-property sections hold format patterns under "Format0" to "Format9";
// the first empty one ends the list.
inline constexpr const char* kFormatKeyPrefix = "Format";
inline constexpr int kFormatKeyCount = 10;

}  // namespace tbx::ini
