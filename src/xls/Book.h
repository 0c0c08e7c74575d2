#pragma once
// The content of an .xls workbook before it is written: sheets of cells
// holding texts or numbers (dates are numbers in a date format), each cell
// with its formatting, the pool of distinct texts and the numbers. Rows and
// columns are 0-based here; the spreadsheet layer translates from 1-based.
#include <QString>
#include <QStringView>
#include <memory>
#include <vector>

namespace tbx::xls {

inline constexpr int kMaxRows = 65536;       // BIFF8 row numbers are 16 bits
inline constexpr int kMaxColumns = 256;      // columns A to IV
inline constexpr int kMaxTextLength = 32767; // UTF-16 code units a cell may hold
inline constexpr int kMaxSheetNameLength = 31;

// How a cell shows its value.
enum class NumberFormat : quint8 {
  General,
  Text,      // "@"
  DateTime,  // the German date and time (DateSerial.h)
};

// The formatting a cell can carry; every distinct combination becomes one
// cell XF record.
struct CellStyle {
  bool bold = false;
  NumberFormat format = NumberFormat::General;
  quint8 fillColour = 0;  // colour index 1..56 of a solid fill, 0 for none

  bool IsDefault() const { return !bold && format == NumberFormat::General && fillColour == 0; }
  // A dense key (fill in bits 0-5, bold bit 6, text bit 7, date bit 8) for
  // XF tables. The date bit is the highest, so workbooks without dates keep
  // their XF order and bytes.
  quint16 Key() const {
    return static_cast<quint16>(fillColour | (bold ? 0x40 : 0) | (format == NumberFormat::Text ? 0x80 : 0) |
                                (format == NumberFormat::DateTime ? 0x100 : 0));
  }
  static CellStyle FromKey(quint16 key) {
    const NumberFormat format = (key & 0x100) != 0  ? NumberFormat::DateTime
                                : (key & 0x80) != 0 ? NumberFormat::Text
                                                    : NumberFormat::General;
    return CellStyle{(key & 0x40) != 0, format, static_cast<quint8>(key & 0x3F)};
  }
};

inline constexpr int kStyleKeyCount = 0x200;

inline constexpr int kNoValue = -1;

struct Cell {
  quint16 column = 0;
  CellStyle style;
  bool isNumber = false;    // value indexes the book's numbers, else its texts
  qint32 value = kNoValue;  // kNoValue: blank

  bool HasText() const { return !isNumber && value != kNoValue; }
  bool HasNumber() const { return isNumber && value != kNoValue; }
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
  // columns it uses. Column widths follow the values of every sheet anyway.
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

// The part of text a cell can hold: cut to kMaxTextLength code units (the
// formats' limit per cell) when longer, without leaving half of a surrogate
// pair behind. CellLimitLength is the length of that part.
qsizetype CellLimitLength(QStringView text);
QString CutToCellLimit(const QString& text);

// Distinct cell texts, cut to the cell limit. The characters of all texts
// lie in one buffer, found through a table of their own: a sheet of 65,000
// rows holds about a hundred thousand texts, and as strings of their own
// each was an allocation to make and free, and a cache miss when the shared
// string table was written after the last row.
class TextPool {
 public:
  qint32 Intern(QStringView text);
  QStringView At(qint32 index) const {
    const Entry& e = entries_[static_cast<size_t>(index)];
    return QStringView(chars_.data() + e.offset, e.length);
  }
  qint32 Count() const { return static_cast<qint32>(entries_.size()); }
  void Clear();

 private:
  struct Entry {
    size_t offset;  // into chars_
    qint32 length;
    quint32 hash;  // kept, so that growing the table hashes no text again
  };
  static constexpr qint32 kFree = -1;
  void Grow();

  std::vector<char16_t> chars_;
  std::vector<Entry> entries_;
  std::vector<qint32> slots_;  // open addressing by hash: an entry's index or kFree; never above half full
};

struct Book {
  std::vector<std::unique_ptr<Sheet>> sheets;  // stable addresses while sheets are added
  int activeSheet = 0;
  TextPool texts;
  std::vector<double> numbers;  // of number cells, by Cell::value
};

}  // namespace tbx::xls
