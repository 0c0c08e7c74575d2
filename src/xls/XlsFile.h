#pragma once
// The complete .xls file: the "Workbook" stream inside a compound file.
#include <QtGlobal>
#include <functional>

#include "xls/Book.h"

namespace tbx::xls {

// Hands the bytes of the .xls file that holds book to sink, piece by piece
// (the file is megabytes, and built whole it was one more copy of them);
// false when sink refused one.
bool WriteXlsFile(const Book& book, const std::function<bool(const char*, qint64)>& sink);

}  // namespace tbx::xls
