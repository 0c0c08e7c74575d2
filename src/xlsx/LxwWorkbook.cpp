#include "xlsx/LxwWorkbook.h"

#include <QDir>
#include <cerrno>
#include <cstdio>
#include <new>

#include "common/ReplaceFile.h"
#include "common/RunError.h"
#include "platform/FileSystem.h"
#include "xls/DateSerial.h"
#include "xls/Palette.h"
#include "xlsx/PackageNumbers.h"

namespace tbx::xlsx {
namespace {

constexpr quint16 kFormatText = 49;  // the built-in "@", as .xls workbooks use it

// Office refuses ZIP64 extensions in packages that do not need them, and a
// part of 4 GB or more cannot be stored without them. The size of a sheet is
// known only when all its rows are written; the rest of a sheet's part
// (columns, views, filter) stays far below this margin.
constexpr qint64 kZip64Threshold = 0xFFFFFFFFLL - (64LL << 20);

[[noreturn]] void Fail(const QString& description) { throw RunError(kErrWorkbook, description); }

// libxlsxwriter takes the colour 0 for "no colour"; black is its own value.
lxw_color_t LxwColour(quint32 rgb) { return rgb == 0 ? static_cast<lxw_color_t>(LXW_COLOR_BLACK) : rgb; }

// The errno of a failed workbook_close: the failing file call leaves it for
// the errors of files, every other failure counts as an input/output error.
int CloseErrno(lxw_error error, int err) {
  switch (error) {
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
      return err != 0 ? err : EIO;
    default:
      return EIO;
  }
}

// The rows of a sheet reach its row file through stdio calls whose results
// libxlsxwriter does not check, so a full disk would cut the sheet without a
// word; the stream's error flag keeps what they did not report.
int RowFileError(lxw_worksheet* sheet) {
  FILE* rows = sheet->optimize_tmpfile;
  if (rows == nullptr) return 0;
  errno = 0;
  if (std::fflush(rows) != 0) return errno != 0 ? errno : EIO;
  return std::ferror(rows) ? EIO : 0;
}

qint64 RowFileSize(lxw_worksheet* sheet) {
  return sheet->optimize_tmpfile == nullptr ? 0 : static_cast<qint64>(ftello(sheet->optimize_tmpfile));
}

QString LxwErrorText(lxw_error error) {
  switch (error) {
    case LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE:
      return QStringLiteral("sie liegt außerhalb des Tabellenblatts");
    case LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED:
      return QStringLiteral("der Text ist zu lang");
    default:
      return QStringLiteral("Fehler %1 der Bibliothek libxlsxwriter (%2)")
          .arg(static_cast<int>(error))
          .arg(QString::fromUtf8(lxw_strerror(error)));
  }
}

}  // namespace

void CheckCellCall(lxw_error error, int row, int column) {
  if (error == LXW_NO_ERROR) return;
  if (error == LXW_ERROR_MEMORY_MALLOC_FAILED) throw std::bad_alloc();
  Fail(QStringLiteral("Die Zelle in Zeile %1, Spalte %2 kann nicht geschrieben werden: %3.")
           .arg(row + 1)
           .arg(column + 1)
           .arg(LxwErrorText(error)));
}

LxwWorkbook::LxwWorkbook() : scratch_(QDir::tempPath() + QStringLiteral("/tabellix-XXXXXX.xlsx")) {
  // Made here, with a name no one else can take, and opened by name later.
  if (!scratch_.open()) {
    Fail(QStringLiteral("Die Arbeitsmappe kann nicht angelegt werden: im Ordner für temporäre Dateien "
                        "\"%1\" kann keine Datei erzeugt werden.")
             .arg(QDir::toNativeSeparators(QDir::tempPath())));
  }
  scratch_.close();
  // libxlsxwriter opens its files with the C runtime's narrow calls: on
  // Windows in the ANSI code page, which a user profile named in another
  // script leaves; its short name serves then.
  const QByteArray name = NarrowFileName(scratch_.fileName());
  // Without a folder libxlsxwriter's row files would go where tmpfile()
  // puts them, whatever TMPDIR says.
  QByteArray tmpdir = NarrowFileName(QDir::tempPath());
  if (name.isEmpty() || tmpdir.isEmpty()) {
    Fail(QStringLiteral("Die Arbeitsmappe kann nicht angelegt werden: der Ordner für temporäre Dateien \"%1\" "
                        "hat einen Namen, unter dem die Bibliothek für .xlsx-Dateien ihn nicht öffnen kann. "
                        "Stellen Sie TEMP auf einen anderen Ordner.")
             .arg(QDir::toNativeSeparators(QDir::tempPath())));
  }
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  options.tmpdir = tmpdir.data();
  options.use_zip64 = LXW_FALSE;
  book_ = workbook_new_opt(name.constData(), &options);
  if (book_ == nullptr) throw std::bad_alloc();
}

LxwWorkbook::~LxwWorkbook() {
  if (book_ != nullptr) workbook_close(book_);
}

lxw_worksheet* LxwWorkbook::AddWorksheet(const QString& name) {
  lxw_worksheet* sheet = workbook_add_worksheet(book_, name.toUtf8().constData());
  // In constant-memory mode each sheet gets its row file here.
  if (sheet == nullptr) {
    Fail(QStringLiteral("Das Tabellenblatt \"%1\" kann nicht angelegt werden: im Ordner für temporäre "
                        "Dateien \"%2\" kann keine Datei erzeugt werden.")
             .arg(name, QDir::toNativeSeparators(QDir::tempPath())));
  }
  sheets_.push_back(sheet);
  return sheet;
}

lxw_format* LxwWorkbook::Format(const xls::CellStyle& style) {
  if (style.IsDefault()) return nullptr;
  lxw_format*& format = formats_[style.Key()];
  if (format != nullptr) return format;
  format = workbook_add_format(book_);
  if (format == nullptr) throw std::bad_alloc();
  if (style.bold) format_set_bold(format);
  if (style.format == xls::NumberFormat::Text) format_set_num_format_index(format, kFormatText);
  if (style.format == xls::NumberFormat::DateTime) format_set_num_format(format, xls::kDateTimeFormatCode);
  if (style.fillColour != 0) {
    format_set_pattern(format, LXW_PATTERN_SOLID);
    format_set_bg_color(format, LxwColour(xls::PaletteRgb(style.fillColour)));
  }
  return format;
}

void LxwWorkbook::Finish(const QString& path) {
  if (Finished()) return;
  int err = 0;
  for (lxw_worksheet* sheet : sheets_) {
    if (err == 0) err = RowFileError(sheet);
    if (RowFileSize(sheet) > kZip64Threshold) book_->options.use_zip64 = LXW_TRUE;
  }
  if (active_ != nullptr) worksheet_activate(active_);
  errno = 0;
  const lxw_error closed = [this] {
    const PackageNumbers numbers;
    return workbook_close(book_);
  }();
  const int closeErr = errno;
  book_ = nullptr;
  if (err == 0 && closed == LXW_ERROR_MEMORY_MALLOC_FAILED) {
    failure_ = ENOMEM;
    throw std::bad_alloc();
  }
  if (err == 0 && closed != LXW_NO_ERROR) err = CloseErrno(closed, closeErr);
  failure_ = err;
  if (failure_ != 0) throw SaveFileError(path, failure_);
}

void LxwWorkbook::SaveAs(const QString& path) {
  Finish(path);
  if (failure_ != 0) throw SaveFileError(path, failure_);
  CopyFileReplacing(scratch_.fileName(), path);
}

}  // namespace tbx::xlsx
