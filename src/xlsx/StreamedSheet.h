#pragma once
// One worksheet of an .xlsx workbook, written row by row. libxlsxwriter in
// constant-memory mode keeps only the row being written and drops writes to
// earlier rows without a word; this sheet keeps that row itself, with each
// cell's final value and format (a mark comes after the value), hands it over
// when a later row is touched, and refuses loudly to touch a row that has
// been handed over. Rows and columns are 0-based; callers check the grid.
#include <xlsxwriter.h>

#include <QString>
#include <QStringEncoder>
#include <vector>

#include "xls/Book.h"
#include "xls/ColumnWidths.h"
#include "xlsx/LxwWorkbook.h"

namespace tbx::xlsx {

class StreamedSheet {
 public:
  StreamedSheet(LxwWorkbook& book, QString name);
  const QString& Name() const { return name_; }
  lxw_worksheet* Handle() const { return sheet_; }

  // The style of a cell, made with its row's format when new; a row that
  // was already written throws 1004.
  xls::CellStyle& Style(int row, int column);
  // A text ("" empties the cell, keeping its format), cut to the cell limit.
  void SetText(int row, int column, const QString& text);
  // A number in the cell's format; a date cell gets its serial date.
  void SetNumber(int row, int column, double value);
  // Bold for the whole row: its cells so far and those made later.
  void SetRowBold(int row);
  // Row 0 is a header: frozen, with an autofilter over its columns.
  void SetHeaderRow() { header_ = true; }

  // Writes the last row, the column widths and the header's filter; once,
  // before the package is made.
  void Finish();

 private:
  enum class Kind : quint8 { Blank, Text, Number };
  struct PendingCell {
    int column = 0;
    xls::CellStyle style;
    Kind kind = Kind::Blank;
    QString text;     // as the package spells it
    int length = 0;   // characters shown, for the width
    double number = 0;
  };

  PendingCell& At(int row, int column);
  void MoveTo(int row);
  void WriteRow();
  // text as UTF-8 with a terminating NUL, in a buffer reused for every cell.
  const char* Utf8(const QString& text);

  LxwWorkbook& book_;
  QString name_;
  lxw_worksheet* sheet_;
  int row_ = -1;  // the row held, -1 before the first
  std::vector<PendingCell> cells_;  // of row_, ordered by column
  bool rowBold_ = false;
  int rowCount_ = 0;  // rows 0 .. rowCount_ - 1 were touched
  int headerLastColumn_ = -1;
  bool header_ = false;
  bool finished_ = false;
  xls::ColumnWidths widths_;
  QStringEncoder encoder_{QStringEncoder::Utf8};
  std::vector<char> utf8_;
};

}  // namespace tbx::xlsx
