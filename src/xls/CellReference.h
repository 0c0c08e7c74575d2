#pragma once
// A1 cell references of a worksheet grid: the .xls one (A to IV, 65536
// rows) or the .xlsx one (A to XFD, 1048576 rows).
#include <QString>
#include <optional>

namespace tbx {

struct SheetGrid {
  int rows = 0;
  int columns = 0;
};
inline constexpr SheetGrid kXlsGrid{65536, 256};
inline constexpr SheetGrid kXlsxGrid{1048576, 16384};

struct CellAddress {
  int row = 0;     // 1 .. grid rows
  int column = 0;  // 1 .. grid columns
};

// Parses one cell reference: column letters A to the grid's last column
// (either case, as spreadsheet applications accept them), then a row number
// 1 to the grid's last row without leading zeros. Anything else, blanks and
// "$" included, gives nullopt.
std::optional<CellAddress> ParseA1Reference(const QString& reference, SheetGrid grid = kXlsGrid);

// The letters of column 1.. ("A", "IV", "XFD").
QString ColumnLetters(int column);

}  // namespace tbx
