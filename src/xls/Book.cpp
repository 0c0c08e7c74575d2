#include "xls/Book.h"

#include <QHash>
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

qsizetype CellLimitLength(QStringView text) {
  if (text.size() <= kMaxTextLength) return text.size();
  return text.at(kMaxTextLength - 1).isHighSurrogate() ? kMaxTextLength - 1 : kMaxTextLength;
}

QString CutToCellLimit(const QString& text) {
  return text.size() <= kMaxTextLength ? text : text.left(CellLimitLength(text));
}

qint32 TextPool::Intern(QStringView text) {
  text = text.left(CellLimitLength(text));
  if (2 * (entries_.size() + 1) > slots_.size()) Grow();
  const auto hash = static_cast<quint32>(qHash(text));
  const size_t mask = slots_.size() - 1;
  for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    qint32& index = slots_[slot];
    if (index == kFree) {
      index = Count();
      entries_.push_back(Entry{chars_.size(), static_cast<qint32>(text.size()), hash});
      chars_.insert(chars_.end(), text.utf16(), text.utf16() + text.size());
      return index;
    }
    const Entry& e = entries_[static_cast<size_t>(index)];
    if (e.hash == hash && At(index) == text) return index;
  }
}

void TextPool::Grow() {
  std::vector<qint32> table(std::max<size_t>(64, 2 * slots_.size()), kFree);
  const size_t mask = table.size() - 1;
  for (qint32 index = 0; index < Count(); ++index) {
    size_t slot = entries_[static_cast<size_t>(index)].hash & mask;
    while (table[slot] != kFree) slot = (slot + 1) & mask;
    table[slot] = index;
  }
  slots_ = std::move(table);
}

void TextPool::Clear() {
  std::vector<char16_t>().swap(chars_);
  std::vector<Entry>().swap(entries_);
  std::vector<qint32>().swap(slots_);
}

}  // namespace tbx::xls
