#pragma once
// The content of an .xls workbook before it is written: sheets of text cells,
// each cell with its formatting, and the pool of distinct texts. Rows and
// columns are 0-based here; the spreadsheet layer translates from 1-based.
#include <QHash>
#include <QString>
#include <memory>
#include <vector>

namespace tbx::xls {

inline constexpr int kMaxRows = 65536;       // BIFF8 row numbers are 16 bits
inline constexpr int kMaxColumns = 256;      // columns A to IV
inline constexpr int kMaxTextLength = 32767; // UTF-16 code units a cell may hold
inline constexpr int kMaxSheetNameLength = 31;

// The formatting a cell can carry; every distinct combination becomes one
// cell XF record.
struct CellStyle {
  bool bold = false;
  bool text = false;         // number format "@"
  quint8 fillColour = 0;     // colour index 1..56 of a solid fill, 0 for none

  bool IsDefault() const { return !bold && !text && fillColour == 0; }
  // A dense key (fill in bits 0-5, bold bit 6, text bit 7) for XF tables.
  quint8 Key() const {
    return static_cast<quint8>(fillColour | (bold ? 0x40 : 0) | (text ? 0x80 : 0));
  }
  static CellStyle FromKey(quint8 key) {
    return CellStyle{(key & 0x40) != 0, (key & 0x80) != 0, static_cast<quint8>(key & 0x3F)};
  }
};

inline constexpr int kNoText = -1;

struct Cell {
  quint16 column = 0;
  CellStyle style;
  qint32 text = kNoText;  // index into the book's text pool, or kNoText (blank)
};

struct Row {
  std::vector<Cell> cells;  // ordered by column
  bool hasStyle = false;    // a row format (new cells in the row take it)
  CellStyle style;
};

class Sheet {
 public:
  explicit Sheet(QString name) : name_(std::move(name)) {}
  const QString& Name() const { return name_; }

  // The cell at row, column, created (with the row's format) when absent.
  // Callers check the bounds.
  Cell& At(int row, int column);
  // Bold for the whole row: its existing cells turn bold, keeping their
  // other formatting, and cells created later in the row start bold.
  void SetRowBold(int row);

  // Row 0 is a header: frozen at the top, with an autofilter over the
  // columns it uses. Column widths follow the texts of every sheet anyway.
  void SetHeaderRow(bool on) { headerRow_ = on; }
  bool HeaderRow() const { return headerRow_; }

  // Rows 0 .. RowCount() - 1; rows past the last used one are not kept.
  int RowCount() const { return static_cast<int>(rows_.size()); }
  const Row& RowAt(int row) const { return rows_[static_cast<size_t>(row)]; }
  void Clear() { std::vector<Row>().swap(rows_); }

 private:
  Row& RowForWrite(int row);

  QString name_;
  std::vector<Row> rows_;
  bool headerRow_ = false;
};

// Distinct cell texts; a text longer than a cell can hold is cut to
// kMaxTextLength code units (the format's limit per cell), without leaving
// half of a surrogate pair behind.
class TextPool {
 public:
  qint32 Intern(const QString& text);
  const QString& At(qint32 index) const { return texts_[static_cast<size_t>(index)]; }
  qint32 Count() const { return static_cast<qint32>(texts_.size()); }
  void Clear();

 private:
  QHash<QString, qint32> index_;
  std::vector<QString> texts_;
};

struct Book {
  std::vector<std::unique_ptr<Sheet>> sheets;  // stable addresses while sheets are added
  int activeSheet = 0;
  TextPool texts;
};

}  // namespace tbx::xls
