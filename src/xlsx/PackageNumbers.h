#pragma once
// libxlsxwriter writes the numbers of a package (cell values, column widths,
// row heights, margins) with the C library's printf, which follows the
// locale of the calling thread. Qt sets the user's locale for the whole
// program on start-up on Unix, and under a German one printf writes "7,85":
// readers then take 7,85 for 7 or refuse the package as damaged. While a
// PackageNumbers lives, the calling thread formats numbers with a decimal
// point, as the package format wants them; other threads keep their locale.
// On Windows the C runtime keeps its "C" locale unless a program changes it,
// which neither Qt nor Tabellix does, so there it has nothing to do.

namespace tbx::xlsx {

class PackageNumbers {
 public:
  PackageNumbers();
  ~PackageNumbers();
  PackageNumbers(const PackageNumbers&) = delete;
  PackageNumbers& operator=(const PackageNumbers&) = delete;

 private:
  void* previous_ = nullptr;  // the thread's locale before, a locale_t
};

}  // namespace tbx::xlsx
