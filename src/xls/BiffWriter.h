#pragma once
// Little-endian byte output for BIFF8 records. Records are written in place
// (header, then fields) so that a workbook of a million cells needs no
// allocation per record.
#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <cstring>
#include <string>

namespace tbx::xls {

class BiffWriter {
 public:
  // A record header: record type and the size of the data that follows.
  void Header(quint16 type, quint16 size) {
    U16(type);
    U16(size);
  }
  void U8(quint8 v) { bytes_.push_back(static_cast<char>(v)); }
  void U16(quint16 v) {
    bytes_.push_back(static_cast<char>(v & 0xFF));
    bytes_.push_back(static_cast<char>(v >> 8));
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
  void Chars(const QString& text, qsizetype from, qsizetype count, bool compressed);

  void PatchU16(qsizetype at, quint16 v);
  void PatchU32(qsizetype at, quint32 v);
  qsizetype Position() const { return qsizetype(bytes_.size()); }
  QByteArray Take() const { return QByteArray(bytes_.data(), Position()); }

 private:
  // A workbook is written two bytes at a time; a standard string appends
  // those inline, where a QByteArray went through its general insert.
  std::string bytes_;
};

// Whether every UTF-16 code unit of text fits one byte (the compressed form).
bool FitsCompressed(const QString& text);

}  // namespace tbx::xls
