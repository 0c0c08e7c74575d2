#include "xls/Spreadsheet.h"

#include <vector>

#include "common/ReplaceFile.h"
#include "common/RunError.h"
#include "xls/AutomationRules.h"
#include "xls/Book.h"
#include "xls/CellReference.h"
#include "xls/XlsFile.h"

// The spreadsheet application here is our own .xls writer: workbooks live in
// memory until SaveAs writes them. Objects keep the automation's rules: a
// closed workbook or a quit application refuses every further call.
namespace tbx {
namespace {

ApplicationFactory& Factory() {
  static ApplicationFactory factory;
  return factory;
}

class XlsApplication;
class XlsWorkbook;

struct Selection {
  XlsWorkbook* workbook = nullptr;
  xls::Sheet* sheet = nullptr;
  int row = 0;  // 0-based
  int column = 0;
};

class XlsWorksheet : public Worksheet {
 public:
  XlsWorksheet(XlsWorkbook& workbook, xls::Sheet& sheet) : workbook_(workbook), sheet_(sheet) {}
  SheetGrid Grid() const override { return kXlsGrid; }
  std::unique_ptr<Range> Cells(int row, int column) override;
  std::unique_ptr<Range> GetRange(const QString& a1) override;
  void SetFirstRowBold() override;
  void FreezeAndFilterFirstRow() override;

  XlsWorkbook& Owner() const { return workbook_; }
  xls::Sheet& Data() const { return sheet_; }

 private:
  XlsWorkbook& workbook_;
  xls::Sheet& sheet_;
};

class XlsRange : public Range {
 public:
  XlsRange(XlsWorksheet& sheet, int row, int column) : sheet_(sheet), row_(row), column_(column) {}
  void SetNumberFormat(const QString& format) override;
  void SetValue(const QString& text) override;
  void SetNumber(double value) override;
  void SetDateTime(const QDateTime& value) override;
  void Select() override;

 private:
  void PutNumber(double value, xls::NumberFormat format);
  xls::Cell& Cell() const;
  XlsWorksheet& sheet_;
  int row_;  // 0-based
  int column_;
};

class XlsWorkbook : public Workbook {
 public:
  explicit XlsWorkbook(XlsApplication& app);
  Worksheet* ActiveWorksheet() override;
  Worksheet* AddWorksheet() override;
  void SaveAs(const QString& path) override;
  void Close() override;

  void CheckOpen() const {
    if (closed_) throw WorkbookClosedError();
  }
  xls::Book& Data() { return book_; }
  XlsApplication& App() const { return app_; }
  bool IsOpen() const { return !closed_; }

 private:
  XlsWorksheet* NewSheet(int position);

  XlsApplication& app_;
  xls::Book book_;
  std::vector<std::unique_ptr<XlsWorksheet>> sheets_;  // in book order
  int sheetsCreated_ = 0;
  bool closed_ = false;
};

class XlsApplication : public Application {
 public:
  // This writer never asks a question, so there are no alerts to switch.
  void SetDisplayAlerts(bool) override { CheckRunning(); }
  Workbook* AddWorkbook() override {
    CheckRunning();
    workbooks_.push_back(std::make_unique<XlsWorkbook>(*this));
    return workbooks_.back().get();
  }
  void SetVisible(bool visible) override;
  void Quit() override {
    for (auto& wb : workbooks_) {
      if (wb->IsOpen()) wb->Close();
    }
    quit_ = true;
  }
  void SetSelectionInteriorColorIndex(int index) override;
  void SetSelectionInteriorPattern(int pattern) override;

  void Select(const Selection& s) { selection_ = s; }
  void Forget(const XlsWorkbook* workbook) {
    if (selection_.workbook == workbook) selection_ = Selection{};
  }
  void Saved(const QString& path) { lastSaved_ = path; }

 private:
  void CheckRunning() const {
    if (quit_) throw ApplicationEndedError();
  }
  xls::CellStyle& SelectedStyle() const {
    CheckRunning();
    if (selection_.workbook == nullptr) throw NoSelectionError();
    return selection_.sheet->At(selection_.row, selection_.column).style;
  }

