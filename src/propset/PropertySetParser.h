#pragma once
// Parser of property-set streams: a header, one or two sections, each with a
// table of property identifiers and offsets, a code page in property 1 and
// an optional dictionary of names in property 0. Input is untrusted; every
// offset, length and count is checked against its section.
#include <QByteArray>
#include <QString>
#include <QUuid>
#include <QVariant>
#include <vector>

#include "cfb/ReadStatus.h"

namespace tbx {

// Variant types as they appear in property sets.
enum VarType : quint16 {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_CY = 6,
  VT_DATE = 7,
  VT_BSTR = 8,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_DECIMAL = 14,
  VT_I1 = 16,
  VT_UI1 = 17,
  VT_UI2 = 18,
  VT_UI4 = 19,
  VT_I8 = 20,
  VT_UI8 = 21,
  VT_INT = 22,
  VT_UINT = 23,
  VT_LPSTR = 30,
  VT_LPWSTR = 31,
  VT_FILETIME = 64,
  VT_BLOB = 65,
  VT_STREAM = 66,
  VT_STORAGE = 67,
  VT_STREAMED_OBJECT = 68,
  VT_STORED_OBJECT = 69,
  VT_BLOB_OBJECT = 70,
  VT_CF = 71,
  VT_CLSID = 72,
  VT_VERSIONED_STREAM = 73,
  VT_VECTOR = 0x1000,
  VT_ARRAY = 0x2000,
};

// One property: identifier, variant type and where its checked value starts
// in its section. Values are decoded only when asked for, since a reader
// usually wants one property of the many a document holds.
struct RawProperty {
  quint32 id = 0;
  quint16 type = VT_EMPTY;
  quint32 offset = 0;
};

struct PropertySection {
  QUuid formatId;
  quint16 codePage = 0;                 // 0 when the section names none
  std::vector<RawProperty> properties;  // offset-table order, without dictionary and code page
  std::vector<std::pair<quint32, QString>> dictionary;
  QByteArray stream;            // the whole stream (shared, not copied)
  quint32 start = 0, size = 0;  // of the section in the stream
};

// Parses a whole property-set stream: its header, section table, offset
// tables and code pages are checked and fail the stream. A value or a
// dictionary that cannot be read fails nothing: the value decodes to
// nothing (DecodePropertyValue), the dictionary keeps the names before the
// damage, so one odd value does not cost a document's title and author.
ParseStatus ParsePropertySetStream(const QByteArray& stream, std::vector<PropertySection>* sections);

// The value at offset of a section: a QString, qint64, quint64, double, float,
// bool or QDateTime (local time); an invalid QVariant for a value without a
// text form.
QVariant DecodePropertyValue(const QByteArray& stream, quint32 start, quint32 size, quint32 offset, quint16 codePage);

}  // namespace tbx
