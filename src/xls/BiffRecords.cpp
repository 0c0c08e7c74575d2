#include "xls/BiffRecords.h"

#include <cmath>
#include <cstring>

namespace tbx::xls {
namespace {

constexpr quint8 kPaneLowerLeft = 2;

constexpr quint16 kBiff8Version = 0x0600;
// Build and year of the application a BIFF8 file claims to come from; readers
// only check that they are present.
constexpr quint16 kBuild = 0x0DBB;
constexpr quint16 kBuildYear = 0x07CC;
constexpr quint16 kCodePageUtf16 = 1200;  // BIFF8 text is Unicode
constexpr quint16 kColourAuto = 0x7FFF;    // font colour: window text
constexpr quint16 kIcvWindowText = 0x40;
constexpr quint16 kIcvWindowBackground = 0x41;
constexpr quint16 kDefaultRowHeightTwips = 0x00FF;
constexpr quint8 kFillSolid = 1;
// Palette entries 8..63 back the colour indexes 1..56 users pick from.
constexpr quint16 kPaletteOffset = 7;

void AppendU16Record(BiffWriter& out, quint16 type, quint16 value) {
  out.Header(type, 2);
  out.U16(value);
}

// ShortXLUnicodeString: 8-bit count, flags, characters (compressed if possible).
void AppendShortString(BiffWriter& out, const QString& text) {
  const bool compressed = FitsCompressed(text);
  out.U8(static_cast<quint8>(text.size()));
  out.U8(compressed ? 0 : 1);
  out.Chars(text, 0, text.size(), compressed);
}

quint16 ShortStringSize(const QString& text) {
  return static_cast<quint16>(2 + text.size() * (FitsCompressed(text) ? 1 : 2));
}

}  // namespace

void AppendBof(BiffWriter& out, BofKind kind) {
  out.Header(kRecBof, 16);
  out.U16(kBiff8Version);
  out.U16(static_cast<quint16>(kind));
  out.U16(kBuild);
  out.U16(kBuildYear);
  out.U32(0);  // file history flags
  out.U32(6);  // lowest BIFF version that can read the file: BIFF8
}

void AppendEof(BiffWriter& out) { out.Header(kRecEof, 0); }

void AppendInterfaceHdr(BiffWriter& out) { AppendU16Record(out, kRecInterfaceHdr, kCodePageUtf16); }

void AppendMms(BiffWriter& out) { AppendU16Record(out, kRecMms, 0); }

void AppendInterfaceEnd(BiffWriter& out) { out.Header(kRecInterfaceEnd, 0); }

void AppendCodePage(BiffWriter& out) { AppendU16Record(out, kRecCodePage, kCodePageUtf16); }

void AppendDsf(BiffWriter& out) { AppendU16Record(out, kRecDsf, 0); }

void AppendTabId(BiffWriter& out, int sheetCount) {
  out.Header(kRecTabId, static_cast<quint16>(2 * sheetCount));
  for (int i = 1; i <= sheetCount; ++i) out.U16(static_cast<quint16>(i));
}

void AppendWindowProtect(BiffWriter& out) { AppendU16Record(out, kRecWindowProtect, 0); }

void AppendProtect(BiffWriter& out) { AppendU16Record(out, kRecProtect, 0); }

void AppendPassword(BiffWriter& out) { AppendU16Record(out, kRecPassword, 0); }

void AppendProt4Rev(BiffWriter& out) { AppendU16Record(out, kRecProt4Rev, 0); }

void AppendProt4RevPass(BiffWriter& out) { AppendU16Record(out, kRecProt4RevPass, 0); }

void AppendWindow1(BiffWriter& out, int activeSheet) {
  out.Header(kRecWindow1, 18);
  out.U16(0x0168);  // window position and size in twips
  out.U16(0x001E);
  out.U16(0x3A98);
  out.U16(0x2328);
  out.U16(0x0038);  // horizontal and vertical scroll bars, sheet tabs
  out.U16(static_cast<quint16>(activeSheet));
  out.U16(0);       // first tab shown
  out.U16(1);       // selected tabs
  out.U16(0x0258);  // tab bar width: 600 per mille
}

void AppendBackup(BiffWriter& out) { AppendU16Record(out, kRecBackup, 0); }

void AppendHideObj(BiffWriter& out) { AppendU16Record(out, kRecHideObj, 0); }

void AppendDateMode(BiffWriter& out) { AppendU16Record(out, kRecDateMode, 0); }  // 1900 dates

void AppendPrecision(BiffWriter& out) { AppendU16Record(out, kRecPrecision, 1); }  // as displayed: no

void AppendRefreshAll(BiffWriter& out) { AppendU16Record(out, kRecRefreshAll, 0); }

void AppendBookBool(BiffWriter& out) { AppendU16Record(out, kRecBookBool, 0); }

void AppendFont(BiffWriter& out, bool bold) {
  const QString name = QStringLiteral("Arial");
  out.Header(kRecFont, static_cast<quint16>(14 + ShortStringSize(name)));
  out.U16(200);  // 10 point in twentieths
  // Not italic, struck out, outlined or shadowed; bit 0 repeats the bold
  // weight for readers that look only there.
  out.U16(bold ? 1 : 0);
  out.U16(kColourAuto);
  out.U16(bold ? 700 : 400);
  out.U16(0);  // no super- or subscript
  out.U8(0);   // not underlined
  out.U8(2);   // family: swiss
  out.U8(0);   // character set: ANSI
  out.U8(0);
  AppendShortString(out, name);
}

void AppendFormat(BiffWriter& out, quint16 index, const QString& code) {
  // XLUnicodeString: 16-bit count, flags, characters.
  const bool compressed = FitsCompressed(code);
  out.Header(kRecFormat, static_cast<quint16>(5 + code.size() * (compressed ? 1 : 2)));
  out.U16(index);
  out.U16(static_cast<quint16>(code.size()));
  out.U8(compressed ? 0 : 1);
  out.Chars(code, 0, code.size(), compressed);
}

void AppendXf(BiffWriter& out, const XfFields& xf) {
  out.Header(kRecXf, 20);
  out.U16(xf.font);
  out.U16(xf.format);
  // Locked; a style XF has no parent (0xFFF), a cell XF the Normal style (0).
  out.U16(xf.isStyle ? 0xFFF5 : 0x0001);
  out.U8(0x20);  // aligned general, bottom
  out.U8(0);     // no rotation
  out.U8(0);     // no indent, left-to-right context
  out.U8(static_cast<quint8>(xf.usedAttributes & 0xFC));
  out.U32(0);    // no borders
  const bool filled = xf.fillColour != 0;
  out.U32(filled ? static_cast<quint32>(kFillSolid) << 26 : 0);
  const quint16 fore = filled ? static_cast<quint16>(xf.fillColour + kPaletteOffset) : kIcvWindowText;
  const quint16 back = filled ? kIcvWindowText : kIcvWindowBackground;
  out.U16(static_cast<quint16>(fore | (back << 7)));
}

void AppendStyle(BiffWriter& out) {
  out.Header(kRecStyle, 4);
  out.U16(0x8000);  // built-in style on XF 0
  out.U8(0);        // Normal
  out.U8(0xFF);     // no outline level
}

qsizetype AppendBoundSheet(BiffWriter& out, const QString& name) {
  out.Header(kRecBoundSheet, static_cast<quint16>(6 + ShortStringSize(name)));
  const qsizetype offsetAt = out.Position();
  out.U32(0);
  out.U8(0);  // visible
  out.U8(0);  // worksheet
  AppendShortString(out, name);
  return offsetAt;
}

void AppendDefaultRowHeight(BiffWriter& out) {
  out.Header(kRecDefaultRowHeight, 4);
  out.U16(0);
  out.U16(kDefaultRowHeightTwips);
}

void AppendWsBool(BiffWriter& out) {
  // Automatic page breaks shown, summary rows below and columns right,
  // outline symbols shown.
  AppendU16Record(out, kRecWsBool, 0x04C1);
}

void AppendDefColWidth(BiffWriter& out) { AppendU16Record(out, kRecDefColWidth, 8); }

void AppendDimensions(BiffWriter& out, int firstRow, int lastRow, int firstColumn, int lastColumn) {
  out.Header(kRecDimensions, 14);
  out.U32(static_cast<quint32>(firstRow));
  out.U32(static_cast<quint32>(lastRow + 1));
  out.U16(static_cast<quint16>(firstColumn));
  out.U16(static_cast<quint16>(lastColumn + 1));
  out.U16(0);
}

void AppendRow(BiffWriter& out, int row, int firstColumn, int columnEnd, int xf) {
  out.Header(kRecRow, 16);
  out.U16(static_cast<quint16>(row));
  out.U16(static_cast<quint16>(firstColumn));
  out.U16(static_cast<quint16>(columnEnd));
  out.U16(kDefaultRowHeightTwips);
  out.U16(0);
  out.U16(0);
  // Bit 8 is always set; bit 7 marks a row with a format of its own.
  out.U16(xf >= 0 ? 0x0180 : 0x0100);
  out.U16(static_cast<quint16>(xf >= 0 ? xf : kFirstCellXf));
}

void AppendLabelSst(BiffWriter& out, int row, int column, quint16 xf, quint32 sstIndex) {
  out.Header(kRecLabelSst, 10);
  out.U16(static_cast<quint16>(row));
  out.U16(static_cast<quint16>(column));
  out.U16(xf);
  out.U32(sstIndex);
}

void AppendBlank(BiffWriter& out, int row, int column, quint16 xf) {
  out.Header(kRecBlank, 6);
  out.U16(static_cast<quint16>(row));
  out.U16(static_cast<quint16>(column));
  out.U16(xf);
}

void AppendNumber(BiffWriter& out, int row, int column, quint16 xf, double value) {
  out.Header(kRecNumber, 14);
  out.U16(static_cast<quint16>(row));
  out.U16(static_cast<quint16>(column));
  out.U16(xf);
  out.F64(value);
}

std::optional<quint32> RkValue(double value) {
  constexpr double kRkIntegerLimit = 1 << 29;  // signed 30 bits
  // Whole numbers in range as integers, except -0, whose sign only the double form keeps.
  if (value == std::trunc(value) && value >= -kRkIntegerLimit && value < kRkIntegerLimit &&
      !(value == 0 && std::signbit(value))) {
    return (static_cast<quint32>(static_cast<qint32>(value)) << 2) | 0x2;
  }
  quint64 bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  constexpr quint64 kDroppedBits = (quint64{1} << 34) - 1;
  if ((bits & kDroppedBits) != 0) return std::nullopt;
  return static_cast<quint32>(bits >> 32);
}

void AppendRk(BiffWriter& out, int row, int column, quint16 xf, quint32 rk) {
  out.Header(kRecRk, 10);
  out.U16(static_cast<quint16>(row));
  out.U16(static_cast<quint16>(column));
  out.U16(xf);
  out.U32(rk);
}

void AppendWindow2(BiffWriter& out, bool active, int frozenRows) {
  out.Header(kRecWindow2, 18);
  // Grid lines, headings, zero values, automatic grid colour, outline
  // symbols; the active sheet is also selected and shown. Frozen panes are
  // frozen without a split bar (fFrozen, fFrozenNoSplit).
  constexpr quint16 kFrozen = 0x0008 | 0x0100;
  out.U16(static_cast<quint16>((active ? 0x06B6 : 0x00B6) | (frozenRows > 0 ? kFrozen : 0)));
  out.U16(0);  // top row shown
  out.U16(0);  // left column shown
  out.U16(kIcvWindowText);
  out.U16(0);
  out.U16(0);  // zoom levels: default
  out.U16(0);
  out.U32(0);
}

void AppendPane(BiffWriter& out, int frozenRows) {
  out.Header(kRecPane, 10);
  out.U16(0);                                  // no columns frozen
  out.U16(static_cast<quint16>(frozenRows));   // rows in the top pane
  out.U16(static_cast<quint16>(frozenRows));   // first row shown below them
  out.U16(0);                                  // first column shown
  out.U16(kPaneLowerLeft);                     // the pane that scrolls is active
}

void AppendSelection(BiffWriter& out, int frozenRows) {
  out.Header(kRecSelection, 15);
  out.U8(kPaneLowerLeft);
  out.U16(static_cast<quint16>(frozenRows));  // active cell: first row below the frozen ones
  out.U16(0);
  out.U16(0);  // index of the active cell's range
  out.U16(1);  // one range: the active cell itself
  out.U16(static_cast<quint16>(frozenRows));
  out.U16(static_cast<quint16>(frozenRows));
  out.U8(0);
  out.U8(0);
}

void AppendColInfo(BiffWriter& out, int first, int last, quint16 width) {
  out.Header(kRecColInfo, 12);
  out.U16(static_cast<quint16>(first));
  out.U16(static_cast<quint16>(last));
  out.U16(width);
  out.U16(kFirstCellXf);
  out.U16(0x0002);  // fUserSet: the width was chosen, not the default
  out.U16(0);
}

void AppendAutoFilterInfo(BiffWriter& out, int columns) {
  AppendU16Record(out, kRecAutoFilterInfo, static_cast<quint16>(columns));
}

void AppendSelfSupBook(BiffWriter& out, int sheetCount) {
  out.Header(kRecSupBook, 4);
  out.U16(static_cast<quint16>(sheetCount));
  out.U16(0x0401);  // marks the SUPBOOK of the workbook itself
}

void AppendExternSheet(BiffWriter& out, const std::vector<int>& sheets) {
  out.Header(kRecExternSheet, static_cast<quint16>(2 + 6 * sheets.size()));
  out.U16(static_cast<quint16>(sheets.size()));
  for (int sheet : sheets) {
    out.U16(0);  // the SUPBOOK of this workbook
    out.U16(static_cast<quint16>(sheet));
    out.U16(static_cast<quint16>(sheet));
  }
}

void AppendFilterDatabaseName(BiffWriter& out, int sheet, int xti, int firstRow, int lastRow, int lastColumn) {
  constexpr quint8 kBuiltInFilterDatabase = 0x0D;
  constexpr quint8 kPtgArea3d = 0x3B;
  constexpr quint16 kFormulaSize = 11;
  out.Header(kRecName, 14 + 2 + kFormulaSize);
  out.U16(0x0021);  // hidden, built-in
  out.U8(0);        // no keyboard shortcut
  out.U8(1);        // one character: the built-in name's number
  out.U16(kFormulaSize);
  out.U16(0);
  out.U16(static_cast<quint16>(sheet + 1));  // local to its sheet
  out.U32(0);       // no menu, description, help or status texts
  out.U8(0);        // compressed characters
  out.U8(kBuiltInFilterDatabase);
  out.U8(kPtgArea3d);
  out.U16(static_cast<quint16>(xti));
  out.U16(static_cast<quint16>(firstRow));
  out.U16(static_cast<quint16>(lastRow));
  out.U16(0);  // columns absolute: no relative flags
  out.U16(static_cast<quint16>(lastColumn));
}

}  // namespace tbx::xls
