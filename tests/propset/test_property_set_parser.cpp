#include <gtest/gtest.h>

#include <QtEndian>
#include <cstdlib>
#include <ctime>

#include "TestSupport.h"
#include "common/TextForm.h"
#include "propset/FilePropertySets.h"
#include "propset/PropertySetParser.h"

using namespace tbx;

namespace {

// Little-endian bytes for hand-made streams, including ones no writer makes.
struct Bytes {
  QByteArray b;
  template <typename T>
  Bytes& Put(T v) {
    char x[sizeof(T)];
    qToLittleEndian(v, x);
    b.append(x, sizeof(T));
    return *this;
  }
  Bytes& U16(quint16 v) { return Put(v); }
  Bytes& U32(quint32 v) { return Put(v); }
  Bytes& U64(quint64 v) { return Put(v); }
  Bytes& F64(double v) { return Put(v); }
  Bytes& Raw(const QByteArray& raw) {
    b.append(raw);
    return *this;
  }
  Bytes& Pad() {
    while (b.size() % 4) b.append('\0');
    return *this;
  }
};

struct Entry {
  quint32 id;
  QByteArray value;  // type field and payload
};

// A section with its table in the order given and values one after the other
// (at the offsets that gives, aligned or not).
QByteArray SectionBytes(const std::vector<Entry>& entries) {
  quint32 offset = 8 + 8 * quint32(entries.size());
  Bytes table, values;
  for (const Entry& e : entries) {
    table.U32(e.id).U32(offset);
    offset += quint32(e.value.size());
    values.Raw(e.value);
  }
  return Bytes().U32(offset).U32(quint32(entries.size())).Raw(table.b).Raw(values.b).b;
}

const QUuid kSummary(0xF29F85E0, 0x4FF9, 0x1068, 0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9);

QByteArray StreamBytes(const std::vector<QByteArray>& sections) {
  Bytes s;
  s.U16(0xFFFE).U16(0).U32(0x00020006).Raw(QByteArray(16, '\0')).U32(quint32(sections.size()));
  quint32 offset = 28 + 20 * quint32(sections.size());
  for (const QByteArray& section : sections) {
    s.U32(kSummary.data1)
        .U16(kSummary.data2)
        .U16(kSummary.data3)
        .Raw(QByteArray(reinterpret_cast<const char*>(kSummary.data4), 8));
    s.U32(offset);
    offset += quint32(section.size());
  }
  for (const QByteArray& section : sections) s.Raw(section);
  return s.b;
}

QByteArray Value(quint32 type, const QByteArray& payload) { return Bytes().U32(type).Raw(payload).Pad().b; }
QByteArray CodePage(qint16 cp) { return Value(VT_I2, Bytes().U16(quint16(cp)).b); }
QByteArray Lpstr(const QByteArray& bytes) { return Value(VT_LPSTR, Bytes().U32(quint32(bytes.size())).Raw(bytes).b); }

// The text of the one property 2 in a section with that code page.
QString TextOf(const QByteArray& value, qint16 codePage = 1252) {
  std::vector<PropertySection> sections;
  const ReadStatus status =
      ParsePropertySetStream(StreamBytes({SectionBytes({{1, CodePage(codePage)}, {2, value}})}), &sections);
  if (status != ReadStatus::ok) return QString::fromLatin1(StatusName(status));
  if (sections.size() != 1 || sections[0].properties.size() != 1) return QStringLiteral("<kein Property>");
  const PropertySection& s = sections[0];
  return ValueText(DecodePropertyValue(s.stream, s.start, s.size, s.properties[0].offset, s.codePage)).value_or(QString());
}

ReadStatus StatusOf(const QByteArray& stream) {
  std::vector<PropertySection> sections;
  return ParsePropertySetStream(stream, &sections);
}

class PinnedTimeZone {
 public:
  explicit PinnedTimeZone(const char* zone) : previous_(qgetenv("TZ")) { Set(zone); }
  ~PinnedTimeZone() { previous_.isNull() ? (qunsetenv("TZ"), tzset()) : Set(previous_.constData()); }

 private:
  static void Set(const char* zone) {
    qputenv("TZ", zone);
    tzset();
  }
  QByteArray previous_;
};

}  // namespace

