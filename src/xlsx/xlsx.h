#pragma once
// Office Open XML workbooks (.xlsx), written by libxlsxwriter in its
// constant-memory mode: a run's rows go out one after the other, so a sheet
// of a million rows takes no more memory than one of a hundred. The cells are
// those of the .xls writer (xls/), through the same automation object model
// (xls/Spreadsheet.h): texts, numbers and dates, bold header row, fills,
// column widths, frozen header with its filter. Unlike in an .xls workbook,
// rows must be written in increasing order: a row can be changed until a
// later one is written, touching it after that throws RunError 1004.
//
// Public operations:
//   IsXlsxName(path)              whether a workbook name asks for .xlsx
//   CreateXlsxApplication()       the automation whose workbooks save as .xlsx
//   CreateApplicationFor(path)    the writer a workbook name asks for
//   LxwWorkbook                   one package as libxlsxwriter writes it (LxwWorkbook.h)
//   StreamedSheet                 one worksheet written row by row (StreamedSheet.h)
//   PackageNumbers                numbers written with a decimal point whatever the locale (PackageNumbers.h)
#include <QString>
#include <memory>

#include "xls/Spreadsheet.h"

namespace tbx {

// True when path ends in ".xlsx" (any case).
bool IsXlsxName(const QString& path);

// A new application whose workbooks are .xlsx packages (grid kXlsxGrid).
std::unique_ptr<Application> CreateXlsxApplication();

// The writer the workbook name asks for: CreateXlsxApplication() for an
// .xlsx name, CreateApplication() (the .xls writer) for every other.
std::unique_ptr<Application> CreateApplicationFor(const QString& workbookPath);

}  // namespace tbx
