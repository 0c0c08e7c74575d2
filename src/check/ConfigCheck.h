#pragma once
// The configuration check of tabellix-batch --check: what a run would do
// with a configuration that its writer did not mean, found without writing
// a workbook or a log. Each finding names its line in the file:
//   - sections and keys the program does not know, with the nearest known name;
//   - values it will not use as written (maxRange, Pattern, Kopfzeile);
//   - mapping entries whose key is no column or whose #Q follows #L, and
//     property names that neither the catalogue knows nor any of the first
//     documents under SourceDir holds, in the mapping, the criteria and the
//     format sections; format patterns that none of the sampled values fits;
//   - in database mode, the connection and the query for one sampled document;
//   - everything that would stop a run (start folder, workbook, keys), as errors.
#include <QString>
#include <vector>

#include "interaction/Dialogs.h"

namespace tbx {

enum class Severity { Warning, Error };

struct Finding {
  int line = 0;  // 0 when the finding belongs to no line (a missing key)
  Severity severity = Severity::Warning;
  QString text;
};

// The documents under SourceDir that the check samples at most.
inline constexpr int kCheckSampleDocuments = 200;

// Every finding for the configuration at configPath, in line order. Messages
// a database connection shows go to findings, never to a dialog.
std::vector<Finding> CheckConfiguration(const QString& configPath);

// A finding in file as one German line in the form compilers use, so that
// editors and terminals jump to the line: "FILE:12: Warnung: ...", and
// "FILE: Fehler: ..." for a finding without a line.
QString FindingLine(const QString& file, const Finding& finding);

// 0 without findings, 1 with warnings only, 2 with an error.
int CheckExitStatus(const std::vector<Finding>& findings);

}  // namespace tbx
