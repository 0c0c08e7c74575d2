#pragma once
// One function per BIFF8 record the workbook stream holds. Each appends the
// complete record (header and data) to the writer. Record layouts follow the
// published .xls format; values that never vary in our workbooks are fixed
// here rather than passed in.
#include <QString>
#include <optional>
#include <vector>

#include "xls/BiffWriter.h"
#include "xls/Book.h"

namespace tbx::xls {

enum class BofKind : quint16 { Globals = 0x0005, Worksheet = 0x0010 };

// Record types.
enum RecordType : quint16 {
  kRecEof = 0x000A,
  kRecExternSheet = 0x0017,
  kRecName = 0x0018,
  kRecSelection = 0x001D,
  kRecPane = 0x0041,
  kRecColInfo = 0x007D,
  kRecAutoFilterInfo = 0x009D,
  kRecSupBook = 0x01AE,
  kRecPrecision = 0x000E,
  kRecProtect = 0x0012,
  kRecPassword = 0x0013,
  kRecWindowProtect = 0x0019,
  kRecDateMode = 0x0022,
  kRecFont = 0x0031,
  kRecContinue = 0x003C,
  kRecWindow1 = 0x003D,
  kRecBackup = 0x0040,
  kRecCodePage = 0x0042,
  kRecDefColWidth = 0x0055,
  kRecWsBool = 0x0081,
  kRecBoundSheet = 0x0085,
  kRecHideObj = 0x008D,
  kRecMms = 0x00C1,
  kRecBookBool = 0x00DA,
  kRecXf = 0x00E0,
  kRecInterfaceHdr = 0x00E1,
  kRecInterfaceEnd = 0x00E2,
  kRecSst = 0x00FC,
  kRecLabelSst = 0x00FD,
  kRecExtSst = 0x00FF,
  kRecTabId = 0x013D,
  kRecDsf = 0x0161,
  kRecProt4Rev = 0x01AF,
  kRecRefreshAll = 0x01B7,
  kRecProt4RevPass = 0x01BC,
  kRecDimensions = 0x0200,
  kRecBlank = 0x0201,
  kRecNumber = 0x0203,
  kRecRow = 0x0208,
  kRecDefaultRowHeight = 0x0225,
  kRecWindow2 = 0x023E,
  kRecRk = 0x027E,
  kRecStyle = 0x0293,
  kRecFormat = 0x041E,
  kRecBof = 0x0809,
};

// Font indexes as cells refer to them: index 4 does not exist in BIFF8
// (readers skip it), so the fifth FONT record is font 5.
inline constexpr quint16 kFontRegular = 0;
inline constexpr quint16 kFontBold = 5;
inline constexpr int kFontRecordCount = 5;

// Built-in number formats need no FORMAT record; formats of our own get
// indexes from 164 on.
inline constexpr quint16 kFormatGeneral = 0;
inline constexpr quint16 kFormatText = 49;  // "@"
inline constexpr quint16 kFormatDateTime = 164;  // DateSerial.h

// Index of the first cell XF: 0..14 are the style XFs every workbook has,
// 15 the default cell format.
inline constexpr quint16 kFirstCellXf = 15;
inline constexpr int kStyleXfCount = 15;

// One XF record as the assembler needs it.
struct XfFields {
  bool isStyle = false;
  quint16 font = kFontRegular;
  quint16 format = kFormatGeneral;
  quint8 fillColour = 0;  // colour index 1..56 of a solid fill, 0 for none
  quint8 usedAttributes = 0;
};

void AppendBof(BiffWriter& out, BofKind kind);
void AppendEof(BiffWriter& out);
void AppendInterfaceHdr(BiffWriter& out);
void AppendMms(BiffWriter& out);
void AppendInterfaceEnd(BiffWriter& out);
void AppendCodePage(BiffWriter& out);
void AppendDsf(BiffWriter& out);
void AppendTabId(BiffWriter& out, int sheetCount);
void AppendWindowProtect(BiffWriter& out);
void AppendProtect(BiffWriter& out);
void AppendPassword(BiffWriter& out);
void AppendProt4Rev(BiffWriter& out);
void AppendProt4RevPass(BiffWriter& out);
void AppendWindow1(BiffWriter& out, int activeSheet);
void AppendBackup(BiffWriter& out);
void AppendHideObj(BiffWriter& out);
void AppendDateMode(BiffWriter& out);
void AppendPrecision(BiffWriter& out);
void AppendRefreshAll(BiffWriter& out);
void AppendBookBool(BiffWriter& out);
void AppendFont(BiffWriter& out, bool bold);
// The number format index shows values as code (an Excel format code).
void AppendFormat(BiffWriter& out, quint16 index, const QString& code);
void AppendXf(BiffWriter& out, const XfFields& xf);
void AppendStyle(BiffWriter& out);
// Returns the position of the sheet's stream offset, patched once known.
qsizetype AppendBoundSheet(BiffWriter& out, const QString& name);

void AppendDefaultRowHeight(BiffWriter& out);
void AppendWsBool(BiffWriter& out);
void AppendDefColWidth(BiffWriter& out);
// firstRow/lastRow and firstColumn/lastColumn 0-based; an empty sheet passes
// lastRow -1 and lastColumn -1.
void AppendDimensions(BiffWriter& out, int firstRow, int lastRow, int firstColumn, int lastColumn);
// xf < 0: the row has no format of its own.
void AppendRow(BiffWriter& out, int row, int firstColumn, int columnEnd, int xf);
void AppendLabelSst(BiffWriter& out, int row, int column, quint16 xf, quint32 sstIndex);
void AppendBlank(BiffWriter& out, int row, int column, quint16 xf);
void AppendNumber(BiffWriter& out, int row, int column, quint16 xf, double value);
// The RK form of value (a 30-bit integer, or a double whose lowest 34 bits
// are zero), or nullopt when value has none that is exact.
std::optional<quint32> RkValue(double value);
void AppendRk(BiffWriter& out, int row, int column, quint16 xf, quint32 rk);
// frozenRows > 0: that many rows stay at the top while the rest scrolls.
void AppendWindow2(BiffWriter& out, bool active, int frozenRows);
// The panes of a sheet whose top frozenRows are frozen, and the selection
// (first cell below them) of the lower pane.
void AppendPane(BiffWriter& out, int frozenRows);
void AppendSelection(BiffWriter& out, int frozenRows);

// Width of columns first..last (0-based) in 1/256 of a character.
void AppendColInfo(BiffWriter& out, int first, int last, quint16 width);
// The sheet has an autofilter over that many columns.
void AppendAutoFilterInfo(BiffWriter& out, int columns);

// The workbook's own sheets as targets of 3-D references: one SUPBOOK for the
// workbook itself and an EXTERNSHEET with one entry per sheet index given.
void AppendSelfSupBook(BiffWriter& out, int sheetCount);
void AppendExternSheet(BiffWriter& out, const std::vector<int>& sheets);
// The hidden built-in name _FilterDatabase of sheet `sheet`, covering rows
// firstRow..lastRow and columns 0..lastColumn through EXTERNSHEET entry xti.
void AppendFilterDatabaseName(BiffWriter& out, int sheet, int xti, int firstRow, int lastRow, int lastColumn);

}  // namespace tbx::xls
