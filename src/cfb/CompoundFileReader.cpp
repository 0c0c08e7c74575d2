#include "cfb/CompoundFileReader.h"

#include <QtEndian>
#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <unordered_set>

#include "cfb/ByteCursor.h"
#include "cfb/ShortTable.h"
#include "cfb/CompoundFileFormat.h"

namespace tbx {
namespace {

using namespace cfb;

constexpr quint64 kWholeMiniStreamLimit = 1 << 20;

quint64 CeilDiv(quint64 value, quint64 unit) { return (value + unit - 1) / unit; }

// The chains of a document's streams are a few sectors long: those are
// compared pairwise in place, longer ones sorted in a copy.
constexpr size_t kShortChain = 32;
// Directory bytes read on the stack: eight sectors of 512 bytes, one of 4096.
// Its kilobyte was the one allocation per document too large for the
// allocator's fast path.
constexpr size_t kDirectoryOnStack = 4096;

bool HasDuplicates(const std::vector<quint32>& sectors) {
  // Writers lay most chains out in ascending order, which has none.
  if (std::adjacent_find(sectors.begin(), sectors.end(), std::greater_equal<quint32>()) == sectors.end()) return false;
  if (sectors.size() <= kShortChain) {
    for (auto it = sectors.begin(); it != sectors.end(); ++it)
      if (std::find(sectors.begin(), it, *it) != it) return true;
    return false;
  }
  std::vector<quint32> sorted = sectors;
  std::sort(sorted.begin(), sorted.end());
  return std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end();
}

// A directory entry; its name is kept in place, since only the root's
// entries are ever asked for theirs.
struct DirEntry {
  std::array<char16_t, 31> name{};  // the format allows 31 units before the terminating zero
  int nameUnits = 0;
  QString Name() const { return QString(reinterpret_cast<const QChar*>(name.data()), nameUnits); }
  quint8 type = kTypeUnused;
  quint32 left = kNoStream, right = kNoStream, child = kNoStream;
  quint32 start = 0;
  quint64 size = 0;
  quint64 at = 0;  // where the entry lies in the file
};

}  // namespace

class CompoundFileReader::Impl {
 public:
  ParseStatus Open(std::unique_ptr<ByteSource> source) {
    source_ = std::move(source);
    if (ParseStatus s = ReadHeader(); s != ReadStatus::ok) return s;
    if (ParseStatus s = ReadDifat(); s != ReadStatus::ok) return s;
    if (ParseStatus s = ReadDirectory(); s != ReadStatus::ok) return s;
    return ListRoot();
  }

  const std::vector<CompoundFileEntry>& RootEntries() const { return root_; }

  ParseStatus ReadStream(const CompoundFileEntry& entry, QByteArray* out) {
    if (!entry.isStream) return ReadStatus::stream_not_found;
    if (entry.size < kMiniStreamCutoff) return ReadMiniStream(entry.start, entry.size, out);
    std::vector<quint32> chain;
    if (entry.size > quint64(sectorCount_) * sectorSize_)
      return ParseStatus(ReadStatus::stream_beyond_eof, entries_[entry.entry].at + kDirSizeOffset);
    if (ParseStatus s = FollowChain(entry.start, entries_[entry.entry].at + kDirStartOffset, CeilDiv(entry.size, sectorSize_), true, &chain); s != ReadStatus::ok)
      return s;
    out->resize(qsizetype(entry.size));
    return ReadSectors(chain, entry.size, out->data());
  }

 private:
  // --- header and sector allocation ---------------------------------------

