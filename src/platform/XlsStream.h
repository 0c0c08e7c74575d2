#pragma once
// Assembles the "Workbook" stream of an .xls file and the file around it.
#include <QByteArray>

#include "platform/XlsBook.h"

namespace tbx::xls {

// The BIFF8 "Workbook" stream: the workbook globals, then each sheet.
QByteArray BuildWorkbookStream(const Book& book);

// The complete .xls file: the stream inside a compound file.
QByteArray BuildXlsFile(const Book& book);

}  // namespace tbx::xls
