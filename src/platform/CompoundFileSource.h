#pragma once
// Byte sources for the compound-file reader: the reader asks for the ranges it
// needs and never for the whole file.
#include <QByteArray>
#include <QString>
#include <memory>

#include "platform/FilePropertiesStatus.h"

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

// A file opened read-only; it stays open until the source is destroyed.
// Its first kHeadBytes are read at once on opening: the header, directory
// and property streams of a document mostly lie there, and one read instead
// of one per structure is what counts on a network share.
class FileByteSource : public ByteSource {
 public:
  ~FileByteSource() override;
  // Opens path read-only: ok, or why it cannot be opened.
  ReadStatus Open(const QString& path);
  quint64 Size() const override { return size_; }
  bool ReadAt(quint64 offset, char* out, quint64 size) override;

 private:
  static constexpr quint64 kHeadBytes = 64 * 1024;
  bool ReadFromFile(quint64 offset, char* out, quint64 size);

  int fd_ = -1;
  quint64 size_ = 0;
  QByteArray head_;  // the first bytes of the file, as far as they could be read
};

}  // namespace tbx
