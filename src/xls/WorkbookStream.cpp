#include "xls/WorkbookStream.h"

#include <algorithm>
#include <array>

#include "xls/BiffRecords.h"
#include "xls/SharedStrings.h"

namespace tbx::xls {
namespace {

// Rows go out in blocks of 32: the row records of a block, then its cells,
// the order spreadsheet applications write and read fastest. The optional
// DBCELL/INDEX look-up records are left out; readers rebuild them.
constexpr int kRowBlock = 32;

// Column widths in characters: at least the default width, at most what
// still leaves room for the next columns on a screen (long paths are cut).
constexpr int kMinColumnChars = 8;
constexpr int kMaxColumnChars = 60;
constexpr int kWidthUnitsPerChar = 256;

// The cell XF of every style in use: the default style is XF 15, the others
// follow in key order, so equal books give equal bytes.
struct XfTable {
  std::array<quint16, 256> xfOfKey{};
  std::vector<quint8> extraKeys;
};

XfTable CollectStyles(const Book& book) {
  std::array<bool, 256> used{};
  for (const auto& sheet : book.sheets) {
    for (int r = 0; r < sheet->RowCount(); ++r) {
      const Row& row = sheet->RowAt(r);
      if (row.hasStyle) used[row.style.Key()] = true;
      for (const Cell& c : row.cells) used[c.style.Key()] = true;
    }
  }
  XfTable table;
  table.xfOfKey[0] = kFirstCellXf;
  for (int key = 1; key < 256; ++key) {
    if (!used[static_cast<size_t>(key)]) continue;
    table.xfOfKey[static_cast<size_t>(key)] =
        static_cast<quint16>(kFirstCellXf + 1 + table.extraKeys.size());
    table.extraKeys.push_back(static_cast<quint8>(key));
  }
  return table;
}

// The shared string table lists the texts cells use, in order of first use;
// texts that were replaced before saving are left out.
struct SstTable {
  std::vector<qint32> sstOfText;  // pool index -> table index, -1 unused
  std::vector<const QString*> texts;
  quint32 references = 0;
};

SstTable CollectTexts(const Book& book) {
  SstTable table;
  table.sstOfText.assign(static_cast<size_t>(book.texts.Count()), -1);
  for (const auto& sheet : book.sheets) {
    for (int r = 0; r < sheet->RowCount(); ++r) {
      for (const Cell& c : sheet->RowAt(r).cells) {
        if (c.text == kNoText) continue;
        ++table.references;
        qint32& index = table.sstOfText[static_cast<size_t>(c.text)];
        if (index >= 0) continue;
        index = static_cast<qint32>(table.texts.size());
        table.texts.push_back(&book.texts.At(c.text));
      }
    }
  }
  return table;
}

XfFields CellXf(const CellStyle& style) {
  XfFields xf;
  xf.font = style.bold ? kFontBold : kFontRegular;
  xf.format = style.text ? kFormatText : kFormatGeneral;
  xf.fillColour = style.fillColour;
  xf.usedAttributes = static_cast<quint8>((style.text ? 0x04 : 0) | (style.bold ? 0x08 : 0) |
                                          (style.fillColour != 0 ? 0x40 : 0));
  return xf;
}

void AppendFormatting(BiffWriter& out, const XfTable& xfs) {
  for (int i = 0; i < kFontRecordCount; ++i) AppendFont(out, i == kFontRecordCount - 1);
  for (int i = 0; i < kStyleXfCount; ++i) {
    // The Normal style defines every attribute; the other built-in styles
    // take theirs from it.
    AppendXf(out, XfFields{true, kFontRegular, kFormatGeneral, 0, static_cast<quint8>(i == 0 ? 0 : 0xF4)});
  }
  AppendXf(out, CellXf(CellStyle{}));
  for (quint8 key : xfs.extraKeys) AppendXf(out, CellXf(CellStyle::FromKey(key)));
  AppendStyle(out);
}

// The last column row 0 uses (the header's filter range), -1 when empty.
int LastHeaderColumn(const Sheet& sheet) {
  if (sheet.RowCount() == 0 || sheet.RowAt(0).cells.empty()) return -1;
  return sheet.RowAt(0).cells.back().column;
}

bool HasFilter(const Sheet& sheet) { return sheet.HeaderRow() && LastHeaderColumn(sheet) >= 0; }

// A width per column as long as its longest text, counted on what is
// written; one character more for the bold header and the filter button.
void AppendColumnWidths(BiffWriter& out, const Sheet& sheet, const TextPool& texts) {
  std::vector<int> chars(kMaxColumns, 0);
  for (int r = 0; r < sheet.RowCount(); ++r) {
    const int extra = r == 0 && sheet.HeaderRow() ? 2 : 0;
    for (const Cell& c : sheet.RowAt(r).cells)
      if (c.text != kNoText) chars[c.column] = std::max<int>(chars[c.column], texts.At(c.text).size() + extra);
  }
  for (int column = 0; column < kMaxColumns; ++column) {
    if (chars[column] <= kMinColumnChars) continue;
    const int width = std::min(chars[column] + 1, kMaxColumnChars);
    AppendColInfo(out, column, column, static_cast<quint16>(width * kWidthUnitsPerChar));
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

void AppendCells(BiffWriter& out, const Sheet& sheet, const XfTable& xfs, const SstTable& sst) {
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
        if (c.text != kNoText) {
          AppendLabelSst(out, r, c.column, xf,
                         static_cast<quint32>(sst.sstOfText[static_cast<size_t>(c.text)]));
        } else if (!c.style.IsDefault()) {
          // A cell with a format but no value keeps its format.
          AppendBlank(out, r, c.column, xf);
        }
      }
    }
  }
}

void AppendSheet(BiffWriter& out, const Sheet& sheet, bool active, const TextPool& texts, const XfTable& xfs,
                 const SstTable& sst) {
  const int frozenRows = sheet.HeaderRow() ? 1 : 0;
  AppendBof(out, BofKind::Worksheet);
  AppendDefaultRowHeight(out);
  AppendWsBool(out);
  AppendDefColWidth(out);
  AppendColumnWidths(out, sheet, texts);
  if (HasFilter(sheet)) AppendAutoFilterInfo(out, LastHeaderColumn(sheet) + 1);
  AppendUsedArea(out, sheet);
  AppendCells(out, sheet, xfs, sst);
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
    AppendSheet(out, *book.sheets[i], static_cast<int>(i) == book.activeSheet, book.texts, xfs, sst);
  }
  return out.Take();
}

}  // namespace tbx::xls