TEST(PropertySetParser, ValueTypesAndTheirGermanTextForms) {
  test::PinnedLocaleAndClock german;
  PinnedTimeZone berlin("Europe/Berlin");
  struct Case {
    const char* why;
    QByteArray value;
    const char* text;
  };
  const Case cases[] = {
      {"VT_I1", Value(VT_I1, QByteArray("\xFB", 1)), "-5"},
      {"VT_UI1", Value(VT_UI1, QByteArray("\xC8", 1)), "200"},
      {"VT_I2", Value(VT_I2, Bytes().U16(0xFFFE).b), "-2"},
      {"VT_UI2", Value(VT_UI2, Bytes().U16(0xFFFF).b), "65535"},
      {"VT_I4", Value(VT_I4, Bytes().U32(0x80000000u).b), "-2147483648"},
      {"VT_UI4", Value(VT_UI4, Bytes().U32(0xFFFFFFFFu).b), "4294967295"},
      {"VT_INT", Value(VT_INT, Bytes().U32(1031).b), "1031"},
      {"VT_UINT", Value(VT_UINT, Bytes().U32(7).b), "7"},
      {"VT_I8", Value(VT_I8, Bytes().U64(quint64(-1234567890123LL)).b), "-1234567890123"},
      {"VT_UI8", Value(VT_UI8, Bytes().U64(18446744073709551615ULL).b), "18446744073709551615"},
      {"VT_R4", Value(VT_R4, QByteArray("\xCD\xCC\x8C\x3F", 4)), "1,1"},
      {"VT_R8", Value(VT_R8, Bytes().F64(1.5).b), "1,5"},
      {"VT_CY", Value(VT_CY, Bytes().U64(12345678).b), "1234,5678"},
      {"VT_DATE", Value(VT_DATE, Bytes().F64(46361.766701388886).b), "05.12.2026 18:24:03"},
      {"VT_DATE midnight", Value(VT_DATE, Bytes().F64(46361.0).b), "05.12.2026"},
      {"VT_DATE before 1899", Value(VT_DATE, Bytes().F64(-1.25).b), "29.12.1899 06:00:00"},
      {"VT_DATE out of range", Value(VT_DATE, Bytes().F64(1e12).b), ""},
      {"VT_BOOL true", Value(VT_BOOL, Bytes().U16(0xFFFF).b), "Wahr"},
      {"VT_BOOL false", Value(VT_BOOL, Bytes().U16(0).b), "Falsch"},
      {"VT_FILETIME in local time", Value(VT_FILETIME, Bytes().U64(134409650430000000ULL).b), "05.12.2026 18:24:03"},
      {"VT_FILETIME 0 is not set", Value(VT_FILETIME, Bytes().U64(0).b), ""},
      {"VT_EMPTY", Value(VT_EMPTY, {}), ""},
      {"VT_NULL", Value(VT_NULL, {}), ""},
      {"VT_ERROR", Value(VT_ERROR, Bytes().U32(0x80004005u).b), ""},
      {"VT_CLSID", Value(VT_CLSID, QByteArray(16, 'c')), ""},
      {"VT_BLOB", Value(VT_BLOB, Bytes().U32(3).Raw("abc").b), ""},
      {"VT_CF", Value(VT_CF, Bytes().U32(8).U32(0xFFFFFFFFu).U32(3).b), ""},
      {"vector of strings",
       Value(VT_VECTOR | VT_LPSTR,
             Bytes().U32(2).U32(2).Raw(QByteArray("a\0", 2)).Pad().U32(3).Raw(QByteArray("bc\0", 3)).Pad().b),
       ""},
      {"vector of variants",
       Value(VT_VECTOR | VT_VARIANT,
             Bytes().U32(2).U32(VT_I2).U16(5).Pad().U32(VT_LPSTR).U32(1).Raw(QByteArray(1, '\0')).Pad().b),
       ""},
      {"array of I4", Value(VT_ARRAY | VT_I4, Bytes().U32(VT_I4).U32(2).U32(2).U32(0).U32(1).U32(0).U32(1).U32(2).b),
       ""},
      {"VT_LPSTR in 1252",
       Lpstr(QByteArray("\x80 M\xFCller \x84"
                        "Entwurf\x93\0",
                        19)),
       "€ Müller „Entwurf“"},
      {"VT_LPSTR ends at the first zero", Lpstr(QByteArray("ab\0cd\0", 6)), "ab"},
      {"VT_BSTR", Value(VT_BSTR, Bytes().U32(4).Raw(QByteArray("Ma\xDF\0", 4)).b), "Maß"},
      {"VT_LPWSTR", Value(VT_LPWSTR, Bytes().U32(3).U16(0xD6).U16('l').U16(0).b), "Öl"},
      {"empty VT_LPSTR", Lpstr(QByteArray()), ""},
  };
  for (const Case& c : cases) EXPECT_EQ(TextOf(c.value), QString::fromUtf8(c.text)) << c.why;
}

