#pragma once
// Assembles the "Workbook" stream of an .xls file: every BIFF8 record in
// stream order (XlsFile.h puts the stream into its compound file).
#include <QByteArray>

#include "xls/Book.h"

namespace tbx::xls {

// The BIFF8 "Workbook" stream: the workbook globals, then each sheet.
QByteArray BuildWorkbookStream(const Book& book);

}  // namespace tbx::xls
