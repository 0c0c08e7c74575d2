#include "run/DocumentLoop.h"

#include <algorithm>
#include <optional>

#include "common/Profile.h"
#include "common/ConfigKeys.h"
#include "database/RecordReadAhead.h"
#include "database/modDatabase.h"
#include "docprops/DocumentReader.h"
#include "docprops/modDocProps.h"
#include "interaction/ProgressView.h"
#include "run/CellOutput.h"
#include "run/RowChecks.h"
#include "run/WorkbookOutput.h"

namespace tbx {
namespace {

constexpr int kMarkColorIndex = 6;  // yellow in the default palette

// Documents read ahead of the loop: enough that the helpers, woken for half
// a window at a time, seldom run dry and sleep while the loop catches up
// (with the files in the page cache a wake-up costs more than a document,
// and a window of 64 woke them three times as often), few enough that their
// parses take little memory (a few kilobytes each).
constexpr int kReadAheadWindow = 256;
// Records read ahead in database mode: each waits for the server, and
// connections, not wake-ups, bound them.
constexpr int kRecordWindow = 16;

// The property names rows read from the documents: the criteria's, and the
// columns' unless those come from the database or are special names.
QStringList DocumentPropertyNames(const RunState& run, const ColumnMapping& mapping) {
  QStringList names = mapping.criteria;
  if (!run.databaseMode)
    for (const MappedColumn& column : mapping.columns)
      if (!column.Special && !names.contains(column.PropertyName)) names << column.PropertyName;
  return names;
}

// The worksheet row of one selected document: folder, file name and every
// mapped column, each value read from the row's document (or its record),
// cut or quoted, and checked against its format patterns.
class RowWriter {
 public:
  // values: in database mode the record's value of each column, else empty.
  RowWriter(RunState& run, RowDocument& document, const std::vector<CellValue>& values, const RowSettings& settings)
      : run_(run), document_(document), values_(values), settings_(settings) {}

  // Writes the row; true when a cell was marked.
  bool Write(int row, qsizetype index, std::vector<MappedColumn>& columns) {
    const std::vector<CellValue>& values = values_;
    Worksheet& sheet = *run_.workbook.worksheet;
    sheet.Cells(row, 1)->SetValue(run_.foundDocuments.Folder(index));
    sheet.Cells(row, 2)->SetValue(run_.foundDocuments.FileName(index));
    bool marked = false;
    for (size_t k = 0; k < columns.size(); ++k)
      marked |= WriteColumn(sheet, row, columns[k], settings_.Patterns(k), values.empty() ? nullptr : &values[k]);
    return marked;
  }

 private:
  // recordValue: the column's value from the record in database mode.
  bool WriteColumn(Worksheet& sheet, int row, MappedColumn& column, const QStringList& patterns,
                   const CellValue* recordValue) {
    // The key is checked at the first row that writes it, as the cell
    // reference would be; later rows use the column number it gave.
    if (column.Column == 0) column.Column = ColumnNumber(column, row, sheet.Grid());
    const std::unique_ptr<Range> cell = sheet.Cells(row, column.Column);
    if (column.Special) {
      QString problem;
      PutSpecialValue(*cell, SpecialNameValue(document_.Path(), column.PropertyName, problem).value_or(CellValue{}),
                      run_.typedCells);
      if (!problem.isEmpty()) run_.log.LogMessage(problem);
      return false;
    }
    const CellValue value =
        recordValue ? *recordValue : CellValue(document_.ReadDocumentProperty(run_.log, column.PropertyName));
    PutColumnValue(*cell, column, value, run_.typedCells);
    // Patterns test the text form, whatever the cell shows.
    if (!ViolatesFormat(value.text, patterns)) return false;
    run_.log.LogMessage(QStringLiteral("FEHLER: Ungültiges Format für ") + column.PropertyName);
    cell->Select();
    run_.workbook.application->SetSelectionInteriorColorIndex(kMarkColorIndex);
    run_.workbook.application->SetSelectionInteriorPattern(kPatternSolid);
    return true;
  }

