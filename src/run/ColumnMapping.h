#pragma once
// The column mapping of a run: which property goes into which worksheet
// column, with its length limit and quoting, the selection criteria and the
// header switch, read once from the configuration file.
#include <QString>
#include <QStringList>
#include <vector>

#include "common/RunLog.h"
#include "interaction/Dialogs.h"

namespace tbx {

// One configured column.
struct MappedColumn {
  QString Key;           // target column letters as written, e.g. "C"
  QString PropertyName;  // the value without "#L" and what follows; "#Q" stays in it
  qint16 MaxLength = -1; // -1 without "#L"; the number after it, or 0; below 1: no limit
  bool Quote = false;    // PropertyName contains "#Q"
  bool Special = false;  // PropertyName is Erstelldatum, Erstellt or %Dateityp (any case)
  int Column = 0;        // 1-based column of Key once a row has checked it, 0 before
};

struct ColumnMapping {
  QString section;                   // ini::kMapProperties or ini::kSqlMapProperties
  std::vector<MappedColumn> columns; // in the section's order
  QStringList criteria;              // key names of [Criteria]; in force when not empty
  bool header = false;               // [Config] Kopfzeile
};

// Reads the mapping of configFile for the mode, logging every step; shows
// the "Warnung" message box when the mapping section is missing or empty.
ColumnMapping ReadColumnMapping(RunLog& log, Dialogs& dialogs, const QString& configFile, bool databaseMode);

// One entry: key and value as read, "#L" length and "#Q" quoting taken apart.
MappedColumn ParseMappedColumn(const QString& key, const QString& value);

// The header switch: the value, case kept, is found as whole words in
// " ja 1 true wahr yes ": one of these words, or a run of them in this order
// ("1 true" too). "Ja" and "JA" leave the header off.
bool HeaderSwitchOn(const QString& value);

}  // namespace tbx
