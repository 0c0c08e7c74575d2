#include "xls/XlsFile.h"

#include "cfb/CompoundFileWriter.h"
#include "xls/WorkbookStream.h"

namespace tbx::xls {
namespace {

// Spreadsheet applications refuse a "Workbook" stream kept in the compound
// file's mini stream (streams under 4096 bytes go there), so a short stream
// is padded with zeros after its last record; readers stop at that record.
constexpr qsizetype kMinWorkbookStreamSize = 4096;

}  // namespace

bool WriteXlsFile(const Book& book, const std::function<bool(const char*, qint64)>& sink) {
  QByteArray stream = BuildWorkbookStream(book);
  if (stream.size() < kMinWorkbookStreamSize) stream.append(kMinWorkbookStreamSize - stream.size(), '\0');
  CompoundFileWriter file;
  file.AddStream(QStringLiteral("Workbook"), std::move(stream));
  return file.WriteTo(sink);
}

}  // namespace tbx::xls
