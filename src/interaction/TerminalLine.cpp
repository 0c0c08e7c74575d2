#include "interaction/TerminalLine.h"

#include <QList>
#include <vector>

namespace tbx {
namespace {

// The two-column ranges of the terminals in common use (Unicode's wide and
// full-width characters: Hangul, CJK, full-width forms).
int CodePointColumns(char32_t c) {
  if (QChar::category(c) == QChar::Mark_NonSpacing || QChar::category(c) == QChar::Mark_Enclosing) return 0;
  const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
                    (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
                    (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
                    (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
  return wide ? 2 : 1;
}

// The code points of text with their widths.
struct Cells {
  std::vector<char32_t> points;
  std::vector<int> widths;
};

Cells Measure(const QString& text) {
  Cells cells;
  for (const uint c : text.toUcs4()) {
    cells.points.push_back(c);
    cells.widths.push_back(CodePointColumns(c));
  }
  return cells;
}

QString FromPoints(const std::vector<char32_t>& points, size_t begin, size_t end) {
  return QString::fromUcs4(points.data() + begin, qsizetype(end - begin));
}

}  // namespace

int TerminalColumns(const QString& text) {
  int columns = 0;
  for (const int w : Measure(text).widths) columns += w;
  return columns;
}

QString CutToColumns(const QString& text, int columns) {
  const Cells cells = Measure(text);
  int used = 0;
  size_t n = 0;
  while (n < cells.points.size() && used + cells.widths[n] <= columns) used += cells.widths[n++];
  // Marks after the last character kept belong to it.
  while (n < cells.points.size() && cells.widths[n] == 0) ++n;
  return FromPoints(cells.points, 0, n);
}

QString ElideMiddle(const QString& text, int columns) {
  if (TerminalColumns(text) <= columns) return text;
  if (columns <= 0) return QString();
  const Cells cells = Measure(text);
  // The end of a path names the file or folder: it gets the larger half.
  int headRoom = (columns - 1) / 2;
  int tailRoom = columns - 1 - headRoom;
  size_t head = 0;
  while (head < cells.points.size() && headRoom - cells.widths[head] >= 0) headRoom -= cells.widths[head++];
  size_t tail = cells.points.size();
  while (tail > head && tailRoom - cells.widths[tail - 1] >= 0) tailRoom -= cells.widths[--tail];
  return FromPoints(cells.points, 0, head) + QChar(0x2026) + FromPoints(cells.points, tail, cells.points.size());
}

}  // namespace tbx