  ParseStatus ReadHeader() {
    const quint64 fileSize = source_->Size();
    char header[kHeaderSize];
    const quint64 have = std::min<quint64>(fileSize, kHeaderSize);
    if (have == 0) return ReadStatus::empty_file;
    if (!source_->ReadAt(0, header, have)) return ReadStatus::read_failed;
    if (std::memcmp(header, kSignature, std::min<quint64>(have, sizeof kSignature)) != 0)
      return ReadStatus::not_compound_file;
    if (have < kHeaderSize) return ParseStatus(ReadStatus::truncated, have);

    ByteCursor h(header, kHeaderSize);
    quint16 major = 0, byteOrder = 0, sectorShift = 0, miniShift = 0;
    quint32 fatCount = 0, miniCutoff = 0, difatCount = 0;
    h.Seek(0x1A);
    h.Read(major);
    h.Read(byteOrder);
    h.Read(sectorShift);
    h.Read(miniShift);
    h.Seek(0x2C);
    h.Read(fatCount);
    h.Read(directoryStart_);
    h.Skip(4);
    h.Read(miniCutoff);
    h.Read(miniFatStart_);
    h.Skip(4);
    h.Read(difatStart_);
    h.Read(difatCount);
    if (major != 3 && major != 4) return ParseStatus(ReadStatus::unsupported_version, 0x1A);
    if (byteOrder != 0xFFFE) return ParseStatus(ReadStatus::bad_byte_order, 0x1C);
    if (sectorShift != (major == 3 ? 9 : 12)) return ParseStatus(ReadStatus::bad_sector_shift, 0x1E);
    if (miniShift != 6) return ParseStatus(ReadStatus::bad_mini_stream_header, 0x20);
    if (miniCutoff != kMiniStreamCutoff) return ParseStatus(ReadStatus::bad_mini_stream_header, 0x38);
    version3_ = major == 3;
    sectorSize_ = 1u << sectorShift;
    idsPerSector_ = sectorSize_ / 4;
    // Sector n starts at (n + 1) * sector size; a last sector may be cut short.
    const quint64 sectors = fileSize <= sectorSize_ ? 0 : CeilDiv(fileSize - sectorSize_, sectorSize_);
    sectorCount_ = quint32(std::min<quint64>(sectors, kMaxRegularSector + 1ULL));
    if (fatCount > sectorCount_) return ParseStatus(ReadStatus::absurd_sector_count, 0x2C);
    if (difatCount > sectorCount_) return ParseStatus(ReadStatus::absurd_sector_count, 0x48);
    fatCount_ = fatCount;
    difatCount_ = difatCount;
    h.Seek(kHeaderDifatOffset);
    for (quint32 i = 0; i < std::min(fatCount, kHeaderDifatEntries); ++i) {
      quint32 sector = 0;
      h.Read(sector);
      fatSectors_.push_back(sector);
    }
    return ReadStatus::ok;
  }

  ParseStatus ReadDifat() {
    quint32 next = difatStart_;
    std::unordered_set<quint32> seen;
    while (fatSectors_.size() < fatCount_) {
      if (next == kEndOfChain || seen.size() >= difatCount_) return ReadStatus::chain_too_short;
      if (next >= sectorCount_) return ReadStatus::sector_out_of_range;
      if (!seen.insert(next).second) return ReadStatus::sector_chain_loop;
      QByteArray sector;
      if (ParseStatus s = ReadWholeSector(next, &sector); s != ReadStatus::ok) return s;
      ByteCursor c(sector);
      for (quint32 k = 0; k + 1 < idsPerSector_ && fatSectors_.size() < fatCount_; ++k) {
        quint32 fatSector = 0;
        c.Read(fatSector);
        fatSectors_.push_back(fatSector);
      }
      next = qFromLittleEndian<quint32>(sector.constData() + sectorSize_ - 4);
    }
    fatCache_.resize(fatSectors_.size());
    return ReadStatus::ok;
  }

  quint64 SectorOffset(quint32 sector) const { return (quint64(sector) + 1) * sectorSize_; }

  ParseStatus ReadWholeSector(quint32 sector, QByteArray* out) {
    if (sector >= sectorCount_) return ReadStatus::sector_out_of_range;
    const quint64 offset = SectorOffset(sector);
    if (offset + sectorSize_ > source_->Size()) return ParseStatus(ReadStatus::truncated, offset);
    out->resize(qsizetype(sectorSize_));
    return source_->ReadAt(offset, out->data(), sectorSize_) ? ParseStatus() : ParseStatus(ReadStatus::read_failed, offset);
  }

  // Where in the file entry `index` of an allocation table lies (0 when its
  // sector is not in the table).
  quint64 TableEntryOffset(const std::vector<quint32>& tableSectors, quint32 index) const {
    const quint32 which = index / idsPerSector_;
    return which < tableSectors.size() ? SectorOffset(tableSectors[which]) + 4 * (index % idsPerSector_) : 0;
  }

