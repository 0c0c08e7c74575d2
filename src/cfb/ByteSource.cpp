#include "cfb/ByteSource.h"

#include <cstring>

namespace tbx {

bool MemoryByteSource::ReadAt(quint64 offset, char* out, quint64 size) {
  if (offset > Size() || size > Size() - offset) return false;
  std::memcpy(out, bytes_.constData() + offset, size);
  return true;
}

}  // namespace tbx
