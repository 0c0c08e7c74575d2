#include "xls/ColumnWidths.h"

#include <algorithm>

namespace tbx::xls {
namespace {

// At least the default width, at most what still leaves room for the next
// columns on a screen (long paths are cut).
constexpr int kMinColumnChars = 8;
constexpr int kMaxColumnChars = 60;
constexpr int kHeaderExtraChars = 2;

}  // namespace

int NumberDisplayLength(double value) { return static_cast<int>(QString::number(value, 'g', 15).size()); }

void ColumnWidths::Note(int row, int column, int length) {
  std::vector<int>& lengths = row == 0 ? header_ : longest_;
  const auto at = static_cast<size_t>(column);
  if (at >= lengths.size()) lengths.resize(at + 1, 0);
  if (at >= longest_.size()) longest_.resize(at + 1, 0);
  lengths[at] = std::max(lengths[at], length);
}

int ColumnWidths::Chars(int column, bool headerRow) const {
  const auto at = static_cast<size_t>(column);
  int chars = at < longest_.size() ? longest_[at] : 0;
  if (at < header_.size()) chars = std::max(chars, header_[at] + (headerRow ? kHeaderExtraChars : 0));
  // One character more than the longest value, so that it does not touch the next column.
  return chars <= kMinColumnChars ? 0 : std::min(chars + 1, kMaxColumnChars);
}

}  // namespace tbx::xls
