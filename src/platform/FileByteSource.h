#pragma once
// The byte source over a document file on disk: the opening of a document
// and its reads, the one place where the format readers meet the file system.
#include <QByteArray>
#include <QString>

#include "cfb/ByteSource.h"
#include "cfb/ReadStatus.h"

namespace tbx {

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
