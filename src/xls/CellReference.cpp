#include "xls/CellReference.h"

#include "xls/Book.h"

namespace tbx {

std::optional<CellAddress> ParseA1Reference(const QString& reference) {
  qsizetype i = 0;
  int column = 0;
  // Three letters already lie beyond IV; reading no more keeps the number small.
  while (i < reference.size() && i < 3) {
    const char16_t c = reference.at(i).unicode();
    int letter = 0;
    if (c >= u'A' && c <= u'Z') {
      letter = c - u'A' + 1;
    } else if (c >= u'a' && c <= u'z') {
      letter = c - u'a' + 1;
    } else {
      break;
    }
    column = column * 26 + letter;
    ++i;
  }
  if (i == 0 || column > xls::kMaxColumns) return std::nullopt;
  const qsizetype digitsStart = i;
  if (digitsStart == reference.size() || reference.at(digitsStart) == u'0') return std::nullopt;
  int row = 0;
  for (; i < reference.size(); ++i) {
    const char16_t c = reference.at(i).unicode();
    if (c < u'0' || c > u'9') return std::nullopt;
    row = row * 10 + (c - u'0');
    if (row > xls::kMaxRows) return std::nullopt;
  }
  return CellAddress{row, column};
}

}  // namespace tbx
