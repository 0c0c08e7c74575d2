#pragma once
// Byte sources for the compound-file reader: the reader asks for the ranges it
// needs and never for the whole file. The source over a file on disk is
// docprops/DocumentFile.h, behind the seam to the operating system.
#include <QByteArray>
#include <QtGlobal>

namespace tbx {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual quint64 Size() const = 0;
  // Reads exactly size bytes at offset into out; false when the range is not
  // inside the source or the read fails.
  virtual bool ReadAt(quint64 offset, char* out, quint64 size) = 0;
};

// The bytes of a buffer (tests, fuzzing, streams already in memory).
class MemoryByteSource : public ByteSource {
 public:
  explicit MemoryByteSource(QByteArray bytes) : bytes_(std::move(bytes)) {}
  quint64 Size() const override { return quint64(bytes_.size()); }
  bool ReadAt(quint64 offset, char* out, quint64 size) override;

 private:
  QByteArray bytes_;
};

}  // namespace tbx
