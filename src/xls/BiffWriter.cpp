#include "xls/BiffWriter.h"

#include <algorithm>

namespace tbx::xls {

void BiffWriter::Chars(QStringView text, qsizetype from, qsizetype count, bool compressed) {
  const QChar* p = text.data() + from;
  if (compressed) {
    char* out = Room(size_t(count));
    for (qsizetype i = 0; i < count; ++i) out[i] = static_cast<char>(p[i].unicode());
    return;
  }
  char* out = Room(2 * size_t(count));
  for (qsizetype i = 0; i < count; ++i) {
    const char16_t u = p[i].unicode();
    out[2 * i] = static_cast<char>(u & 0xFF);
    out[2 * i + 1] = static_cast<char>(u >> 8);
  }
}

void BiffWriter::Grow(size_t n) {
  capacity_ = std::max(2 * capacity_, used_ + n + 4096);
  bytes_.resize(qsizetype(capacity_));
  data_ = bytes_.data();
}

QByteArray BiffWriter::Take() {
  bytes_.truncate(Position());
  data_ = nullptr;
  capacity_ = used_ = 0;
  return std::move(bytes_);
}

void BiffWriter::PatchU16(qsizetype at, quint16 v) {
  data_[size_t(at)] = static_cast<char>(v & 0xFF);
  data_[size_t(at) + 1] = static_cast<char>(v >> 8);
}

void BiffWriter::PatchU32(qsizetype at, quint32 v) {
  PatchU16(at, static_cast<quint16>(v & 0xFFFF));
  PatchU16(at + 2, static_cast<quint16>(v >> 16));
}

bool FitsCompressed(QStringView text) {
  // The units are or-ed together rather than tested one by one: no branch
  // per unit, and the strings of a row are short.
  char16_t all = 0;
  for (QChar c : text) all |= c.unicode();
  return all <= 0xFF;
}

}  // namespace tbx::xls