TEST(PropertySetParser, StringsFollowTheSectionCodePage) {
  EXPECT_EQ(TextOf(Lpstr("F\xC3\xB6rderband\0"), -535), QString::fromUtf8("Förderband")) << "65001 stored as -535";
  EXPECT_EQ(TextOf(Lpstr(Bytes().U16(0x20AC).U16('5').U16(0).b), 1200), QString::fromUtf8("€5"));
  EXPECT_EQ(TextOf(Lpstr("\xC4\0"), 1250), QString::fromUtf8("Ä"));
  EXPECT_EQ(TextOf(Lpstr("\xE4\0"), 0), QString::fromUtf8("ä")) << "no code page: the 1252 of these documents";
}

TEST(PropertySetParser, FollowsTheOffsetTableAsItStands) {
  // Identifiers out of order, a value at an offset that is no multiple of 4,
  // and the code page after the strings that depend on it.
  QByteArray section = SectionBytes(
      {{5, QByteArray("x") + Lpstr("F\xC3\xBC\0")}, {1, CodePage(-535)}, {3, Value(VT_I4, Bytes().U32(9).b)}});
  quint32 off = qFromLittleEndian<quint32>(section.constData() + 12);
  qToLittleEndian(off + 1, section.data() + 12);  // skip the stray byte
  std::vector<PropertySection> sections;
  ASSERT_EQ(ParsePropertySetStream(StreamBytes({section}), &sections), ReadStatus::ok);
  ASSERT_EQ(sections[0].properties.size(), 2u);
  EXPECT_EQ(sections[0].codePage, 65001);
  EXPECT_EQ(sections[0].properties[0].id, 5u);
  const PropertySection& s = sections[0];
  EXPECT_EQ(DecodePropertyValue(s.stream, s.start, s.size, s.properties[0].offset, s.codePage).toString(),
            QString::fromUtf8("Fü"));
  EXPECT_EQ(sections[0].properties[1].id, 3u);
}

TEST(PropertySetParser, ReadsDictionaries) {
  const QByteArray ansi = Bytes()
                              .U32(2)
                              .U32(2)
                              .U32(6)
                              .Raw(QByteArray("Pr\xFC"
                                              "f\0",
                                              5))
                              .Raw("x")
                              .U32(3)
                              .U32(4)
                              .Raw(QByteArray("Neu\0", 4))
                              .Pad()
                              .b;
  std::vector<PropertySection> sections;
  ASSERT_EQ(ParsePropertySetStream(StreamBytes({SectionBytes({{0, ansi}, {1, CodePage(1252)}})}), &sections),
            ReadStatus::ok);
  ASSERT_EQ(sections[0].dictionary.size(), 2u);
  EXPECT_EQ(sections[0].dictionary[0].second, QString::fromUtf8("Prüf"));
  EXPECT_EQ(sections[0].dictionary[1].second, QStringLiteral("Neu"));
  // Unicode dictionaries count UTF-16 units and pad every name to four bytes.
  const QByteArray wide = Bytes().U32(2).U32(7).U32(2).U16('A').U16(0).U32(8).U32(3).U16('B').U16('c').U16(0).Pad().b;
  ASSERT_EQ(ParsePropertySetStream(StreamBytes({SectionBytes({{1, CodePage(1200)}, {0, wide}})}), &sections),
            ReadStatus::ok);
  ASSERT_EQ(sections[0].dictionary.size(), 2u);
  EXPECT_EQ(sections[0].dictionary[1], std::make_pair(8u, QStringLiteral("Bc")));
}

