#pragma once
// A document file as the compound-file reader's byte source: the one place
// where the format readers meet the file system.
#include <QString>

#include "cfb/ByteSource.h"
#include "cfb/ReadStatus.h"
#include "platform/ReadOnlyFile.h"

namespace tbx {

class DocumentFile : public ByteSource {
 public:
  // Opens path read-only: ok, or why it cannot be opened.
  ParseStatus Open(const QString& path);
  quint64 Size() const override { return file_.Size(); }
  bool ReadAt(quint64 offset, char* out, quint64 size) override { return file_.ReadAt(offset, out, size); }

 private:
  ReadOnlyFile file_;
};

}  // namespace tbx