  // Entry `index` of an allocation table whose sectors are `tableSectors`,
  // loading each table sector once.
  ParseStatus TableEntry(const std::vector<quint32>& tableSectors, std::vector<QByteArray>& cache, quint32 index,
                        quint32* value) {
    const quint32 which = index / idsPerSector_;
    if (which >= tableSectors.size()) return ReadStatus::sector_out_of_range;
    if (cache[which].isEmpty())
      if (ParseStatus s = ReadWholeSector(tableSectors[which], &cache[which]); s != ReadStatus::ok) return s;
    *value = qFromLittleEndian<quint32>(cache[which].constData() + 4 * (index % idsPerSector_));
    return ReadStatus::ok;
  }

  // Follows a FAT chain. With exact, it must hold `limit` sectors (a stream of
  // known size); otherwise it runs to its end, and a chain longer than the
  // file has sectors must loop.
  // A defect names where the link that broke the chain was read: startAt
  // for the chain's start, else the FAT entry.
  ParseStatus FollowChain(quint32 start, quint64 startAt, quint64 limit, bool exact, std::vector<quint32>* chain) {
    chain->reserve(size_t(std::min<quint64>(limit, kShortChain)));
    quint32 sector = start;
    quint64 linkAt = startAt;
    while (chain->size() < limit) {
      if (sector == kEndOfChain) {
        if (exact) return ParseStatus(ReadStatus::chain_too_short, linkAt);
        break;
      }
      if (sector >= sectorCount_) return ParseStatus(ReadStatus::sector_out_of_range, linkAt);
      chain->push_back(sector);
      linkAt = TableEntryOffset(fatSectors_, sector);
      if (ParseStatus s = TableEntry(fatSectors_, fatCache_, sector, &sector); s != ReadStatus::ok) return s;
    }
    if (!exact && chain->size() == limit && sector != kEndOfChain) return ParseStatus(ReadStatus::sector_chain_loop, linkAt);
    return HasDuplicates(*chain) ? ParseStatus(ReadStatus::sector_chain_loop, linkAt) : ParseStatus();
  }

  // Reads `size` bytes from the sectors of a chain, one read per run of
  // adjacent sectors.
  ParseStatus ReadSectors(const std::vector<quint32>& chain, quint64 size, char* out) {
    size_t i = 0;
    while (size > 0) {
      size_t run = 1;
      while (i + run < chain.size() && chain[i + run] == chain[i] + run) ++run;
      const quint64 bytes = std::min<quint64>(size, quint64(run) * sectorSize_);
      const quint64 offset = (quint64(chain[i]) + 1) * sectorSize_;
      if (offset + bytes > source_->Size()) return ParseStatus(ReadStatus::truncated, offset);
      if (!source_->ReadAt(offset, out, bytes)) return ParseStatus(ReadStatus::read_failed, offset);
      out += bytes;
      size -= bytes;
      i += run;
    }
    return ReadStatus::ok;
  }

  // --- directory ----------------------------------------------------------

  ParseStatus ReadDirectory() {
    std::vector<quint32> chain;
    if (ParseStatus s = FollowChain(directoryStart_, kHeaderDirectoryStartOffset, sectorCount_, false, &chain); s != ReadStatus::ok) return s;
    if (chain.empty()) return ReadStatus::bad_directory_entry;
    const size_t size = chain.size() * sectorSize_;
    ShortTable<char, kDirectoryOnStack> directory(size);
    const char* bytes = directory.begin();
    if (ParseStatus s = ReadSectors(chain, size, directory.begin()); s != ReadStatus::ok) return s;
    const quint32 count = quint32(size / kDirEntrySize);
    entries_.resize(count);
    const quint32 perSector = sectorSize_ / kDirEntrySize;
    for (quint32 i = 0; i < count; ++i) {
      ParseEntry(bytes + qsizetype(i) * kDirEntrySize, entries_[i]);
      entries_[i].at = SectorOffset(chain[i / perSector]) + quint64(i % perSector) * kDirEntrySize;
    }
    if (entries_[0].type != kTypeRoot) return ParseStatus(ReadStatus::bad_directory_entry, entries_[0].at);
    return ReadStatus::ok;
  }

