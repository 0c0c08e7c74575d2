#pragma once
// Little-endian byte output for BIFF8 records. Records are written in place
// (header, then fields) so that a workbook of a million cells needs no
// allocation per record.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace tbx::xls {

class BiffWriter {
 public:
  // A record header: record type and the size of the data that follows.
  void Header(quint16 type, quint16 size) {
    U16(type);
    U16(size);
  }
  void U8(quint8 v) { bytes_.append(static_cast<char>(v)); }
  void U16(quint16 v) {
    const char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    bytes_.append(b, 2);
  }
  void U32(quint32 v) {
    U16(static_cast<quint16>(v & 0xFFFF));
    U16(static_cast<quint16>(v >> 16));
  }
  // UTF-16 code units [from, from + count) of text: one byte each when
  // compressed (every unit below 0x100), else two.
  void Chars(const QString& text, qsizetype from, qsizetype count, bool compressed);

  void PatchU16(qsizetype at, quint16 v);
  void PatchU32(qsizetype at, quint32 v);
  qsizetype Position() const { return bytes_.size(); }
  const QByteArray& Bytes() const { return bytes_; }
  QByteArray Take() { return std::move(bytes_); }

 private:
  QByteArray bytes_;
};

// Whether every UTF-16 code unit of text fits one byte (the compressed form).
bool FitsCompressed(const QString& text);

}  // namespace tbx::xls
