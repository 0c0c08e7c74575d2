#include "platform/ReadOnlyFile.h"

#include <cstring>

namespace tbx {

bool ReadOnlyFile::ReadAt(quint64 offset, char* out, quint64 size) {
  if (offset > size_ || size > size_ - offset) return false;
  const quint64 held = quint64(head_.size());
  if (offset <= held && size <= held - offset) {
    std::memcpy(out, head_.constData() + offset, size);
    return true;
  }
  return ReadFromFile(offset, out, size);
}

}  // namespace tbx