  void ParseEntry(const char* raw, DirEntry& e) {
    ByteCursor c(raw, kDirEntrySize);
    quint16 nameBytes = 0;
    c.Seek(kDirNameLengthOffset);
    c.Read(nameBytes);
    c.Read(e.type);
    c.Seek(kDirLeftOffset);
    c.Read(e.left);
    c.Read(e.right);
    c.Read(e.child);
    c.Seek(kDirStartOffset);
    c.Read(e.start);
    c.Read(e.size);
    // Version 3 writers were allowed to leave garbage in the upper half.
    if (version3_) e.size &= 0xFFFFFFFFu;
    // The length counts the terminating zero; anything out of range keeps an
    // empty name, which no look-up matches.
    const int units = nameBytes >= 2 && nameBytes <= 64 && nameBytes % 2 == 0 ? nameBytes / 2 - 1 : 0;
    e.nameUnits = units;
    for (int k = 0; k < units; ++k) e.name[size_t(k)] = qFromLittleEndian<quint16>(raw + 2 * k);
  }

  // Walks the tree of the root's children without recursion; every entry may
  // be visited once, so a cycle or a shared subtree is caught.
  ParseStatus ListRoot() {
    std::vector<bool> visited(entries_.size(), false);
    std::vector<quint32> stack;
    std::vector<quint32> found;
    stack.reserve(std::min<size_t>(entries_.size(), kShortChain));
    found.reserve(std::min<size_t>(entries_.size(), kShortChain));
    if (entries_[0].child != kNoStream) stack.push_back(entries_[0].child);
    while (!stack.empty()) {
      const quint32 index = stack.back();
      stack.pop_back();
      if (index == 0 || index >= entries_.size()) return ReadStatus::bad_directory_entry;
      const DirEntry& e = entries_[index];
      if (visited[index]) return ParseStatus(ReadStatus::directory_cycle, e.at);
      visited[index] = true;
      if (e.type != kTypeStream && e.type != kTypeStorage) return ParseStatus(ReadStatus::bad_directory_entry, e.at);
      found.push_back(index);
      if (e.left != kNoStream) stack.push_back(e.left);
      if (e.right != kNoStream) stack.push_back(e.right);
    }
    std::sort(found.begin(), found.end());
    root_.reserve(found.size());
    for (quint32 index : found) {
      const DirEntry& e = entries_[index];
      root_.push_back(CompoundFileEntry{e.Name(), index, e.type == kTypeStream, e.start, e.size});
    }
    return ReadStatus::ok;
  }

  // --- mini stream --------------------------------------------------------

  ParseStatus PrepareMiniStream() {
    if (miniReady_) return ReadStatus::ok;
    const DirEntry& root = entries_[0];
    if (root.size > quint64(sectorCount_) * sectorSize_) return ReadStatus::stream_beyond_eof;
    if (ParseStatus s = FollowChain(root.start, root.at + kDirStartOffset, CeilDiv(root.size, sectorSize_), true, &miniStreamChain_);
        s != ReadStatus::ok)
      return s;
    if (ParseStatus s = FollowChain(miniFatStart_, kHeaderMiniFatStartOffset, sectorCount_, false, &miniFatSectors_); s != ReadStatus::ok) return s;
    miniFatCache_.resize(miniFatSectors_.size());
    // Documents keep all their property sets in the mini stream: one read of
    // a small mini stream replaces dozens of 64-byte reads.
    if (root.size <= kWholeMiniStreamLimit) {
      miniStream_.resize(qsizetype(root.size));
      if (ParseStatus s = ReadSectors(miniStreamChain_, root.size, miniStream_.data()); s != ReadStatus::ok) return s;
    }
    miniReady_ = true;
    return ReadStatus::ok;
  }

