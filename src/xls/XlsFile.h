#pragma once
// The complete .xls file: the "Workbook" stream inside a compound file.
#include <QByteArray>

#include "xls/Book.h"

namespace tbx::xls {

// The bytes of the .xls file that holds book.
QByteArray BuildXlsFile(const Book& book);

}  // namespace tbx::xls
