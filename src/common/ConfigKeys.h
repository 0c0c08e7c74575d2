#pragma once
// Every setting of "ZireVuz.ini" in one table: its section and key, what a
// missing or empty value means, and a line on what it does. The reads of a
// run, the configuration check (which keys it knows) and the programs'
// help texts all take them from here, so none can drift from the others;
// the README explains each to users.
#include <span>

namespace tbx::ini {

// The name of the configuration file.
inline constexpr const char* kConfigFileName = "ZireVuz.ini";

// The sections.
inline constexpr const char* kConfig = "Config";                      // start-up switches and limits
inline constexpr const char* kPfade = "Pfade";                        // start folder and workbook
inline constexpr const char* kSql = "SQL";                            // database mode and its query
inline constexpr const char* kOdbc = "ODBC";                          // the database connection
inline constexpr const char* kMapProperties = "MapProperties";        // columns of document properties
inline constexpr const char* kSqlMapProperties = "SQLMapProperties";  // columns of database fields
inline constexpr const char* kCriteria = "Criteria";                  // selection criteria

struct Setting {
  const char* section;
  const char* key;           // nullptr: the user names the keys (columns, properties)
  const char* defaultValue;  // what a missing or empty value means ("" for none)
  const char* meaning;       // one German line for the help texts
};

inline constexpr Setting kWriteLog{kConfig, "WriteLog", "ja", "Protokoll schreiben"};
inline constexpr Setting kGui{kConfig, "GUI", "ja", "Dialoge zeigen (nur das Desktop-Programm)"};
inline constexpr Setting kMaxRange{kConfig, "maxRange", "65000",
                                   "Dokumente je Arbeitsmappe, 1001 bis 65000 (.xlsx: bis 1048575)"};
inline constexpr Setting kPattern{kConfig, "Pattern", "*", "Dateiendungen ohne Punkt, durch Leerzeichen getrennt"};
inline constexpr Setting kKopfzeile{kConfig, "Kopfzeile", "nein", "Kopfzeile (nur ja, 1, true, wahr, yes)"};
inline constexpr Setting kZelltypen{kConfig, "Zelltypen", "nein",
                                    "Zahlen und Datumswerte als Zahl- und Datumszellen statt als Text"};
inline constexpr Setting kSourceDir{kPfade, "SourceDir", "", "Startverzeichnis"};
inline constexpr Setting kExcelFile{kPfade, "ExcelFile", "", "die zu schreibende Arbeitsmappe"};
inline constexpr Setting kDoSql{kSql, "DoSQL", "nein", "Werte aus der Datenbank statt aus den Dokumenten"};
inline constexpr Setting kSelect{kSql, "Select", "", "Spalten der Abfrage je Dokument"};
inline constexpr Setting kFrom{kSql, "From", "", "Tabellen der Abfrage"};
inline constexpr Setting kWhere{kSql, "Where", "", "Bedingung, %Id steht für den Dateinamen"};
inline constexpr Setting kOrder{kSql, "Order", "", "Sortierung (der erste Datensatz zählt)"};
inline constexpr Setting kDataSource{kOdbc, "DataSource", "", "Datenbankdatei, Server oder ODBC-Datenquelle"};
inline constexpr Setting kUsername{kOdbc, "Username", "", "Benutzername"};
inline constexpr Setting kPassword{kOdbc, "Password", "", "Passwort"};
inline constexpr Setting kProvider{kOdbc, "Provider", "", "SQLite, PostgreSQL oder ein ODBC-Provider"};
inline constexpr Setting kDatabase{kOdbc, "Database", "", "Datenbank (Pflicht, wenn Provider \"sql\" enthält)"};
inline constexpr Setting kMapColumns{kMapProperties, nullptr, "", "Spalte=Eigenschaft[#Q][#L<Länge>]"};
inline constexpr Setting kSqlMapColumns{kSqlMapProperties, nullptr, "", "Spalte=[r:]Feld[#Q][#L<Länge>]"};
inline constexpr Setting kCriteriaValues{kCriteria, nullptr, "", "Eigenschaft=enthaltener Text oder empty"};

// Every setting, in the order the help texts list them.
inline constexpr Setting kSettings[] = {
    kWriteLog, kGui,      kMaxRange,  kPattern,    kKopfzeile, kZelltypen, kSourceDir, kExcelFile,
    kDoSql,    kSelect,   kFrom,      kWhere,      kOrder,     kDataSource, kUsername,
    kPassword, kProvider, kDatabase,  kMapColumns, kSqlMapColumns, kCriteriaValues,
};

// The most and fewest documents maxRange takes: an .xls workbook's sheet
// has 65536 rows, an .xlsx workbook's 1048576 (the header takes one).
inline constexpr int kMaxRangeMin = 1001;
inline constexpr int kMaxRangeMax = 65000;
inline constexpr int kMaxRangeXlsx = 1048575;

// A section named like a mapped property holds format patterns under
// "Format0" to "Format9"; the first empty one ends the list.
inline constexpr const char* kFormatKeyPrefix = "Format";
inline constexpr int kFormatKeyCount = 10;

}  // namespace tbx::ini
