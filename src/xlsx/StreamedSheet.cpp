#include "xlsx/StreamedSheet.h"

#include <QRegularExpression>
#include <algorithm>
#include <limits>

#include "common/RunError.h"
#include "xls/DateSerial.h"
#include "xlsx/PackageNumbers.h"

namespace tbx::xlsx {
namespace {

// libxlsxwriter takes widths as a spreadsheet program's column dialog shows
// them and adds the cell padding (5 pixels of a 7-pixel digit). The widths
// of .xls columns are stored with the padding in, so taking it off first
// gives both workbooks the same stored width.
constexpr double kCellPadding = 5.0 / 7.0;

// The text as the package spells it. Packages spell characters that XML
// cannot hold as _xHHHH_ and readers decode every such spelling, so a text
// holding one literally gets its underscore spelled too. libxlsxwriter spells
// control characters itself, but neither NUL (which would end its C string)
// nor the two non-characters XML forbids. Most texts need none of this and
// are returned as they are, without a copy.
QString PackageSpelling(const QString& cut) {
  bool spelled = false;
  bool forbidden = false;
  const qsizetype n = cut.size();
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t c = cut.at(i).unicode();
    if (c == u'_' && i + 1 < n && cut.at(i + 1) == u'x') spelled = true;
    if (c == 0 || c == 0xFFFE || c == 0xFFFF) forbidden = true;
  }
  if (!spelled && !forbidden) return cut;
  static const QRegularExpression spelling(QStringLiteral("_(x[0-9A-Fa-f]{4}_)"));
  QString text = cut;
  if (spelled) text.replace(spelling, QStringLiteral("_x005F_\\1"));
  if (forbidden) {
    text.replace(QChar(0), QLatin1String("_x0000_"));
    text.replace(QChar(0xFFFE), QLatin1String("_xFFFE_"));
    text.replace(QChar(0xFFFF), QLatin1String("_xFFFF_"));
  }
  return text;
}

}  // namespace

StreamedSheet::StreamedSheet(LxwWorkbook& book, QString name)
    : book_(book), name_(std::move(name)), sheet_(book.AddWorksheet(name_)) {}

void StreamedSheet::MoveTo(int row) {
  if (row == row_) return;
  if (row < row_) {
    throw RunError(kErrWorkbook, QStringLiteral("Die Zeile %1 des Tabellenblatts \"%2\" ist bereits geschrieben: "
                                                "eine .xlsx-Arbeitsmappe nimmt ihre Zeilen nur der Reihe nach auf.")
                                     .arg(row + 1)
                                     .arg(name_));
  }
  WriteRow();
  row_ = row;
  rowBold_ = false;
  rowCount_ = std::max(rowCount_, row + 1);
}

StreamedSheet::PendingCell& StreamedSheet::At(int row, int column) {
  MoveTo(row);
  // Rows are filled left to right, so appending is the common case.
  auto it = cells_.end();
  if (!cells_.empty() && cells_.back().column >= column) {
    it = std::lower_bound(cells_.begin(), cells_.end(), column,
                          [](const PendingCell& c, int v) { return c.column < v; });
  }
  if (it == cells_.end() || it->column != column) {
    PendingCell cell;
    cell.column = column;
    cell.style.bold = rowBold_;
    it = cells_.insert(it, std::move(cell));
  }
  return *it;
}

xls::CellStyle& StreamedSheet::Style(int row, int column) { return At(row, column).style; }

void StreamedSheet::SetText(int row, int column, const QString& text) {
  PendingCell& cell = At(row, column);
  cell.number = 0;
  if (text.isEmpty()) {
    cell.kind = Kind::Blank;
    cell.text.clear();
    cell.length = 0;
    return;
  }
  const QString cut = xls::CutToCellLimit(text);
  cell.kind = Kind::Text;
  cell.text = PackageSpelling(cut);
  cell.length = static_cast<int>(cut.size());
}

void StreamedSheet::SetNumber(int row, int column, double value) {
  PendingCell& cell = At(row, column);
  cell.kind = Kind::Number;
  cell.text.clear();
  cell.number = value;
}

void StreamedSheet::SetRowBold(int row) {
  MoveTo(row);
  rowBold_ = true;
  for (PendingCell& c : cells_) c.style.bold = true;
}

const char* StreamedSheet::Utf8(const QString& text) {
  // At most three bytes per UTF-16 code unit, and the terminating NUL.
  const auto size = static_cast<size_t>(text.size()) * 3 + 1;
  if (utf8_.size() < size) utf8_.resize(size);
  // Each text on its own: a broken surrogate pair must not reach the next.
  encoder_.resetState();
  char* end = encoder_.appendToBuffer(utf8_.data(), text);
  *end = '\0';
  return utf8_.data();
}

void StreamedSheet::WriteRow() {
  if (row_ < 0) return;
  // In constant-memory mode the row's XML is printed here.
  const PackageNumbers numbers;
  if (rowBold_) {
    xls::CellStyle bold;
    bold.bold = true;
    CheckCellCall(worksheet_set_row(sheet_, static_cast<lxw_row_t>(row_), LXW_DEF_ROW_HEIGHT, book_.Format(bold)), row_,
                  0);
  }
  if (row_ == 0 && !cells_.empty()) headerLastColumn_ = cells_.back().column;
  const auto row = static_cast<lxw_row_t>(row_);
  for (const PendingCell& c : cells_) {
    const auto column = static_cast<lxw_col_t>(c.column);
    lxw_format* format = book_.Format(c.style);
    switch (c.kind) {
      case Kind::Text:
        CheckCellCall(worksheet_write_string(sheet_, row, column, Utf8(c.text), format), row_, c.column);
        widths_.Note(row_, c.column, c.length);
        break;
      case Kind::Number:
        CheckCellCall(worksheet_write_number(sheet_, row, column, c.number, format), row_, c.column);
        widths_.Note(row_, c.column,
                     c.style.format == xls::NumberFormat::DateTime ? xls::kDateTimeDisplayLength
                                                                   : xls::NumberDisplayLength(c.number));
        break;
      case Kind::Blank:
        // A cell with a format but no value keeps its format.
        if (format != nullptr) CheckCellCall(worksheet_write_blank(sheet_, row, column, format), row_, c.column);
        break;
    }
  }
  cells_.clear();
}

void StreamedSheet::Finish() {
  // A failed finish is not repeated: the save reported it, and a second
  // save writes what there is.
  if (finished_) return;
  finished_ = true;
  WriteRow();
  row_ = std::numeric_limits<int>::max();  // nothing can be touched any more
  for (int column = 0; column < widths_.ColumnCount(); ++column) {
    const int chars = widths_.Chars(column, header_);
    if (chars == 0) continue;
    const auto c = static_cast<lxw_col_t>(column);
    CheckCellCall(worksheet_set_column(sheet_, c, c, chars - kCellPadding, nullptr), 0, column);
  }
  if (!header_) return;
  worksheet_freeze_panes(sheet_, 1, 0);
  if (headerLastColumn_ >= 0) {
    CheckCellCall(worksheet_autofilter(sheet_, 0, 0, static_cast<lxw_row_t>(std::max(0, rowCount_ - 1)),
                                       static_cast<lxw_col_t>(headerLastColumn_)),
                  0, headerLastColumn_);
  }
}

}  // namespace tbx::xlsx
