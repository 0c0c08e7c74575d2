#include "propset/PropertySetParser.h"

#include "cfb/ShortTable.h"
#include "propset/CodePage.h"
#include "propset/TypedValue.h"

namespace tbx {
namespace {

constexpr quint32 kDictionaryId = 0;
constexpr quint32 kCodePageId = 1;
// Identifiers the format reserves for the locale and the behaviour flags of
// a section: settings, not document properties.
constexpr quint32 kLocaleId = 0x80000000u;
constexpr quint32 kBehaviorId = 0x80000003u;
constexpr int kStreamHeaderSize = 28;
constexpr int kSectionEntrySize = 20;

QUuid ReadGuid(ByteCursor& c) {
  quint32 d1 = 0;
  quint16 d2 = 0, d3 = 0;
  quint8 d4[8] = {};
  c.Read(d1);
  c.Read(d2);
  c.Read(d3);
  for (quint8& b : d4) c.Read(b);
  return QUuid(d1, d2, d3, d4[0], d4[1], d4[2], d4[3], d4[4], d4[5], d4[6], d4[7]);
}

// Names in the dictionary: counted in bytes of the code page, or in UTF-16
// units padded to four bytes when the section is Unicode (code page 1200).
ParseStatus ReadDictionary(ByteCursor& c, quint16 codePage, PropertySection* section) {
  const quint64 base = c.Position();
  quint32 count = 0;
  if (!c.Read(count)) return c.Fail(ReadStatus::property_beyond_section);
  if (count > c.Remaining() / 8) return c.Fail(ReadStatus::absurd_property_count);
  const bool unicode = codePage == 1200;
  section->dictionary.reserve(count);
  for (quint32 i = 0; i < count; ++i) {
    quint32 id = 0, length = 0;
    if (!c.Read(id) || !c.Read(length)) return c.Fail(ReadStatus::property_beyond_section);
    const quint64 bytes = unicode ? quint64(length) * 2 : length;
    if (bytes > c.Remaining()) return c.Fail(ReadStatus::string_beyond_section);
    const char* data = c.Here();
    c.Skip(bytes);
    if (unicode) {
      section->dictionary.emplace_back(id, DecodeUtf16(data, length));
      c.AlignTo4(base);
    } else {
      section->dictionary.emplace_back(id, DecodeCodePage(QByteArrayView(data, qsizetype(bytes)), codePage));
    }
  }
  return ReadStatus::ok;
}

struct TableEntry {
  quint32 id;
  quint32 offset;
};

ParseStatus ParseSection(const QByteArray& stream, quint32 offset, PropertySection* section) {
  ByteCursor head(stream);
  quint32 size = 0, count = 0;
  if (!head.Seek(offset) || !head.Read(size) || !head.Read(count))
    return ParseStatus(ReadStatus::section_beyond_stream, offset);
  if (size < 8 || size > quint64(stream.size()) - offset) return ParseStatus(ReadStatus::section_beyond_stream, offset);
  if (count > (size - 8) / 8) return ParseStatus(ReadStatus::absurd_property_count, offset + 4);
  section->stream = stream;
  section->start = offset;
  section->size = size;

  ByteCursor c(stream.constData() + offset, size);
  c.Seek(8);
  ShortTable<TableEntry, 64> table(count);
  for (TableEntry& e : table) {
    c.Read(e.id);
    c.Read(e.offset);
    if (e.offset < 8 || e.offset > size - 4)
      return ParseStatus(ReadStatus::property_beyond_section, offset + c.Position() - 4);
  }
  // Only the section header and the offset table above are structure. A
  // value that cannot be decoded costs that value alone (it has no text
  // form), a damaged code page means the default one, and a damaged
  // dictionary the names read before the damage: the title and author of a
  // document must not be lost to one odd value beside them.
  // Strings depend on the code page, which may come anywhere in the table.
  for (const TableEntry& e : table) {
    if (e.id != kCodePageId) continue;
    quint16 type = 0;
    QVariant codePage;
    c.Seek(e.offset);
    // Stored as a signed 16-bit value although code pages run to 65001.
    if (ReadTypedValue(c, 0, &type, &codePage) == ReadStatus::ok && type == VT_I2)
      section->codePage = quint16(codePage.toLongLong());
  }
  section->properties.reserve(count);
  for (const TableEntry& e : table) {
    c.Seek(e.offset);
    if (e.id == kCodePageId) continue;
    if (e.id == kDictionaryId) {
      (void)ReadDictionary(c, section->codePage, section);
      continue;
    }
    RawProperty property{e.id, VT_EMPTY, e.offset};
    (void)ReadTypedValue(c, section->codePage, &property.type, nullptr);
    if (e.id != kLocaleId && e.id != kBehaviorId) section->properties.push_back(property);
  }
  return ReadStatus::ok;
}

}  // namespace

QVariant DecodePropertyValue(const QByteArray& stream, quint32 start, quint32 size, quint32 offset, quint16 codePage) {
  if (quint64(start) + size > quint64(stream.size())) return {};
  ByteCursor c(stream.constData() + start, size);
  quint16 type = 0;
  QVariant value;
  if (!c.Seek(offset) || ReadTypedValue(c, codePage, &type, &value) != ReadStatus::ok) return {};
  return value;
}

ParseStatus ParsePropertySetStream(const QByteArray& stream, std::vector<PropertySection>* sections) {
  sections->clear();
  ByteCursor c(stream);
  quint16 byteOrder = 0, version = 0;
  quint32 count = 0;
  if (stream.size() < kStreamHeaderSize) return ParseStatus(ReadStatus::property_set_header, 0);
  c.Read(byteOrder);
  c.Read(version);
  c.Skip(4 + 16);  // system identifier and class identifier
  c.Read(count);
  if (byteOrder != 0xFFFE || version > 1 || count == 0) return ParseStatus(ReadStatus::property_set_header, 0);
  if (count > c.Remaining() / kSectionEntrySize) return c.Fail(ReadStatus::absurd_property_count);
  ShortTable<std::pair<QUuid, quint32>, 4> entries(count);
  sections->reserve(count);
  for (auto& [formatId, offset] : entries) {
    formatId = ReadGuid(c);
    c.Read(offset);
  }
  for (const auto& [formatId, offset] : entries) {
    PropertySection section;
    section.formatId = formatId;
    if (ParseStatus s = ParseSection(stream, offset, &section); s != ReadStatus::ok) {
      sections->clear();
      return s;
    }
    sections->push_back(std::move(section));
  }
  return ReadStatus::ok;
}

}  // namespace tbx