  RunState& run_;
  RowDocument& document_;
  const std::vector<CellValue>& values_;
  const RowSettings& settings_;
};

// The loop's state from one document to the next.
struct LoopState {
  const ColumnMapping& mapping;
  std::vector<MappedColumn> columns;  // each learns its column number at its first row
  RowSettings settings;
  qint64 partCount = 0;  // documents taken for the current workbook part, selected or not
};

// A document that fills the current part starts the next one. Saving the
// part takes a while and may ask, so the lines held are written first.
void TakePlace(RunState& run, LoopState& loop, std::optional<RunLog::Hold>& hold) {
  if (++loop.partCount <= run.maxRange) return;
  hold.reset();
  run.log.Flush();
  NextWorkbookPart(run.log, run.workbook, loop.mapping);
  ++run.stats.workbookFiles;
  loop.partCount = 1;
}

// The names a record's fields are read by: each column's, "" for the special names.
QStringList RecordFields(const ColumnMapping& mapping) {
  QStringList fields;
  for (const MappedColumn& column : mapping.columns) fields << (column.Special ? QString() : column.PropertyName);
  return fields;
}

// Database mode: the values of a selected document's record, read ahead or
// now; none, with a log line, when the database holds no record for it. A
// record's values are all read before the first cell is written: a
// connection lost in the middle of a row ends the run without half a row in
// the saved workbook.
std::optional<std::vector<CellValue>> RecordValues(RunState& run, const LoopState& loop, const QString& path,
                                                 const ProfileSnapshot& configuration, RecordReading reading) {
  const auto none = [&] {
    run.log.LogMessage(QStringLiteral("FEHLER:\tKein Datenbankeintrag für ") + path +
                       QStringLiteral(" gefunden. Datei wird nicht bearbeitet"));
    return std::nullopt;
  };
  // What was read ahead counts only for the query the loop would run now.
  if (reading.outcome != RecordReading::NotRead &&
      reading.statement == QueryText(QString::fromLatin1(ini::kSql), configuration)) {
    if (reading.outcome == RecordReading::NoRecord) return none();
    return std::move(reading.values);
  }
  const std::optional<RecordSet> record = FindDocumentRecord(*run.dialogs, *run.database, path, configuration);
  if (!record) return none();
  std::vector<CellValue> values;
  for (const QString& field : RecordFields(loop.mapping))
    values.push_back(field.isEmpty() ? CellValue{} : GetRecordValue(*run.database, *record, field, run.references));
  return values;
}

// One document: selected or not, its row written or its row given to the next.
void ProcessDocument(RunState& run, LoopState& loop, qsizetype index, RowDocument& document,
                     const ProfileSnapshot& configuration, RecordReading reading) {
  bool selected = DocumentSelected(run.log, document, loop.mapping, loop.settings.Wanted());
  std::vector<CellValue> values;
  if (run.databaseMode && selected) {
    std::optional<std::vector<CellValue>> record = RecordValues(run, loop, document.Path(), configuration, std::move(reading));
    selected = record.has_value();
    if (record) values = std::move(*record);
  }
  if (!selected) {
    // The next selected document takes the row this one would have had.
    --run.workbook.rowOffset;
    return;
  }
  const int row = static_cast<int>(run.workbook.rowOffset + loop.partCount);
  if (RowWriter(run, document, values, loop.settings).Write(row, index, loop.columns)) ++run.stats.rowsMarked;
  ++run.stats.rowsWritten;
}

// The bar, its tooltip and the views that count documents.
void ShowProgress(ProgressView& progress, qint64 done, qint64 total) {
  const int percent = ProgressPercent(done, total);
  progress.SetPercent(percent);
  progress.SetToolTip(QStringLiteral("Fortschritt: ") + QString::number(percent) + u'%');
  progress.DocumentProgress(done, total);
}

}  // namespace

void ProcessDocuments(RunState& run, const ColumnMapping& mapping, WorkerPool& pool) {
  ProgressView& progress = *run.progress;
  const qint64 n = run.foundDocuments.size();  // fixed when the loop starts
  LoopState loop{mapping, mapping.columns, RowSettings(mapping)};
  const ProfileWatching watching;  // the configuration, loaded before every document
  DocumentReader reader(run.foundDocuments, DocumentPropertyNames(run, mapping), pool,
                        std::max(kReadAheadWindow, 4 * pool.Size()));
  // With its parse at hand a row never waits (in database mode it asks the
  // server): the loop's lines are then held from one document to the next,
  // and written before the loop waits for a document or saves a part.
  const bool holdLines = reader.ReadsAhead() && !run.databaseMode;
  std::optional<RunLog::Hold> hold;
  // In database mode the records are read ahead on connections of their own.
  std::optional<RecordReadAhead> records;
  if (run.databaseMode) {
    const int connections = ConfiguredDatabaseConnections();
    records.emplace(run.foundDocuments, run.databaseLogin, run.configPath, RecordFields(mapping), run.references,
                    connections, std::max(kRecordWindow, 4 * connections));
  }
  for (qint64 i = 1; i <= n; ++i) {
    TakePlace(run, loop, hold);
    if (holdLines && !hold) hold.emplace(run.log);
    const qsizetype index = i - 1;
    const QString& folder = run.foundDocuments.Folder(index);
    const QString fileName = run.foundDocuments.FileName(index);
    // The configuration is looked at once per document: an edit during the
    // run counts from the next document on.
    const ProfileSnapshot configuration = LoadProfile(run.configPath);
    loop.settings.Follow(configuration);
    run.log.LogMessage(QString::number(i) + QStringLiteral(": Bearbeite ") + folder + fileName);
    progress.SetCaption(folder);
    progress.SetStatus(fileName);
    {
      const auto whileWaiting = [&] {
        run.log.Flush();
        progress.ProcessEvents();
      };
      RowDocument document = reader.Take(index, whileWaiting);
      RecordReading reading = records ? records->Take(index, whileWaiting) : RecordReading{};
      ProcessDocument(run, loop, index, document, configuration, std::move(reading));
    }
    ShowProgress(progress, i, n);
    progress.ProcessEvents();
    if (progress.Cancelled()) {
      run.cancelled = true;
      break;
    }
  }
  hold.reset();
  run.log.Flush();
}

}  // namespace tbx
