#pragma once
// A bounds-checked reader over bytes in memory, little-endian. Every read
// checks the remaining length first; a failed read leaves the position alone.
#include <QByteArray>
#include <QtEndian>

#include "cfb/ReadStatus.h"

namespace tbx {

class ByteCursor {
 public:
  ByteCursor(const char* data, quint64 size) : data_(data), size_(size) {}
  explicit ByteCursor(const QByteArray& bytes) : ByteCursor(bytes.constData(), quint64(bytes.size())) {}

  quint64 Position() const { return pos_; }
  quint64 Size() const { return size_; }
  quint64 Remaining() const { return size_ - pos_; }
  const char* Here() const { return data_ + pos_; }

  bool Seek(quint64 pos) {
    if (pos > size_) return false;
    pos_ = pos;
    return true;
  }
  bool Skip(quint64 count) {
    if (count > Remaining()) return false;
    pos_ += count;
    return true;
  }
  // Moves to the next multiple of four counted from base, or to the end when
  // less is left (writers may leave off the padding of a last value).
  void AlignTo4(quint64 base) { pos_ = qMin(size_, pos_ + (4 - (pos_ - base) % 4) % 4); }

  // The defect found here.
  ParseStatus Fail(ReadStatus defect) const { return ParseStatus(defect, pos_); }

  template <typename T>
  bool Read(T& value) {
    if (sizeof(T) > Remaining()) return false;
    value = qFromLittleEndian<T>(data_ + pos_);
    pos_ += sizeof(T);
    return true;
  }

 private:
  const char* data_;
  quint64 size_;
  quint64 pos_ = 0;
};

}  // namespace tbx
