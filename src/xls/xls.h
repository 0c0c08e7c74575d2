#pragma once
// Excel 97-2003 workbooks (.xls, BIFF8): a "Workbook" stream of records, each
// a 16-bit type, a 16-bit length and at most 8224 bytes of data, inside a
// compound file. The stream holds the workbook globals (fonts, cell formats
// (XF), the shared string table (SST) and one BOUNDSHEET per sheet), then
// each worksheet (dimensions, rows, cells and its window settings).
//
// Public operations:
//   CreateApplication()                     the spreadsheet automation a run drives
//   Application/Workbook/Worksheet/Range    its object model (Spreadsheet.h)
//   ParseA1Reference(...)                   an A1 cell reference
//   Book, Sheet, TextPool                   the workbook content before writing
//   BuildWorkbookStream(book)               every record in stream order
//   WriteXlsFile(book, sink)                the stream inside its compound file
//   Append<Record>(BiffWriter&, ...)        one function per record (BiffRecords.h)
//
// The writer knows nothing of runs; saving goes through common/ReplaceFile.h
// and showing a workbook through platform/DesktopViewer.h.
#include "xls/Book.h"
#include "xls/CellReference.h"
#include "xls/Spreadsheet.h"
#include "xls/WorkbookStream.h"
#include "xls/XlsFile.h"