  ParseStatus ReadMiniStream(quint32 start, quint64 size, QByteArray* out) {
    out->clear();
    if (size == 0) return ReadStatus::ok;
    if (ParseStatus s = PrepareMiniStream(); s != ReadStatus::ok) return s;
    const quint64 miniStreamSize = entries_[0].size;
    const quint64 needed = CeilDiv(size, kMiniSectorSize);
    std::vector<quint32> chain;
    chain.reserve(size_t(needed));  // below the cutoff: at most 64 mini sectors
    quint32 mini = start;
    while (chain.size() < needed) {
      if (mini == kEndOfChain) return ReadStatus::chain_too_short;
      if (quint64(mini) * kMiniSectorSize >= miniStreamSize) return ReadStatus::sector_out_of_range;
      chain.push_back(mini);
      if (ParseStatus s = TableEntry(miniFatSectors_, miniFatCache_, mini, &mini); s != ReadStatus::ok) return s;
    }
    if (HasDuplicates(chain)) return ReadStatus::sector_chain_loop;
    out->resize(qsizetype(size));
    char* to = out->data();
    for (size_t i = 0; i < chain.size(); ++i) {
      const quint32 m = chain[i];
      const quint64 inMini = quint64(m) * kMiniSectorSize;
      if (!miniStream_.isEmpty()) {
        // Adjacent mini sectors are copied together.
        size_t run = 1;
        while (i + run < chain.size() && chain[i + run] == m + run) ++run;
        const quint64 bytes = std::min<quint64>(size, quint64(run) * kMiniSectorSize);
        if (inMini + bytes > miniStreamSize) return ReadStatus::stream_beyond_eof;
        std::memcpy(to, miniStream_.constData() + inMini, bytes);
        to += bytes;
        size -= bytes;
        i += run - 1;
        continue;
      }
      const quint64 bytes = std::min<quint64>(size, kMiniSectorSize);
      if (inMini + bytes > miniStreamSize) return ReadStatus::stream_beyond_eof;
      const quint64 offset = (quint64(miniStreamChain_[inMini / sectorSize_]) + 1) * sectorSize_ + inMini % sectorSize_;
      if (offset + bytes > source_->Size()) return ParseStatus(ReadStatus::truncated, offset);
      if (!source_->ReadAt(offset, to, bytes)) return ParseStatus(ReadStatus::read_failed, offset);
      to += bytes;
      size -= bytes;
    }
    return ReadStatus::ok;
  }

  std::unique_ptr<ByteSource> source_;
  bool version3_ = true;
  quint32 sectorSize_ = 512, idsPerSector_ = 128, sectorCount_ = 0;
  quint32 fatCount_ = 0, difatCount_ = 0;
  quint32 directoryStart_ = kEndOfChain, miniFatStart_ = kEndOfChain, difatStart_ = kEndOfChain;
  std::vector<quint32> fatSectors_;
  std::vector<QByteArray> fatCache_;
  std::vector<DirEntry> entries_;
  std::vector<CompoundFileEntry> root_;
  bool miniReady_ = false;
  std::vector<quint32> miniStreamChain_, miniFatSectors_;
  std::vector<QByteArray> miniFatCache_;
  QByteArray miniStream_;  // the whole mini stream when it is small
};

CompoundFileReader::CompoundFileReader() = default;
CompoundFileReader::~CompoundFileReader() = default;

ParseStatus CompoundFileReader::Open(std::unique_ptr<ByteSource> source) {
  impl_ = std::make_unique<Impl>();
  const ParseStatus status = impl_->Open(std::move(source));
  if (status != ReadStatus::ok) impl_.reset();
  return status;
}

const std::vector<CompoundFileEntry>& CompoundFileReader::RootEntries() const {
  static const std::vector<CompoundFileEntry> none;
  return impl_ ? impl_->RootEntries() : none;
}

ParseStatus CompoundFileReader::ReadStream(const CompoundFileEntry& entry, QByteArray* out) {
  out->clear();
  if (!impl_) return ReadStatus::stream_not_found;
  const ParseStatus status = impl_->ReadStream(entry, out);
  if (status != ReadStatus::ok) out->clear();
  return status;
}

ParseStatus CompoundFileReader::ReadStream(const QString& name, QByteArray* out) {
  for (const CompoundFileEntry& e : RootEntries())
    if (e.isStream && e.name.compare(name, Qt::CaseInsensitive) == 0) return ReadStream(e, out);
  out->clear();
  return ReadStatus::stream_not_found;
}

}  // namespace tbx
