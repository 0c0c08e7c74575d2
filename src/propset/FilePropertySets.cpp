#include "propset/FilePropertySets.h"

#include <QDateTime>
#include <algorithm>
#include <new>

#include "cfb/CompoundFileReader.h"
#include "propset/KnownPropertySets.h"
#include "propset/PropertySetParser.h"

namespace tbx {
namespace {

// The index is a 16-bit signed number for the callers of the library.
constexpr int kMaxSets = 32767;

// Sets of an ordinary document: the two summaries, the CAD system's few and the user-defined ones.
constexpr size_t kUsualSets = 8;

// What the streams of one document may hold together, read and parsed:
// directory entries may all name the same large stream, so without a bound
// a small file could make the reader hold a copy per entry. Real documents
// stay far below the file's own size.
quint64 PropertyBytesBudget(quint64 fileSize) { return 2 * fileSize + 1024 * 1024; }

struct Ranked {
  int rank;  // known sets in their listing order, every other set after them
  FilePropertySet set;
};

}  // namespace

QVariant FileProperty::Value() const {
  return DecodePropertyValue(stream_, sectionStart_, sectionSize_, offset_, codePage_);
}

const FileProperty* FilePropertySet::WithId(quint32 id) const {
  for (const FileProperty& p : properties_)
    if (quint32(p.id) == id) return &p;
  return nullptr;
}

const FileProperty* FilePropertySet::ByDictionaryName(const QString& name) const {
  // Case folding keeps the length, so only names of equal length can match.
  for (const auto& [id, entry] : dictionary_)
    if (entry.size() == name.size() && entry.compare(name, Qt::CaseInsensitive) == 0)
      if (const FileProperty* p = WithId(id)) return p;
  return nullptr;
}

const FileProperty* FilePropertySet::Item(const QString& name) const {
  if (const FileProperty* p = ByDictionaryName(name)) return p;
  quint32 id = 0;
  if (known_ && BuiltInPropertyId(*known_, name, &id)) return WithId(id);
  return nullptr;
}

QString FilePropertySet::PropertyName(const FileProperty& property) const {
  for (const auto& [id, entryName] : dictionary_)
    if (id == quint32(property.id)) {
      if (!entryName.isEmpty()) return entryName;
      break;
    }
  return known_ ? BuiltInPropertyName(*known_, quint32(property.id)) : QString();
}

const FilePropertySet* FilePropertySets::Item(int index) const {
  return index >= 0 && index < Count() ? &sets_[size_t(index)] : nullptr;
}

ParseStatus FilePropertySets::Open(std::unique_ptr<ByteSource> source) {
  sets_.clear();
  // Sizes are checked against the file before anything is allocated, but a
  // large legitimate document may still meet a machine short of memory.
  try {
    return Load(std::move(source));
  } catch (const std::bad_alloc&) {
    sets_.clear();
    return ReadStatus::out_of_memory;
  }
}

FilePropertySet FilePropertySets::MakeSet(PropertySection& section, const QString& streamName) {
  FilePropertySet set;
  set.formatId_ = section.formatId;
  set.known_ = FindKnownSet(section.formatId);
  // A set the library does not know is named after its stream, without the leading 0x05.
  set.name_ = set.known_ ? KnownSetName(*set.known_) : streamName.mid(1);
  set.dictionary_ = std::move(section.dictionary);
  set.properties_.reserve(section.properties.size());
  for (const RawProperty& raw : section.properties) {
    FileProperty property;
    property.id = qint32(raw.id);
    property.type = raw.type;
    property.stream_ = section.stream;
    property.sectionStart_ = section.start;
    property.sectionSize_ = section.size;
    property.offset_ = raw.offset;
    property.codePage_ = section.codePage;
    set.properties_.push_back(std::move(property));
  }
  return set;
}

ParseStatus FilePropertySets::Load(std::unique_ptr<ByteSource> source) {
  quint64 budget = PropertyBytesBudget(source->Size());
  CompoundFileReader file;
  if (ParseStatus s = file.Open(std::move(source)); s != ReadStatus::ok) return s;
  std::vector<Ranked> found;
  found.reserve(kUsualSets);
  std::vector<PropertySection> sections;  // of one stream at a time, its room kept for the next
  for (const CompoundFileEntry& entry : file.RootEntries()) {
    // Property sets are the root streams whose names begin with 0x05.
    if (!entry.isStream || !entry.name.startsWith(QChar(0x05))) continue;
    QByteArray stream;
    // One stream is never larger than the file (the reader checks that), so
    // only the sum needs a bound here.
    if (ParseStatus s = file.ReadStream(entry, &stream); s != ReadStatus::ok) return s;
    if (quint64(stream.size()) > budget) return ReadStatus::property_sets_beyond_file;
    budget -= quint64(stream.size());
    if (ParseStatus s = ParsePropertySetStream(stream, &sections); s != ReadStatus::ok) return s;
    for (PropertySection& section : sections) {
      if (found.size() >= size_t(kMaxSets)) return ReadStatus::too_many_property_sets;
      FilePropertySet set = MakeSet(section, entry.name);
      const int rank = set.known_ ? KnownSetRank(*set.known_) : KnownSetCount();
      found.push_back(Ranked{rank, std::move(set)});
    }
  }
  // Rank by rank, each in stream order; the ranks are few, and a stable
  // sort would ask for a buffer for every document.
  sets_.reserve(found.size());
  for (int rank = 0; rank <= KnownSetCount(); ++rank)
    for (Ranked& r : found)
      if (r.rank == rank) sets_.push_back(std::move(r.set));
  return ReadStatus::ok;
}

}  // namespace tbx
