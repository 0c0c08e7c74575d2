#pragma once
// One .xlsx package as libxlsxwriter writes it, in its constant-memory
// mode: each worksheet's rows go to a temporary file as they are written,
// so memory stays flat however many rows a sheet has.
//
// libxlsxwriter takes the output file's name when the workbook is made but
// opens that file only in workbook_close(), which writes the whole package
// at once and frees the workbook, whether it succeeds or not. The package
// therefore goes to a scratch file of our own, and saving copies it through
// common/ReplaceFile.h like any workbook: a failed save never damages the
// previous file, and the same package can be saved again under another name.
// The scratch file and libxlsxwriter's row files live in the folder for
// temporary files (TMPDIR).
#include <xlsxwriter.h>

#include <QString>
#include <QTemporaryFile>
#include <array>
#include <vector>

#include "xls/Book.h"

namespace tbx::xlsx {

class LxwWorkbook {
 public:
  // Throws RunError 1004 when libxlsxwriter or the scratch file cannot be had.
  LxwWorkbook();
  // An unfinished package is written to the scratch file and dropped: that
  // is the one way libxlsxwriter gives everything back.
  ~LxwWorkbook();
  LxwWorkbook(const LxwWorkbook&) = delete;
  LxwWorkbook& operator=(const LxwWorkbook&) = delete;

  // A new worksheet of that name after the others; throws 1004.
  lxw_worksheet* AddWorksheet(const QString& name);
  // The cell format of style, made on first use; nullptr for the default.
  lxw_format* Format(const xls::CellStyle& style);
  // The sheet shown when the workbook is opened.
  void Activate(lxw_worksheet* sheet) { active_ = sheet; }

  // Writes the package into the scratch file; nothing can be added after.
  // A failure throws the save error for path (or std::bad_alloc), and every
  // later SaveAs() throws it again.
  void Finish(const QString& path);
  bool Finished() const { return book_ == nullptr; }
  // Finishes the package and saves a copy at path, replacing an existing
  // file (common/ReplaceFile.h); throws the save error for path.
  void SaveAs(const QString& path);

 private:
  lxw_workbook* book_ = nullptr;
  std::vector<lxw_worksheet*> sheets_;
  lxw_worksheet* active_ = nullptr;
  QTemporaryFile scratch_;
  std::array<lxw_format*, xls::kStyleKeyCount> formats_{};
  int failure_ = 0;  // errno of a failed Finish, 0 when it worked
};

// Throws for a failing libxlsxwriter call that writes cell (row, column,
// 0-based): std::bad_alloc for a lack of memory, else RunError 1004.
void CheckCellCall(lxw_error error, int row, int column);

}  // namespace tbx::xlsx