TEST(PropertySetParser, HostileStreamsEndInAStatus) {
  const QByteArray good = StreamBytes({SectionBytes({{1, CodePage(1252)}, {2, Lpstr("abc\0")}})});
  auto patched = [&](qsizetype at, const QByteArray& bytes) {
    QByteArray s = good;
    s.replace(at, bytes.size(), bytes);
    return s;
  };
  // Header 28 and one section entry 20; in the section the table (8 + 16),
  // the code page (8) and the string's type at 32 and length at 36.
  const qsizetype section = 48;
  struct Case {
    const char* why;
    QByteArray stream;
    ReadStatus expected;
  };
  const Case cases[] = {
      {"too short for a header", good.left(27), ReadStatus::property_set_header},
      {"byte order", patched(0, "\xFF\xFE"), ReadStatus::property_set_header},
      {"no section", patched(24, Bytes().U32(0).b), ReadStatus::property_set_header},
      {"absurd section count", patched(24, Bytes().U32(0x10000000).b), ReadStatus::absurd_property_count},
      {"section offset beyond the stream", patched(44, Bytes().U32(0xFFFFFFF0u).b), ReadStatus::section_beyond_stream},
      {"section size beyond the stream", patched(section, Bytes().U32(0x7FFFFFFF).b),
       ReadStatus::section_beyond_stream},
      {"absurd property count", patched(section + 4, Bytes().U32(0x0FFFFFFF).b), ReadStatus::absurd_property_count},
      {"property offset beyond the section", patched(section + 20, Bytes().U32(5000).b),
       ReadStatus::property_beyond_section},
      {"cut-off value", good.left(good.size() - 6), ReadStatus::section_beyond_stream},
  };
  for (const Case& c : cases) EXPECT_EQ(StatusOf(c.stream), c.expected) << c.why;
  EXPECT_EQ(StatusOf(good), ReadStatus::ok);
}

// Only the headers and the offset table are structure: a value that cannot be
// decoded has no text form, and the rest of the section stays readable.
TEST(PropertySetParser, DamagedValuesCostThemselvesAlone) {
  // Packed one after the other, as office programs write string vectors.
  const QByteArray strings = Bytes().U32(2).U32(2).Raw(QByteArray("a\0", 2)).U32(3).Raw(QByteArray("bc\0", 3)).b;
  const QByteArray title = Lpstr("Welle\0");
  const struct {
    const char* why;
    QByteArray value;
    quint32 id = 5;
  } cases[] = {
      {"string length beyond the section", Value(VT_LPSTR, Bytes().U32(0x7FFFFFF0).b)},
      {"unknown type", Value(0x0F, QByteArray())},
      {"by-reference type", Value(0x4003, Bytes().U32(7).b)},
      {"lone variant", Value(VT_VARIANT, QByteArray())},
      {"absurd vector count", Value(VT_VECTOR | VT_I4, Bytes().U32(0x40000000).b)},
      {"vector of unknown type", Value(VT_VECTOR | 0x0F, Bytes().U32(1).b)},
      {"absurd array", Value(VT_ARRAY | VT_I4, Bytes().U32(VT_I4).U32(2).U32(0xFFFFFFFF).U32(0).U32(0xFFFFFFFF).U32(0).b)},
      {"string vector without padding", Value(VT_VECTOR | VT_LPSTR, strings)},
      {"absurd dictionary", Bytes().U32(0x20000000).U32(2).b, 0},
      {"dictionary name beyond the section", Bytes().U32(1).U32(2).U32(0x7FFFFFFF).b, 0},
  };
  for (const auto& c : cases) {
    std::vector<PropertySection> sections;
    ASSERT_EQ(ParsePropertySetStream(StreamBytes({SectionBytes({{1, CodePage(1252)}, {c.id, c.value}, {2, title}})}),
                                     &sections),
              ReadStatus::ok)
        << c.why;
    const PropertySection& s = sections[0];
    QStringList texts;
    for (const RawProperty& p : s.properties)
      texts << ValueText(DecodePropertyValue(s.stream, s.start, s.size, p.offset, s.codePage)).value_or(QString());
    EXPECT_EQ(texts.last(), QStringLiteral("Welle")) << c.why;
  }
}
