#include "xls/Spreadsheet.h"

#include <vector>

#include "platform/DesktopViewer.h"
#include "common/ReplaceFile.h"
#include "common/RunError.h"
#include "xls/Book.h"
#include "xls/CellReference.h"
#include "xls/XlsFile.h"

// The spreadsheet application here is our own .xls writer: workbooks live in
// memory until SaveAs writes them. Objects keep the automation's rules: a
// closed workbook or a quit application refuses every further call.
namespace tbx {
namespace {

constexpr int kMaxColourIndex = 56;
constexpr int kNone = -4142;          // "no fill" of colour index and pattern
constexpr int kWhiteColourIndex = 2;  // a solid fill without a colour is white

[[noreturn]] void Fail(const QString& description) { throw RunError(kErrWorkbook, description); }

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
  void Select() override;

 private:
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
    if (closed_) Fail(QStringLiteral("Die Arbeitsmappe ist bereits geschlossen."));
  }
  xls::TextPool& Texts() { return book_.texts; }
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
    if (quit_) Fail(QStringLiteral("Die Tabellenkalkulation wurde bereits beendet."));
  }
  xls::Cell& SelectedCell() const {
    CheckRunning();
    if (selection_.workbook == nullptr) Fail(QStringLiteral("Es ist keine Zelle ausgewählt."));
    return selection_.sheet->At(selection_.row, selection_.column);
  }

  std::vector<std::unique_ptr<XlsWorkbook>> workbooks_;  // closed ones stay until the end
  Selection selection_;
  QString lastSaved_;
  bool quit_ = false;
};

// --- worksheet and range ---------------------------------------------------

std::unique_ptr<Range> XlsWorksheet::Cells(int row, int column) {
  workbook_.CheckOpen();
  if (row < 1 || row > xls::kMaxRows || column < 1 || column > xls::kMaxColumns) {
    Fail(QStringLiteral("Die Zelle in Zeile %1, Spalte %2 liegt außerhalb des Tabellenblatts "
                        "(Zeilen 1 bis 65536, Spalten 1 bis 256).")
             .arg(row)
             .arg(column));
  }
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

void XlsRange::SetNumberFormat(const QString& format) {
  // The writer knows text ("@") and the general format, all a run asks for.
  if (format == QLatin1String("@")) {
    Cell().style.text = true;
  } else if (format == QLatin1String("General") || format == QLatin1String("Standard")) {
    Cell().style.text = false;
  } else {
    Fail(QStringLiteral("Das Zahlenformat \"%1\" wird nicht unterstützt.").arg(format));
  }
}

void XlsRange::SetValue(const QString& text) {
  xls::Cell& cell = Cell();
  // An empty text empties the cell; its format stays.
  cell.text = text.isEmpty() ? xls::kNoText : sheet_.Owner().Texts().Intern(text);
}

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
  SaveFileReplacing(path, xls::BuildXlsFile(book_));
  app_.Saved(path);
}

void XlsWorkbook::Close() {
  CheckOpen();
  closed_ = true;
  app_.Forget(this);
  // The object stays valid for callers that still hold it; its cells go.
  for (auto& sheet : book_.sheets) sheet->Clear();
  book_.texts.Clear();
}

// --- application -------------------------------------------------------------

void XlsApplication::SetVisible(bool visible) {
  CheckRunning();
  if (!visible || lastSaved_.isEmpty()) return;
  if (!OpenWithDesktop(lastSaved_)) {
    Fail(QStringLiteral("Die Arbeitsmappe \"%1\" kann nicht angezeigt werden: es ist kein Programm "
                        "zum Öffnen von Excel-Dateien eingerichtet.")
             .arg(lastSaved_));
  }
}

void XlsApplication::SetSelectionInteriorColorIndex(int index) {
  xls::Cell& cell = SelectedCell();
  if (index == kNone) {
    cell.style.fillColour = 0;
    return;
  }
  if (index < 1 || index > kMaxColourIndex) {
    Fail(QStringLiteral("Der Farbindex %1 liegt außerhalb von 1 bis 56.").arg(index));
  }
  // As in spreadsheet applications, picking a colour fills the cell solidly.
  cell.style.fillColour = static_cast<quint8>(index);
}

void XlsApplication::SetSelectionInteriorPattern(int pattern) {
  xls::Cell& cell = SelectedCell();
  if (pattern == kNone) {
    cell.style.fillColour = 0;
  } else if (pattern == kPatternSolid) {
    if (cell.style.fillColour == 0) cell.style.fillColour = kWhiteColourIndex;
  } else {
    Fail(QStringLiteral("Das Füllmuster %1 wird nicht unterstützt.").arg(pattern));
  }
}

}  // namespace

std::unique_ptr<Application> GetRunningApplication() { return nullptr; }

RunError InvalidCellReference(const QString& a1) {
  return RunError(kErrWorkbook, QStringLiteral("Ungültiger Zellbezug \"%1\": erwartet werden Spaltenbuchstaben "
                                               "von A bis IV und eine Zeilennummer von 1 bis 65536.")
                                    .arg(a1));
}

std::unique_ptr<Application> CreateApplication() {
  return Factory() ? Factory()() : std::make_unique<XlsApplication>();
}

void SetApplicationFactoryForTests(ApplicationFactory factory) { Factory() = std::move(factory); }

}  // namespace tbx
