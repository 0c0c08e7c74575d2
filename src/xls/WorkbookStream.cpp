#include "xls/WorkbookStream.h"

#include <algorithm>
#include <array>

#include "xls/BiffRecords.h"
#include "xls/ColumnWidths.h"
#include "xls/DateSerial.h"
#include "xls/SharedStrings.h"

namespace tbx::xls {
namespace {

// Rows go out in blocks of 32: the row records of a block, then its cells,
// the order spreadsheet applications write and read fastest. The optional
// DBCELL/INDEX look-up records are left out; readers rebuild them.
constexpr int kRowBlock = 32;

constexpr int kWidthUnitsPerChar = 256;

// The cell XF of every style in use: the default style is XF 15, the others
// follow in key order, so equal books give equal bytes.
struct XfTable {
  std::array<quint16, kStyleKeyCount> xfOfKey{};
  std::vector<quint16> extraKeys;
  bool dates = false;  // a date format is in use
};

XfTable CollectStyles(const Book& book) {
  std::array<bool, kStyleKeyCount> used{};
  for (const auto& sheet : book.sheets) {
    for (int r = 0; r < sheet->RowCount(); ++r) {
      const Row& row = sheet->RowAt(r);
      if (row.hasStyle) used[row.style.Key()] = true;
      for (const Cell& c : row.cells) used[c.style.Key()] = true;
    }
  }
  XfTable table;
  table.xfOfKey[0] = kFirstCellXf;
  for (int key = 1; key < kStyleKeyCount; ++key) {
    if (!used[static_cast<size_t>(key)]) continue;
    table.xfOfKey[static_cast<size_t>(key)] =
        static_cast<quint16>(kFirstCellXf + 1 + table.extraKeys.size());
    table.extraKeys.push_back(static_cast<quint16>(key));
    if (CellStyle::FromKey(static_cast<quint16>(key)).format == NumberFormat::DateTime) table.dates = true;
  }
  return table;
}

// The shared string table lists the texts cells use, in order of first use;
// texts that were replaced before saving are left out.
struct SstTable {
  std::vector<qint32> sstOfText;  // pool index -> table index, -1 unused
  std::vector<QStringView> texts;
  quint32 references = 0;
};

SstTable CollectTexts(const Book& book) {
  SstTable table;
  table.sstOfText.assign(static_cast<size_t>(book.texts.Count()), -1);
  for (const auto& sheet : book.sheets) {
    for (int r = 0; r < sheet->RowCount(); ++r) {
      for (const Cell& c : sheet->RowAt(r).cells) {
        if (!c.HasText()) continue;
        ++table.references;
        qint32& index = table.sstOfText[static_cast<size_t>(c.value)];
        if (index >= 0) continue;
        index = static_cast<qint32>(table.texts.size());
        table.texts.push_back(book.texts.At(c.value));
      }
    }
  }
  return table;
}

XfFields CellXf(const CellStyle& style) {
  XfFields xf;
  xf.font = style.bold ? kFontBold : kFontRegular;
  const bool general = style.format == NumberFormat::General;
  xf.format = style.format == NumberFormat::Text       ? kFormatText
              : style.format == NumberFormat::DateTime ? kFormatDateTime
                                                       : kFormatGeneral;
  xf.fillColour = style.fillColour;
  xf.usedAttributes = static_cast<quint8>((general ? 0 : 0x04) | (style.bold ? 0x08 : 0) |
                                          (style.fillColour != 0 ? 0x40 : 0));
  return xf;
}

void AppendFormatting(BiffWriter& out, const XfTable& xfs) {
  for (int i = 0; i < kFontRecordCount; ++i) AppendFont(out, i == kFontRecordCount - 1);
  if (xfs.dates) AppendFormat(out, kFormatDateTime, QString::fromLatin1(kDateTimeFormatCode));
  for (int i = 0; i < kStyleXfCount; ++i) {
    // The Normal style defines every attribute; the other built-in styles
    // take theirs from it.
    AppendXf(out, XfFields{true, kFontRegular, kFormatGeneral, 0, static_cast<quint8>(i == 0 ? 0 : 0xF4)});
  }
  AppendXf(out, CellXf(CellStyle{}));
  for (quint16 key : xfs.extraKeys) AppendXf(out, CellXf(CellStyle::FromKey(key)));
  AppendStyle(out);
}

// The last column row 0 uses (the header's filter range), -1 when empty.
int LastHeaderColumn(const Sheet& sheet) {
  if (sheet.RowCount() == 0 || sheet.RowAt(0).cells.empty()) return -1;
  return sheet.RowAt(0).cells.back().column;
}

bool HasFilter(const Sheet& sheet) { return sheet.HeaderRow() && LastHeaderColumn(sheet) >= 0; }

// A width per column as long as its longest value, counted on what is
// written.
void AppendColumnWidths(BiffWriter& out, const Sheet& sheet, const Book& book) {
  ColumnWidths widths;
  for (int r = 0; r < sheet.RowCount(); ++r) {
    for (const Cell& c : sheet.RowAt(r).cells) {
      if (c.HasText()) {
        widths.Note(r, c.column, static_cast<int>(book.texts.At(c.value).size()));
      } else if (c.HasNumber()) {
        widths.Note(r, c.column,
                    c.style.format == NumberFormat::DateTime
                        ? kDateTimeDisplayLength
                        : NumberDisplayLength(book.numbers[static_cast<size_t>(c.value)]));
      }
    }
  }
  for (int column = 0; column < widths.ColumnCount(); ++column) {
    const int chars = widths.Chars(column, sheet.HeaderRow());
    if (chars > 0) AppendColInfo(out, column, column, static_cast<quint16>(chars * kWidthUnitsPerChar));
  }
}

// The hidden _FilterDatabase name of every sheet with a header filter, with
// the 3-D references it needs. Sheets without a filter add nothing.
void AppendFilterNames(BiffWriter& out, const Book& book) {
  std::vector<int> filtered;
  for (size_t i = 0; i < book.sheets.size(); ++i)
    if (HasFilter(*book.sheets[i])) filtered.push_back(static_cast<int>(i));
  if (filtered.empty()) return;
  AppendSelfSupBook(out, static_cast<int>(book.sheets.size()));
  AppendExternSheet(out, filtered);
  for (size_t x = 0; x < filtered.size(); ++x) {
    const Sheet& sheet = *book.sheets[static_cast<size_t>(filtered[x])];
    AppendFilterDatabaseName(out, filtered[x], static_cast<int>(x), 0, std::max(0, sheet.RowCount() - 1),
                             LastHeaderColumn(sheet));
  }
}

std::vector<qsizetype> AppendGlobals(BiffWriter& out, const Book& book, const XfTable& xfs,
                                     const SstTable& sst) {
  const auto sheetCount = static_cast<int>(book.sheets.size());
  AppendBof(out, BofKind::Globals);
  AppendInterfaceHdr(out);
  AppendMms(out);
  AppendInterfaceEnd(out);
  AppendCodePage(out);
  AppendDsf(out);
  AppendTabId(out, sheetCount);
  AppendWindowProtect(out);
  AppendProtect(out);
  AppendPassword(out);
  AppendProt4Rev(out);
  AppendProt4RevPass(out);
  AppendWindow1(out, book.activeSheet);
  AppendBackup(out);
  AppendHideObj(out);
  AppendDateMode(out);
  AppendPrecision(out);
  AppendRefreshAll(out);
  AppendBookBool(out);
  AppendFormatting(out, xfs);
  std::vector<qsizetype> sheetOffsets;
  for (const auto& sheet : book.sheets) sheetOffsets.push_back(AppendBoundSheet(out, sheet->Name()));
  AppendFilterNames(out, book);
  AppendSharedStrings(out, sst.texts, sst.references);
  AppendEof(out);
  return sheetOffsets;
}

void AppendUsedArea(BiffWriter& out, const Sheet& sheet) {
  int firstRow = -1, lastRow = -1, firstColumn = kMaxColumns, lastColumn = -1;
  for (int r = 0; r < sheet.RowCount(); ++r) {
    const std::vector<Cell>& cells = sheet.RowAt(r).cells;
    if (cells.empty()) continue;
    if (firstRow < 0) firstRow = r;
    lastRow = r;
    firstColumn = std::min<int>(firstColumn, cells.front().column);
    lastColumn = std::max<int>(lastColumn, cells.back().column);
  }
  if (firstRow < 0) {
    AppendDimensions(out, 0, -1, 0, -1);
  } else {
    AppendDimensions(out, firstRow, lastRow, firstColumn, lastColumn);
  }
}

// Dates always as NUMBER records; other numbers as RK where that form is exact.
void AppendNumberCell(BiffWriter& out, int row, const Cell& c, quint16 xf, double value) {
  const std::optional<quint32> rk = c.style.format == NumberFormat::DateTime ? std::nullopt : RkValue(value);
  if (rk) {
    AppendRk(out, row, c.column, xf, *rk);
  } else {
    AppendNumber(out, row, c.column, xf, value);
  }
}

void AppendCells(BiffWriter& out, const Sheet& sheet, const Book& book, const XfTable& xfs, const SstTable& sst) {
  for (int start = 0; start < sheet.RowCount(); start += kRowBlock) {
    const int end = std::min(start + kRowBlock, sheet.RowCount());
    for (int r = start; r < end; ++r) {
      const Row& row = sheet.RowAt(r);
      if (row.cells.empty() && !row.hasStyle) continue;
      const int first = row.cells.empty() ? 0 : row.cells.front().column;
      const int columnEnd = row.cells.empty() ? 0 : row.cells.back().column + 1;
      AppendRow(out, r, first, columnEnd, row.hasStyle ? xfs.xfOfKey[row.style.Key()] : -1);
    }
    for (int r = start; r < end; ++r) {
      for (const Cell& c : sheet.RowAt(r).cells) {
        const quint16 xf = xfs.xfOfKey[c.style.Key()];
        if (c.HasText()) {
          AppendLabelSst(out, r, c.column, xf,
                         static_cast<quint32>(sst.sstOfText[static_cast<size_t>(c.value)]));
        } else if (c.HasNumber()) {
          AppendNumberCell(out, r, c, xf, book.numbers[static_cast<size_t>(c.value)]);
        } else if (!c.style.IsDefault()) {
          // A cell with a format but no value keeps its format.
          AppendBlank(out, r, c.column, xf);
        }
      }
    }
  }
}

void AppendSheet(BiffWriter& out, const Sheet& sheet, bool active, const Book& book, const XfTable& xfs,
                 const SstTable& sst) {
  const int frozenRows = sheet.HeaderRow() ? 1 : 0;
  AppendBof(out, BofKind::Worksheet);
  AppendDefaultRowHeight(out);
  AppendWsBool(out);
  AppendDefColWidth(out);
  AppendColumnWidths(out, sheet, book);
  if (HasFilter(sheet)) AppendAutoFilterInfo(out, LastHeaderColumn(sheet) + 1);
  AppendUsedArea(out, sheet);
  AppendCells(out, sheet, book, xfs, sst);
  AppendWindow2(out, active, frozenRows);
  if (frozenRows > 0) {
    AppendPane(out, frozenRows);
    AppendSelection(out, frozenRows);
  }
  AppendEof(out);
}

}  // namespace

QByteArray BuildWorkbookStream(const Book& book) {
  const XfTable xfs = CollectStyles(book);
  const SstTable sst = CollectTexts(book);
  BiffWriter out;
  const std::vector<qsizetype> sheetOffsets = AppendGlobals(out, book, xfs, sst);
  for (size_t i = 0; i < book.sheets.size(); ++i) {
    out.PatchU32(sheetOffsets[i], static_cast<quint32>(out.Position()));
    AppendSheet(out, *book.sheets[i], static_cast<int>(i) == book.activeSheet, book, xfs, sst);
  }
  return out.Take();
}

}  // namespace tbx::xls
