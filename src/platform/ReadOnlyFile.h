#pragma once
// A file opened for positioned reads: how the document readers meet the file
// system. Its first kHeadBytes are read at once on opening: the header,
// directory and property streams of a document mostly lie there, and one
// read instead of one per structure is what counts on a network share.
#include <QByteArray>
#include <QString>
#include <cstdint>

namespace tbx {

class ReadOnlyFile {
 public:
  ReadOnlyFile() = default;
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  // Opens a regular file read-only: 0, EISDIR for a folder, EINVAL for
  // anything else that is no regular file, or the errno of the open.
  [[nodiscard]] int Open(const QString& path);
  quint64 Size() const { return size_; }
  // Reads exactly size bytes at offset; false when the range is not inside
  // the file or the read fails.
  [[nodiscard]] bool ReadAt(quint64 offset, char* out, quint64 size);

 private:
  static constexpr quint64 kHeadBytes = 64 * 1024;
  bool ReadFromFile(quint64 offset, char* out, quint64 size);

  intptr_t handle_ = -1;
  quint64 size_ = 0;
  quint64 position_ = 0;  // where the handle's file position stands, where reads use one (Win32)
  QByteArray head_;  // the first bytes of the file, as far as they could be read
};

}  // namespace tbx
