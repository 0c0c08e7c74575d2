#include "propset/TypedValue.h"

#include <QDateTime>
#include <QTimeZone>
#include <cmath>

#include "propset/CodePage.h"

namespace tbx {
namespace {

// Bytes of the fixed-size scalar types; -1 for every other type.
int FixedSize(quint16 type) {
  switch (type) {
    case VT_EMPTY:
    case VT_NULL:
      return 0;
    case VT_I1:
    case VT_UI1:
      return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
      return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_ERROR:
      return 4;
    case VT_I8:
    case VT_UI8:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_FILETIME:
      return 8;
    case VT_DECIMAL:
      return 12;  // the first four of its sixteen bytes share the type field
    case VT_CLSID:
      return 16;
    default:
      return -1;
  }
}

bool IsLengthPrefixed(quint16 type) {
  switch (type) {
    case VT_BSTR:
    case VT_LPSTR:
    case VT_LPWSTR:
    case VT_BLOB:
    case VT_BLOB_OBJECT:
    case VT_CF:
    case VT_STREAM:
    case VT_STORAGE:
    case VT_STREAMED_OBJECT:
    case VT_STORED_OBJECT:
    case VT_VERSIONED_STREAM:
      return true;
    default:
      return false;
  }
}

// OLE dates count days from 30.12.1899; the fraction is the time of day even
// for negative values. The classic date range is the years 100 to 9999.
QVariant OleDate(double days) {
  if (!std::isfinite(days) || days <= -657435.0 || days >= 2958466.0) return {};
  const double whole = std::trunc(days);
  qint64 seconds = qint64(std::llround(std::fabs(days - whole) * 86400.0));
  QDate date = QDate(1899, 12, 30).addDays(qint64(whole));
  if (seconds >= 86400) {
    date = date.addDays(1);
    seconds = 0;
  }
  return QDateTime(date, QTime(0, 0).addSecs(int(seconds)));
}

// FILETIME counts 100 ns from 1601 in UTC; writers store 0 for "not set".
QVariant FileTime(quint64 ticks) {
  if (ticks == 0) return {};
  static const QDateTime epoch(QDate(1601, 1, 1), QTime(0, 0), QTimeZone::utc());
  return epoch.addSecs(qint64(ticks / 10000000u)).toLocalTime();
}

template <typename T>
T Get(ByteCursor& c) {
  T value{};
  c.Read(value);
  return value;
}

// The cursor holds at least FixedSize(type) bytes.
QVariant FixedValue(ByteCursor& c, quint16 type) {
  switch (type) {
    case VT_I1:
      return qint64(Get<qint8>(c));
    case VT_UI1:
      return quint64(Get<quint8>(c));
    case VT_I2:
      return qint64(Get<qint16>(c));
    case VT_UI2:
      return quint64(Get<quint16>(c));
    case VT_BOOL:
      return Get<qint16>(c) != 0;
    case VT_I4:
    case VT_INT:
      return qint64(Get<qint32>(c));
    case VT_UI4:
    case VT_UINT:
      return quint64(Get<quint32>(c));
    case VT_I8:
      return Get<qint64>(c);
    case VT_UI8:
      return Get<quint64>(c);
    case VT_R4:
      return Get<float>(c);
    case VT_R8:
      return Get<double>(c);
    case VT_CY:
      return double(Get<qint64>(c)) / 10000.0;
    case VT_DATE:
      return OleDate(Get<double>(c));
    case VT_FILETIME:
      return FileTime(Get<quint64>(c));
    default:
      c.Skip(quint64(FixedSize(type)));
      return {};
  }
}

// A null value only checks and skips the value.
ParseStatus LengthPrefixedValue(ByteCursor& c, quint16 type, quint16 codePage, QVariant* value) {
  if (type == VT_VERSIONED_STREAM && !c.Skip(16)) return c.Fail(ReadStatus::string_beyond_section);
  quint32 length = 0;
  if (!c.Read(length)) return c.Fail(ReadStatus::string_beyond_section);
  const quint64 bytes = type == VT_LPWSTR ? quint64(length) * 2 : length;
  if (bytes > c.Remaining()) return c.Fail(ReadStatus::string_beyond_section);
  const char* data = c.Here();
  c.Skip(bytes);
  if (!value) return ReadStatus::ok;
  if (type == VT_LPWSTR)
    *value = DecodeUtf16(data, length);
  else if (type == VT_LPSTR || type == VT_BSTR)
    *value = DecodeCodePage(QByteArrayView(data, qsizetype(bytes)), codePage);
  else
    *value = QVariant();  // blobs, clipboard data, links to streams: no text form
  return ReadStatus::ok;
}

ParseStatus ScalarValue(ByteCursor& c, quint16 type, quint16 codePage, QVariant* value) {
  const int fixed = FixedSize(type);
  if (fixed >= 0) {
    if (quint64(fixed) > c.Remaining()) return c.Fail(ReadStatus::property_beyond_section);
    if (value)
      *value = FixedValue(c, type);
    else
      c.Skip(quint64(fixed));
    return ReadStatus::ok;
  }
  if (IsLengthPrefixed(type)) return LengthPrefixedValue(c, type, codePage, value);
  return c.Fail(ReadStatus::unknown_value_type);
}

// The elements of a vector or an array; they are checked, not kept, since a
// value with several elements has no text form. Strings and variants are
// padded to four bytes, smaller scalars are packed; padded says whether the
// strings are (common office programs write string vectors without it).
ParseStatus SkipElements(ByteCursor& c, quint64 base, quint64 count, quint16 elementType, quint16 codePage,
                        bool padded = true) {
  const int fixed = FixedSize(elementType);
  const bool variant = elementType == VT_VARIANT;
  if (!variant && fixed <= 0 && !IsLengthPrefixed(elementType)) return c.Fail(ReadStatus::unknown_value_type);
  const quint64 minimum = fixed > 0 ? quint64(fixed) : 4;
  if (count > c.Remaining() / minimum) return c.Fail(ReadStatus::absurd_property_count);
  for (quint64 i = 0; i < count; ++i) {
    quint16 type = elementType;
    if (variant) {
      quint32 inner = 0;
      if (!c.Read(inner)) return c.Fail(ReadStatus::property_beyond_section);
      if (inner > 0xFFFF || inner == VT_VARIANT) return c.Fail(ReadStatus::unknown_value_type);
      type = quint16(inner);
    }
    if (ParseStatus s = ScalarValue(c, type, codePage, nullptr); s != ReadStatus::ok) return s;
    if (variant || (padded && IsLengthPrefixed(type))) c.AlignTo4(base);
  }
  return ReadStatus::ok;
}

// A vector in either layout: strings padded to four bytes as the format
// says, or packed one after the other.
ParseStatus SkipVector(ByteCursor& c, quint64 base, quint16 elementType, quint16 codePage) {
  quint32 count = 0;
  if (!c.Read(count)) return c.Fail(ReadStatus::property_beyond_section);
  const quint64 start = c.Position();
  const ParseStatus padded = SkipElements(c, base, count, elementType, codePage);
  if (padded == ReadStatus::ok || !IsLengthPrefixed(elementType)) return padded;
  c.Seek(start);
  return SkipElements(c, base, count, elementType, codePage, false);
}

ParseStatus SkipArray(ByteCursor& c, quint64 base, quint16 codePage) {
  quint32 elementType = 0, dimensions = 0;
  if (!c.Read(elementType) || !c.Read(dimensions)) return c.Fail(ReadStatus::property_beyond_section);
  if (elementType > 0xFFFF) return c.Fail(ReadStatus::unknown_value_type);
  if (dimensions < 1 || dimensions > 31) return c.Fail(ReadStatus::absurd_property_count);
  quint64 total = 1;
  for (quint32 d = 0; d < dimensions; ++d) {
    quint32 size = 0, lowerBound = 0;
    if (!c.Read(size) || !c.Read(lowerBound)) return c.Fail(ReadStatus::property_beyond_section);
    // Every element takes at least one byte, so more than the section holds is absurd.
    if (size != 0 && total > c.Remaining() / size) return c.Fail(ReadStatus::absurd_property_count);
    total *= size;
  }
  return SkipElements(c, base, total, quint16(elementType), codePage);
}

}  // namespace

ParseStatus ReadTypedValue(ByteCursor& cursor, quint16 codePage, quint16* typeOut, QVariant* value) {
  const quint64 base = cursor.Position();
  quint32 typeField = 0;
  if (!cursor.Read(typeField)) return cursor.Fail(ReadStatus::property_beyond_section);
  // The upper half is padding; some writers leave garbage in it.
  const quint16 type = quint16(typeField & 0xFFFF);
  *typeOut = type;
  if (value) *value = QVariant();
  const quint16 elementType = type & 0x0FFF;
  switch (type & 0xF000) {
    case 0:
      if (type == VT_VARIANT) return cursor.Fail(ReadStatus::unknown_value_type);
      return ScalarValue(cursor, type, codePage, value);
    case VT_VECTOR:
      return SkipVector(cursor, base, elementType, codePage);
    case VT_ARRAY:
      return SkipArray(cursor, base, codePage);
    default:
      return cursor.Fail(ReadStatus::unknown_value_type);
  }
}

}  // namespace tbx
