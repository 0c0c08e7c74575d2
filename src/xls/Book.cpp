#include "xls/Book.h"

#include <algorithm>

namespace tbx::xls {

Row& Sheet::RowForWrite(int row) {
  if (row >= RowCount()) rows_.resize(static_cast<size_t>(row) + 1);
  Row& r = rows_[static_cast<size_t>(row)];
  // Rows are alike: a new one makes room for as many cells as the row above.
  if (r.cells.empty() && row > 0) r.cells.reserve(rows_[static_cast<size_t>(row) - 1].cells.size());
  return r;
}

Cell& Sheet::At(int row, int column) {
  Row& r = RowForWrite(row);
  const auto col = static_cast<quint16>(column);
  // Rows are filled left to right, so appending is the common case.
  if (r.cells.empty() || r.cells.back().column < col) {
    r.cells.push_back(Cell{col, r.hasStyle ? r.style : CellStyle{}, false, kNoValue});
    return r.cells.back();
  }
  auto it = std::lower_bound(r.cells.begin(), r.cells.end(), col,
                             [](const Cell& c, quint16 v) { return c.column < v; });
  if (it == r.cells.end() || it->column != col) {
    it = r.cells.insert(it, Cell{col, r.hasStyle ? r.style : CellStyle{}, false, kNoValue});
  }
  return *it;
}

void Sheet::SetRowBold(int row) {
  Row& r = RowForWrite(row);
  r.hasStyle = true;
  r.style.bold = true;
  for (Cell& c : r.cells) c.style.bold = true;
}

QString CutToCellLimit(const QString& text) {
  if (text.size() <= kMaxTextLength) return text;
  qsizetype keep = kMaxTextLength;
  if (text.at(keep - 1).isHighSurrogate()) --keep;
  return text.left(keep);
}

qint32 TextPool::Intern(const QString& text) {
  QString cut = CutToCellLimit(text);
  // One search finds the text or makes its place: most texts of a sheet
  // are new (paths, names), and a search before an insert hashed them twice.
  const qsizetype before = index_.size();
  qint32& index = index_[cut];
  if (index_.size() != before) {
    index = static_cast<qint32>(texts_.size());
    texts_.push_back(std::move(cut));
  }
  return index;
}

void TextPool::Clear() {
  index_.clear();
  std::vector<QString>().swap(texts_);
}

}  // namespace tbx::xls
