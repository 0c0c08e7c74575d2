#pragma once
// A1 cell references of the .xls grid.
#include <QString>
#include <optional>

namespace tbx {

struct CellAddress {
  int row = 0;     // 1 .. 65536
  int column = 0;  // 1 .. 256
};

// Parses one cell reference: column letters A to IV (either case, as
// spreadsheet applications accept them), then a row number 1 to 65536 without
// leading zeros. Anything else, blanks and "$" included, gives nullopt.
std::optional<CellAddress> ParseA1Reference(const QString& reference);

}  // namespace tbx
