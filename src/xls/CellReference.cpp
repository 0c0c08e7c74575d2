#include "xls/CellReference.h"

namespace tbx {
namespace {

// Three letters reach XFD, the last column of any grid; reading no more
// keeps the number small.
constexpr int kMaxColumnLetters = 3;

}  // namespace

std::optional<CellAddress> ParseA1Reference(const QString& reference, SheetGrid grid) {
  qsizetype i = 0;
  int column = 0;
  while (i < reference.size() && i < kMaxColumnLetters) {
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
  if (i == 0 || column > grid.columns) return std::nullopt;
  const qsizetype digitsStart = i;
  if (digitsStart == reference.size() || reference.at(digitsStart) == u'0') return std::nullopt;
  int row = 0;
  for (; i < reference.size(); ++i) {
    const char16_t c = reference.at(i).unicode();
    if (c < u'0' || c > u'9') return std::nullopt;
    row = row * 10 + (c - u'0');
    if (row > grid.rows) return std::nullopt;
  }
  return CellAddress{row, column};
}

QString ColumnLetters(int column) {
  QString letters;
  for (; column > 0; column = (column - 1) / 26) letters.prepend(QChar(u'A' + (column - 1) % 26));
  return letters;
}

}  // namespace tbx
