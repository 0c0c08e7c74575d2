#include <vector>

#include "common/RunError.h"
#include "xls/AutomationRules.h"
#include "xlsx/LxwWorkbook.h"
#include "xlsx/StreamedSheet.h"
#include "xlsx/xlsx.h"

// The automation object model over .xlsx packages. Cells go to the sheets as
// they are set; saving writes the package once, after which the workbook
// takes no more changes but can be saved again (under another name too).
namespace tbx {
namespace {

class XlsxApplication;
class XlsxWorkbook;

struct Selection {
  XlsxWorkbook* workbook = nullptr;
  xlsx::StreamedSheet* sheet = nullptr;
  int row = 0;  // 0-based
  int column = 0;
};

class XlsxWorksheet : public Worksheet {
 public:
  XlsxWorksheet(XlsxWorkbook& workbook, xlsx::LxwWorkbook& package, const QString& name)
      : workbook_(workbook), sheet_(package, name) {}
  SheetGrid Grid() const override { return kXlsxGrid; }
  std::unique_ptr<Range> Cells(int row, int column) override;
  std::unique_ptr<Range> GetRange(const QString& a1) override;
  void SetFirstRowBold() override;
  void FreezeAndFilterFirstRow() override;

  XlsxWorkbook& Owner() const { return workbook_; }
  xlsx::StreamedSheet& Data() { return sheet_; }

 private:
  XlsxWorkbook& workbook_;
  xlsx::StreamedSheet sheet_;
};

class XlsxRange : public Range {
 public:
  XlsxRange(XlsxWorksheet& sheet, int row, int column) : sheet_(sheet), row_(row), column_(column) {}
  void SetNumberFormat(const QString& format) override;
  void SetValue(const QString& text) override;
  void SetNumber(double value) override;
  void SetDateTime(const QDateTime& value) override;
  void Select() override;

 private:
  xlsx::StreamedSheet& Sheet() const;
  XlsxWorksheet& sheet_;
  int row_;  // 0-based
  int column_;
};

class XlsxWorkbook : public Workbook {
 public:
  explicit XlsxWorkbook(XlsxApplication& app) : app_(app) { NewSheet(); }
  Worksheet* ActiveWorksheet() override {
    CheckOpen();
    return active_;
  }
  Worksheet* AddWorksheet() override {
    CheckOpen();
    CheckChangeable();
    return NewSheet();
  }
  void SaveAs(const QString& path) override;
  void Close() override;

  void CheckOpen() const {
    if (!package_) throw WorkbookClosedError();
  }
  // Open and not yet written: a saved package cannot change any more.
  void CheckChangeable() const {
    CheckOpen();
    if (package_->Finished()) {
      throw RunError(kErrWorkbook, QStringLiteral("Die Arbeitsmappe ist bereits gespeichert: eine .xlsx-Arbeitsmappe "
                                                  "nimmt danach keine Änderungen mehr an."));
    }
  }
  XlsxApplication& App() const { return app_; }
  bool IsOpen() const { return package_ != nullptr; }

 private:
  // The automation puts a new sheet before the active one; libxlsxwriter
  // keeps sheets in the order they were made, so it goes last (and becomes
  // the active one all the same).
  XlsxWorksheet* NewSheet() {
    ++sheetsCreated_;
    sheets_.push_back(
        std::make_unique<XlsxWorksheet>(*this, *package_, QStringLiteral("Tabelle%1").arg(sheetsCreated_)));
    active_ = sheets_.back().get();
    return active_;
  }

  XlsxApplication& app_;
  std::unique_ptr<xlsx::LxwWorkbook> package_ = std::make_unique<xlsx::LxwWorkbook>();
  std::vector<std::unique_ptr<XlsxWorksheet>> sheets_;  // in book order
  XlsxWorksheet* active_ = nullptr;
  int sheetsCreated_ = 0;
};

class XlsxApplication : public Application {
 public:
  // This writer never asks a question, so there are no alerts to switch.
  void SetDisplayAlerts(bool) override { CheckRunning(); }
  Workbook* AddWorkbook() override {
    CheckRunning();
    workbooks_.push_back(std::make_unique<XlsxWorkbook>(*this));
    return workbooks_.back().get();
  }
  void SetVisible(bool visible) override {
    CheckRunning();
    if (visible && !lastSaved_.isEmpty()) ShowSavedWorkbook(lastSaved_);
  }
  void Quit() override {
    for (auto& wb : workbooks_) {
      if (wb->IsOpen()) wb->Close();
    }
    quit_ = true;
  }
  void SetSelectionInteriorColorIndex(int index) override { ApplyInteriorColorIndex(SelectedStyle(), index); }
  void SetSelectionInteriorPattern(int pattern) override { ApplyInteriorPattern(SelectedStyle(), pattern); }

