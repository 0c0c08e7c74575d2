#pragma once
// Little-endian byte output for BIFF8 records. Records are written in place
// (header, then fields) so that a workbook of a million cells needs no
// allocation per record.
#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <cstring>

namespace tbx::xls {

class BiffWriter {
 public:
  // A record header: record type and the size of the data that follows.
  void Header(quint16 type, quint16 size) {
    U16(type);
    U16(size);
  }
  void U8(quint8 v) { *Room(1) = static_cast<char>(v); }
  void U16(quint16 v) {
    char* out = Room(2);
    out[0] = static_cast<char>(v & 0xFF);
    out[1] = static_cast<char>(v >> 8);
  }
  void U32(quint32 v) {
    U16(static_cast<quint16>(v & 0xFFFF));
    U16(static_cast<quint16>(v >> 16));
  }
  // An IEEE 754 double, as NUMBER records hold it.
  void F64(double v) {
    quint64 bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    U32(static_cast<quint32>(bits & 0xFFFFFFFFu));
    U32(static_cast<quint32>(bits >> 32));
  }
  // UTF-16 code units [from, from + count) of text: one byte each when
  // compressed (every unit below 0x100), else two.
  void Chars(QStringView text, qsizetype from, qsizetype count, bool compressed);

  void PatchU16(qsizetype at, quint16 v);
  void PatchU32(qsizetype at, quint32 v);
  qsizetype Position() const { return qsizetype(used_); }
  // Hands the bytes written over, without a copy (a workbook stream is
  // megabytes, each copy as many page faults), and starts empty again.
  QByteArray Take();

 private:
  // The next n bytes, to be filled in. A workbook is written two bytes at a
  // time: the buffer grows by doubling and is used up to used_, so a field
  // costs a bounds check and a store.
  char* Room(size_t n) {
    if (capacity_ - used_ < n) Grow(n);
    char* out = data_ + used_;
    used_ += n;
    return out;
  }
  // Out of line, so that Room stays small enough to be inlined in every field.
  void Grow(size_t n);

  QByteArray bytes_;
  char* data_ = nullptr;  // bytes_.data(), kept: QByteArray::data() checks for sharing on every call
  size_t capacity_ = 0;   // bytes_.size()
  size_t used_ = 0;
};

// Whether every UTF-16 code unit of text fits one byte (the compressed form).
bool FitsCompressed(QStringView text);

}  // namespace tbx::xls
