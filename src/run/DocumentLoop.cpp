#include "run/DocumentLoop.h"

#include <algorithm>
#include <optional>

#include "common/PathHelpers.h"
#include "common/RunLog.h"
#include "database/modDatabase.h"
#include "docprops/DocumentReadAhead.h"
#include "docprops/DocumentRowScope.h"
#include "docprops/modDocProps.h"
#include "interaction/ProgressView.h"
#include "platform/IniFile.h"
#include "platform/Threads.h"
#include "run/RowChecks.h"
#include "run/WorkbookOutput.h"

namespace tbx {
namespace {

constexpr int kMarkColorIndex = 6;  // yellow in the default palette

const QString kTextFormat = QStringLiteral("@");

// A document's path, its folder (up to and including the last separator)
// and its file name.
struct SplitPath {
  QString path;
  QString folder;
  QString fileName;
};

SplitPath Split(const QString& path) { return {path, PathPart(path, DirectoryPart), PathPart(path, FileNamePart)}; }

// Writes value V of one mapped column as the length limit and quoting say
// (the cell is already formatted as text).
void PutLimitedValue(Range& cell, const MappedColumn& column, const QString& value) {
  if (column.MaxLength < 1)
    cell.SetValue(column.Quote ? u'"' + value + u'"' : value);
  else if (!value.isEmpty())
    cell.SetValue(value.left(column.MaxLength));
}

// Documents read ahead of the loop: enough to keep many readers busy, few
// enough that their parses take little memory (a few kilobytes each).
constexpr int kReadAheadWindow = 64;

// The property names rows read from the documents: the criteria's, and the
// columns' unless those come from the database or are special names.
QStringList DocumentPropertyNames(const RunState& run, const ColumnMapping& mapping) {
  QStringList names = mapping.criteria;
  if (!run.databaseMode)
    for (const MappedColumn& column : mapping.columns)
      if (!column.Special && !names.contains(column.PropertyName)) names << column.PropertyName;
  return names;
}

class RowWriter {
 public:
  RowWriter(RunState& run, const std::optional<RecordSet>& record, const RowSettings& settings)
      : run_(run), record_(record), settings_(settings) {}

  // Writes the row of one selected document; true when a cell was marked.
  bool Write(int row, const SplitPath& parts, std::vector<MappedColumn>& columns) {
    Worksheet& sheet = *run_.workbook.worksheet;
    sheet.Cells(row, 1)->SetValue(parts.folder);
    sheet.Cells(row, 2)->SetValue(parts.fileName);
    bool marked = false;
    for (size_t k = 0; k < columns.size(); ++k)
      marked |= WriteColumn(sheet, row, parts, columns[k], settings_.Patterns(k));
    return marked;
  }

 private:
  bool WriteColumn(Worksheet& sheet, int row, const SplitPath& parts, MappedColumn& column,
                   const QStringList& patterns) {
    // The key is checked at the first row that writes it, as the cell
    // reference would be; later rows use the column number it gave.
    if (column.Column == 0) column.Column = ColumnNumber(column, row, sheet.Grid());
    const std::unique_ptr<Range> cell = sheet.Cells(row, column.Column);
    if (column.Special) {
      cell->SetNumberFormat(kTextFormat);
      cell->SetValue(SpecialNameValue(parts.path, column.PropertyName).value_or(QString()));
      return false;
    }
    const QString value = run_.databaseMode
                              ? GetRecordValue(*run_.database, *record_, column.PropertyName)
                              : ReadDocumentProperty(parts.path, column.PropertyName);
    cell->SetNumberFormat(kTextFormat);
    PutLimitedValue(*cell, column, value);
    if (!ViolatesFormat(value, patterns)) return false;
    LogMessage(QStringLiteral("FEHLER: Ungültiges Format für ") + column.PropertyName);
    cell->Select();
    run_.workbook.application->SetSelectionInteriorColorIndex(kMarkColorIndex);
    run_.workbook.application->SetSelectionInteriorPattern(kPatternSolid);
    return true;
  }

  RunState& run_;
  const std::optional<RecordSet>& record_;
  const RowSettings& settings_;
};

}  // namespace

int ProgressPercent(qint64 i, qint64 n) {
  if (n <= 0) return 0;
  const qint64 scaled = i * 100;
  qint64 q = scaled / n;
  const qint64 twiceRest = (scaled % n) * 2;
  if (twiceRest > n || (twiceRest == n && q % 2 != 0)) ++q;
  return static_cast<int>(q);
}

void ProcessDocuments(RunState& run, const ColumnMapping& mapping) {
  ProgressView& progress = *run.progress;
  WorkbookState& book = run.workbook;
  // The list's size is fixed when the loop starts.
  const QStringList documents = run.foundDocuments;
  const qint64 n = documents.size();
  std::vector<MappedColumn> columns = mapping.columns;  // each learns its column number at its first row
  QStringList names = DocumentPropertyNames(run, mapping);
  const int readers = names.isEmpty() ? 0 : ConfiguredReaders();
  DocumentReadAhead readAhead(documents, std::move(names), readers, std::max(kReadAheadWindow, 4 * readers));
  qint64 partCount = 0;  // documents taken for the current part, selected or not
  RowSettings settings(mapping, run.configPath);
  // With its parse at hand a row never waits (in database mode it asks the
  // server): the lines after its first one are held for the next document's.
  const bool holdRowLines = readAhead.Active() && !run.databaseMode;
  for (qint64 i = 1; i <= n; ++i) {
    if (++partCount > run.maxRange) {
      NextWorkbookPart(book, mapping);
      ++run.stats.workbookFiles;
      partCount = 1;
    }
    const QString& path = documents[i - 1];
    // The configuration is looked at once per document: an edit during the
    // run counts from the next document on.
    const ProfilePin configuration(run.configPath);
    settings.Follow(configuration);
    LogMessage(QString::number(i) + QStringLiteral(": Bearbeite ") + path);
    const SplitPath parts = Split(path);
    progress.SetCaption(parts.folder);
    progress.SetStatus(parts.fileName);

    std::optional<LogHold> hold;
    {
      // The criteria and the columns of this row read one parse of the document.
      const DocumentRowScope scope(path, readAhead.Take(i - 1, [&] { progress.ProcessEvents(); }));
      if (holdRowLines) hold.emplace();
      bool selected = DocumentSelected(path, mapping, settings.Wanted());
      std::optional<RecordSet> record;
      if (run.databaseMode && selected) {
        record = FindDocumentRecord(*run.dialogs, *run.database, path, run.configPath);
        if (!record) {
          selected = false;
          LogMessage(QStringLiteral("FEHLER:\tKein Datenbankeintrag für ") + path +
                     QStringLiteral(" gefunden. Datei wird nicht bearbeitet"));
        }
      }
      if (selected) {
        const int row = static_cast<int>(book.rowOffset + partCount);
        if (RowWriter(run, record, settings).Write(row, parts, columns)) ++run.stats.rowsMarked;
        ++run.stats.rowsWritten;
      } else {
        // The next selected document takes the row this one would have had.
        --book.rowOffset;
      }
    }

    const int percent = ProgressPercent(i, n);
    progress.SetPercent(percent);
    progress.SetToolTip(QStringLiteral("Fortschritt: ") + QString::number(percent) + u'%');
    progress.DocumentProgress(i, n);
    progress.ProcessEvents();
    if (progress.Cancelled()) {
      run.cancelled = true;
      break;
    }
  }
  FlushLog();
}

}  // namespace tbx