  void Select(const Selection& s) { selection_ = s; }
  void Forget(const XlsxWorkbook* workbook) {
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
    selection_.workbook->CheckChangeable();
    return selection_.sheet->Style(selection_.row, selection_.column);
  }

  std::vector<std::unique_ptr<XlsxWorkbook>> workbooks_;  // closed ones stay until the end
  Selection selection_;
  QString lastSaved_;
  bool quit_ = false;
};

// --- worksheet and range ---------------------------------------------------

std::unique_ptr<Range> XlsxWorksheet::Cells(int row, int column) {
  workbook_.CheckOpen();
  if (row < 1 || row > kXlsxGrid.rows || column < 1 || column > kXlsxGrid.columns)
    throw CellOutsideSheetError(row, column, kXlsxGrid);
  return std::make_unique<XlsxRange>(*this, row - 1, column - 1);
}

std::unique_ptr<Range> XlsxWorksheet::GetRange(const QString& a1) {
  workbook_.CheckOpen();
  const std::optional<CellAddress> address = ParseA1Reference(a1, kXlsxGrid);
  if (!address) throw InvalidCellReference(a1, kXlsxGrid);
  return std::make_unique<XlsxRange>(*this, address->row - 1, address->column - 1);
}

void XlsxWorksheet::SetFirstRowBold() {
  workbook_.CheckChangeable();
  sheet_.SetRowBold(0);
}

void XlsxWorksheet::FreezeAndFilterFirstRow() {
  workbook_.CheckChangeable();
  sheet_.SetHeaderRow();
}

xlsx::StreamedSheet& XlsxRange::Sheet() const {
  sheet_.Owner().CheckChangeable();
  return sheet_.Data();
}

void XlsxRange::SetNumberFormat(const QString& format) { ApplyNumberFormat(Sheet().Style(row_, column_), format); }

void XlsxRange::SetValue(const QString& text) { Sheet().SetText(row_, column_, text); }

void XlsxRange::SetNumber(double value) {
  xlsx::StreamedSheet& sheet = Sheet();
  const double number = CellNumber(value);
  sheet.Style(row_, column_).format = xls::NumberFormat::General;
  sheet.SetNumber(row_, column_, number);
}

void XlsxRange::SetDateTime(const QDateTime& value) {
  xlsx::StreamedSheet& sheet = Sheet();
  const double serial = CellDateTime(value);
  sheet.Style(row_, column_).format = xls::NumberFormat::DateTime;
  sheet.SetNumber(row_, column_, serial);
}

void XlsxRange::Select() {
  XlsxWorkbook& workbook = sheet_.Owner();
  workbook.CheckOpen();
  workbook.App().Select(Selection{&workbook, &sheet_.Data(), row_, column_});
}

// --- workbook ----------------------------------------------------------------

void XlsxWorkbook::SaveAs(const QString& path) {
  CheckOpen();
  if (!package_->Finished()) {
    for (auto& sheet : sheets_) sheet->Data().Finish();
    package_->Activate(active_->Data().Handle());
  }
  package_->SaveAs(path);
  app_.Saved(path);
}

void XlsxWorkbook::Close() {
  CheckOpen();
  app_.Forget(this);
  // The object stays valid for callers that still hold it; its package and
  // sheets go, with their temporary files.
  sheets_.clear();
  active_ = nullptr;
  package_.reset();
}

}  // namespace

bool IsXlsxName(const QString& path) { return path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive); }

std::unique_ptr<Application> CreateXlsxApplication() { return std::make_unique<XlsxApplication>(); }

std::unique_ptr<Application> CreateApplicationFor(const QString& workbookPath) {
  return IsXlsxName(workbookPath) ? CreateXlsxApplication() : CreateApplication();
}

}  // namespace tbx
