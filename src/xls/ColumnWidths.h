#pragma once
// Column widths as both workbook writers set them: each column as wide as
// the longest value it shows, within limits.
#include <QString>
#include <vector>

namespace tbx::xls {

// Characters the general number format shows for value (its shortest form
// with up to 15 significant digits), for its column's width.
int NumberDisplayLength(double value);

class ColumnWidths {
 public:
  // A value showing `length` characters in row (0-based) and column.
  void Note(int row, int column, int length);
  // Columns 0 .. ColumnCount() - 1 have values noted.
  int ColumnCount() const { return static_cast<int>(longest_.size()); }
  // The width of column in characters, or 0 for the default width. With a
  // header row, row 0 counts two characters more: its text is bold and a
  // filter button sits beside it.
  int Chars(int column, bool headerRow) const;

 private:
  std::vector<int> longest_;  // rows below row 0
  std::vector<int> header_;   // row 0
};

}  // namespace tbx::xls