  std::vector<std::unique_ptr<XlsWorkbook>> workbooks_;  // closed ones stay until the end
  Selection selection_;
  QString lastSaved_;
  bool quit_ = false;
};

// --- worksheet and range ---------------------------------------------------

std::unique_ptr<Range> XlsWorksheet::Cells(int row, int column) {
  workbook_.CheckOpen();
  if (row < 1 || row > kXlsGrid.rows || column < 1 || column > kXlsGrid.columns)
    throw CellOutsideSheetError(row, column, kXlsGrid);
  return std::make_unique<XlsRange>(*this, row - 1, column - 1);
}

std::unique_ptr<Range> XlsWorksheet::GetRange(const QString& a1) {
  workbook_.CheckOpen();
  const std::optional<CellAddress> address = ParseA1Reference(a1);
  if (!address) throw InvalidCellReference(a1);
  return std::make_unique<XlsRange>(*this, address->row - 1, address->column - 1);
}

void XlsWorksheet::SetFirstRowBold() {
  workbook_.CheckOpen();
  sheet_.SetRowBold(0);
}

void XlsWorksheet::FreezeAndFilterFirstRow() {
  workbook_.CheckOpen();
  sheet_.SetHeaderRow(true);
}

xls::Cell& XlsRange::Cell() const {
  sheet_.Owner().CheckOpen();
  return sheet_.Data().At(row_, column_);
}

void XlsRange::SetNumberFormat(const QString& format) { ApplyNumberFormat(Cell().style, format); }

void XlsRange::SetValue(const QString& text) {
  xls::Cell& cell = Cell();
  cell.isNumber = false;
  // An empty text empties the cell; its format stays.
  cell.value = text.isEmpty() ? xls::kNoValue : sheet_.Owner().Data().texts.Intern(text);
}

void XlsRange::PutNumber(double value, xls::NumberFormat format) {
  xls::Cell& cell = Cell();
  std::vector<double>& numbers = sheet_.Owner().Data().numbers;
  // A number cell written again keeps its place in the list.
  if (cell.HasNumber()) {
    numbers[static_cast<size_t>(cell.value)] = value;
  } else {
    cell.isNumber = true;
    cell.value = static_cast<qint32>(numbers.size());
    numbers.push_back(value);
  }
  cell.style.format = format;
}

void XlsRange::SetNumber(double value) { PutNumber(CellNumber(value), xls::NumberFormat::General); }

void XlsRange::SetDateTime(const QDateTime& value) { PutNumber(CellDateTime(value), xls::NumberFormat::DateTime); }

void XlsRange::Select() {
  XlsWorkbook& workbook = sheet_.Owner();
  workbook.CheckOpen();
  workbook.App().Select(Selection{&workbook, &sheet_.Data(), row_, column_});
}

// --- workbook ----------------------------------------------------------------

XlsWorkbook::XlsWorkbook(XlsApplication& app) : app_(app) { NewSheet(0); }

XlsWorksheet* XlsWorkbook::NewSheet(int position) {
  // New sheets are named the way a German installation names them.
  ++sheetsCreated_;
  auto data = std::make_unique<xls::Sheet>(QStringLiteral("Tabelle%1").arg(sheetsCreated_));
  auto sheet = std::make_unique<XlsWorksheet>(*this, *data);
  book_.sheets.insert(book_.sheets.begin() + position, std::move(data));
  XlsWorksheet* result = sheet.get();
  sheets_.insert(sheets_.begin() + position, std::move(sheet));
  book_.activeSheet = position;
  return result;
}

Worksheet* XlsWorkbook::ActiveWorksheet() {
  CheckOpen();
  return sheets_[static_cast<size_t>(book_.activeSheet)].get();
}

Worksheet* XlsWorkbook::AddWorksheet() {
  CheckOpen();
  // Worksheets.Add without arguments puts the new sheet before the active one.
  return NewSheet(book_.activeSheet);
}

void XlsWorkbook::SaveAs(const QString& path) {
  CheckOpen();
  SaveFileReplacing(path, [&](const ByteSink& sink) { return xls::WriteXlsFile(book_, sink); });
  app_.Saved(path);
}

void XlsWorkbook::Close() {
  CheckOpen();
  closed_ = true;
  app_.Forget(this);
  // The object stays valid for callers that still hold it; its cells go.
  for (auto& sheet : book_.sheets) sheet->Clear();
  book_.texts.Clear();
  std::vector<double>().swap(book_.numbers);
}

// --- application -------------------------------------------------------------

void XlsApplication::SetVisible(bool visible) {
  CheckRunning();
  if (visible && !lastSaved_.isEmpty()) ShowSavedWorkbook(lastSaved_);
}

void XlsApplication::SetSelectionInteriorColorIndex(int index) { ApplyInteriorColorIndex(SelectedStyle(), index); }

void XlsApplication::SetSelectionInteriorPattern(int pattern) { ApplyInteriorPattern(SelectedStyle(), pattern); }

}  // namespace

std::unique_ptr<Application> GetRunningApplication() { return nullptr; }

RunError InvalidCellReference(const QString& a1, SheetGrid grid) {
  return RunError(kErrWorkbook, QStringLiteral("Ungültiger Zellbezug \"%1\": erwartet werden Spaltenbuchstaben "
                                               "von A bis %2 und eine Zeilennummer von 1 bis %3.")
                                    .arg(a1, ColumnLetters(grid.columns), QString::number(grid.rows)));
}

std::unique_ptr<Application> CreateApplication() {
  return Factory() ? Factory()() : std::make_unique<XlsApplication>();
}

void SetApplicationFactoryForTests(ApplicationFactory factory) { Factory() = std::move(factory); }

}  // namespace tbx
