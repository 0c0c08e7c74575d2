#include "cfb/CompoundFileWriter.h"

#include <QBuffer>
#include <QIODevice>
#include <QtEndian>
#include <algorithm>
#include <functional>

#include "cfb/CompoundFileFormat.h"

namespace tbx {
namespace {

using namespace cfb;

using Sink = std::function<bool(const char*, qint64)>;

quint64 CeilDiv(quint64 value, quint64 unit) { return (value + unit - 1) / unit; }

// Where every part of the file goes. Sectors are laid out in this order:
// large streams, mini stream, mini FAT, directory, FAT, DIFAT; each part is
// one contiguous run, so every chain is a simple ascending sequence.
struct Layout {
  std::vector<quint32> streamStart;  // first sector or mini sector per stream
  std::vector<bool> inMiniStream;
  quint32 miniSectorCount = 0;
  quint32 miniStreamStart = kEndOfChain, miniStreamSectors = 0;
  quint32 miniFatStart = kEndOfChain, miniFatSectors = 0;
  quint32 directoryStart = 0, directorySectors = 0;
  quint32 fatStart = 0, fatSectors = 0;
  quint32 difatStart = kEndOfChain, difatSectors = 0;
  quint32 totalSectors = 0;
};

quint32 DifatSectorsFor(quint32 fatSectors) {
  return fatSectors <= kHeaderDifatEntries ? 0
                                           : quint32(CeilDiv(fatSectors - kHeaderDifatEntries, kDifatEntriesPerSector));
}

template <typename StreamList>
Layout PlanLayout(const StreamList& streams) {
  Layout layout;
  quint32 next = 0;
  for (const auto& stream : streams) {
    const bool mini = stream.data.size() < qsizetype(kMiniStreamCutoff);
    layout.inMiniStream.push_back(mini);
    if (stream.data.isEmpty()) {
      layout.streamStart.push_back(kEndOfChain);
    } else if (mini) {
      layout.streamStart.push_back(layout.miniSectorCount);
      layout.miniSectorCount += quint32(CeilDiv(stream.data.size(), kMiniSectorSize));
    } else {
      layout.streamStart.push_back(next);
      next += quint32(CeilDiv(stream.data.size(), kSectorSize));
    }
  }
  if (layout.miniSectorCount > 0) {
    layout.miniStreamStart = next;
    layout.miniStreamSectors = quint32(CeilDiv(quint64(layout.miniSectorCount) * kMiniSectorSize, kSectorSize));
    next += layout.miniStreamSectors;
    layout.miniFatStart = next;
    layout.miniFatSectors = quint32(CeilDiv(layout.miniSectorCount, kIdsPerSector));
    next += layout.miniFatSectors;
  }
  layout.directoryStart = next;
  layout.directorySectors = quint32(CeilDiv(streams.size() + 1, kDirEntriesPerSector));
  next += layout.directorySectors;
  // The FAT must also describe its own sectors and the DIFAT sectors.
  quint32 fat = 1;
  while (quint64(fat) * kIdsPerSector < quint64(next) + fat + DifatSectorsFor(fat)) ++fat;
  layout.fatStart = next;
  layout.fatSectors = fat;
  next += fat;
  layout.difatSectors = DifatSectorsFor(fat);
  if (layout.difatSectors > 0) layout.difatStart = next;
  next += layout.difatSectors;
  layout.totalSectors = next;
  return layout;
}

void PutU16(char* at, quint16 value) { qToLittleEndian(value, at); }
void PutU32(char* at, quint32 value) { qToLittleEndian(value, at); }

void Chain(std::vector<quint32>& table, quint32 start, quint32 count) {
  for (quint32 i = 0; i < count; ++i) table[start + i] = (i + 1 < count) ? start + i + 1 : kEndOfChain;
}

// Compound-file names sort by length first, then by upper-cased code units.
bool NameLess(const QString& a, const QString& b) {
  if (a.size() != b.size()) return a.size() < b.size();
  for (qsizetype i = 0; i < a.size(); ++i) {
    const char16_t ca = a.at(i).toUpper().unicode(), cb = b.at(i).toUpper().unicode();
    if (ca != cb) return ca < cb;
  }
  return false;
}

struct TreeLinks {
  quint32 left = kNoStream, right = kNoStream;
  bool red = false;
};

// A balanced tree built from the sorted names; nodes on the one level that may
// be incomplete are red, which keeps every path's black count equal.
quint32 BuildTree(const std::vector<quint32>& sorted, qsizetype from, qsizetype to, int depth, int redDepth,
                  std::vector<TreeLinks>& links) {
  if (from >= to) return kNoStream;
  const qsizetype mid = from + (to - from) / 2;
  const quint32 node = sorted[mid];
  links[node].red = depth == redDepth && depth > 0;
  links[node].left = BuildTree(sorted, from, mid, depth + 1, redDepth, links);
  links[node].right = BuildTree(sorted, mid + 1, to, depth + 1, redDepth, links);
  return node;
}

void PutDirectoryEntry(char* entry, const QString& name, quint8 type, const TreeLinks& links, quint32 child,
                       quint32 start, quint64 size) {
  for (qsizetype i = 0; i < name.size(); ++i) PutU16(entry + 2 * i, name.at(i).unicode());
  PutU16(entry + kDirNameLengthOffset, quint16((name.size() + 1) * 2));
  entry[kDirTypeOffset] = char(type);
  entry[kDirColorOffset] = char(links.red ? kColorRed : kColorBlack);
  PutU32(entry + kDirLeftOffset, links.left);
  PutU32(entry + kDirRightOffset, links.right);
  PutU32(entry + kDirChildOffset, child);
  PutU32(entry + kDirStartOffset, start);
  PutU32(entry + kDirSizeOffset, quint32(size));
}

class Emitter {
 public:
  explicit Emitter(const Sink& sink) : sink_(sink) {}
  bool Write(const char* data, qint64 size) { return ok_ = ok_ && sink_(data, size); }
  bool Write(const QByteArray& bytes) { return Write(bytes.constData(), bytes.size()); }
  // Fills the rest of the current unit (sector or mini sector) with zeros.
  bool Pad(qint64 written, qint64 unit) {
    static const char zeros[kSectorSize] = {};
    const qint64 rest = (unit - written % unit) % unit;
    return Write(zeros, rest);
  }
  bool WriteTable(const std::vector<quint32>& table) {
    QByteArray bytes(qsizetype(table.size() * 4), Qt::Uninitialized);
    for (size_t i = 0; i < table.size(); ++i) PutU32(bytes.data() + 4 * i, table[i]);
    return Write(bytes);
  }

 private:
  const Sink& sink_;
  bool ok_ = true;
};

QByteArray HeaderBytes(const Layout& layout) {
  QByteArray header(kHeaderSize, '\0');
  char* h = header.data();
  std::copy(std::begin(kSignature), std::end(kSignature), h);
  PutU16(h + 0x18, 0x003E);  // minor version
  PutU16(h + 0x1A, 3);       // major version
  PutU16(h + 0x1C, 0xFFFE);  // little-endian byte order mark
  PutU16(h + 0x1E, 9);       // 512-byte sectors
  PutU16(h + 0x20, 6);       // 64-byte mini sectors
  PutU32(h + 0x2C, layout.fatSectors);
  PutU32(h + 0x30, layout.directoryStart);
  PutU32(h + 0x38, kMiniStreamCutoff);
  PutU32(h + 0x3C, layout.miniFatStart);
  PutU32(h + 0x40, layout.miniFatSectors);
  PutU32(h + 0x44, layout.difatStart);
  PutU32(h + 0x48, layout.difatSectors);
  for (quint32 i = 0; i < kHeaderDifatEntries; ++i)
    PutU32(h + kHeaderDifatOffset + 4 * i, i < layout.fatSectors ? layout.fatStart + i : kFreeSect);
  return header;
}

template <typename StreamList>
QByteArray DirectoryBytes(const StreamList& streams, const Layout& layout) {
  QByteArray bytes(qsizetype(layout.directorySectors) * kSectorSize, '\0');
  std::vector<quint32> sorted;
  for (quint32 i = 1; i <= streams.size(); ++i) sorted.push_back(i);
  std::sort(sorted.begin(), sorted.end(),
            [&](quint32 a, quint32 b) { return NameLess(streams[a - 1].name, streams[b - 1].name); });
  std::vector<TreeLinks> links(streams.size() + 1);
  int redDepth = 0;
  while ((qsizetype(2) << redDepth) - 1 < qsizetype(sorted.size())) ++redDepth;
  const quint32 top = BuildTree(sorted, 0, sorted.size(), 0, redDepth, links);

  PutDirectoryEntry(bytes.data(), QStringLiteral("Root Entry"), kTypeRoot, TreeLinks{}, top, layout.miniStreamStart,
                    quint64(layout.miniSectorCount) * kMiniSectorSize);
  for (quint32 i = 1; i <= streams.size(); ++i)
    PutDirectoryEntry(bytes.data() + i * kDirEntrySize, streams[i - 1].name, kTypeStream, links[i], kNoStream,
                      layout.streamStart[i - 1], quint64(streams[i - 1].data.size()));
  // Unused entries still carry "no sibling" links so that strict readers accept them.
  for (quint32 i = quint32(streams.size()) + 1; i < layout.directorySectors * kDirEntriesPerSector; ++i) {
    char* entry = bytes.data() + i * kDirEntrySize;
    PutU32(entry + kDirLeftOffset, kNoStream);
    PutU32(entry + kDirRightOffset, kNoStream);
    PutU32(entry + kDirChildOffset, kNoStream);
  }
  return bytes;
}

template <typename StreamList>
bool Emit(const StreamList& streams, const Sink& sink) {
  const Layout layout = PlanLayout(streams);
  Emitter out(sink);
  out.Write(HeaderBytes(layout));

  std::vector<quint32> fat(size_t(layout.fatSectors) * kIdsPerSector, kFreeSect);
  std::vector<quint32> miniFat(size_t(layout.miniFatSectors) * kIdsPerSector, kFreeSect);
  for (size_t i = 0; i < streams.size(); ++i) {
    const QByteArray& data = streams[i].data;
    if (data.isEmpty()) continue;
    if (layout.inMiniStream[i])
      Chain(miniFat, layout.streamStart[i], quint32(CeilDiv(data.size(), kMiniSectorSize)));
    else
      Chain(fat, layout.streamStart[i], quint32(CeilDiv(data.size(), kSectorSize)));
  }
  Chain(fat, layout.miniStreamStart, layout.miniStreamSectors);
  Chain(fat, layout.miniFatStart, layout.miniFatSectors);
  Chain(fat, layout.directoryStart, layout.directorySectors);
  for (quint32 i = 0; i < layout.fatSectors; ++i) fat[layout.fatStart + i] = kFatSect;
  for (quint32 i = 0; i < layout.difatSectors; ++i) fat[layout.difatStart + i] = kDifSect;

  for (size_t i = 0; i < streams.size(); ++i) {
    if (layout.inMiniStream[i]) continue;
    out.Write(streams[i].data);
    out.Pad(streams[i].data.size(), kSectorSize);
  }
  for (size_t i = 0; i < streams.size(); ++i) {
    if (!layout.inMiniStream[i]) continue;
    out.Write(streams[i].data);
    out.Pad(streams[i].data.size(), kMiniSectorSize);
  }
  out.Pad(qint64(layout.miniSectorCount) * kMiniSectorSize, kSectorSize);
  out.WriteTable(miniFat);
  out.Write(DirectoryBytes(streams, layout));
  out.WriteTable(fat);

  // DIFAT sectors list the FAT sectors beyond the 109 in the header, 127 per
  // sector, each sector ending with the number of the next one.
  for (quint32 d = 0; d < layout.difatSectors; ++d) {
    std::vector<quint32> entries(kIdsPerSector, kFreeSect);
    for (quint32 k = 0; k < kDifatEntriesPerSector; ++k) {
      const quint64 fatIndex = kHeaderDifatEntries + quint64(d) * kDifatEntriesPerSector + k;
      if (fatIndex < layout.fatSectors) entries[k] = layout.fatStart + quint32(fatIndex);
    }
    entries[kDifatEntriesPerSector] = d + 1 < layout.difatSectors ? layout.difatStart + d + 1 : kEndOfChain;
    out.WriteTable(entries);
  }
  return out.Write(nullptr, 0);
}

bool ValidName(const QString& name) {
  if (name.isEmpty() || name.size() > kMaxNameLength) return false;
  for (QChar c : name)
    if (c == u'/' || c == u'\\' || c == u':' || c == u'!' || c == u'\0') return false;
  return true;
}

bool SameNameIgnoringCase(const QString& a, const QString& b) { return !NameLess(a, b) && !NameLess(b, a); }

}  // namespace

bool CompoundFileWriter::AddStream(const QString& name, QByteArray data) {
  if (!ValidName(name) || quint64(data.size()) >= kMaxStreamSizeV3) return false;
  for (const Stream& s : streams_)
    if (SameNameIgnoringCase(s.name, name)) return false;
  streams_.push_back(Stream{name, std::move(data)});
  return true;
}

QByteArray CompoundFileWriter::Serialize() const {
  QByteArray file;
  Emit(streams_, [&](const char* data, qint64 size) {
    file.append(data, size);
    return true;
  });
  return file;
}

bool CompoundFileWriter::WriteTo(QIODevice& device) const {
  return WriteTo([&](const char* data, qint64 size) { return size == 0 || device.write(data, size) == size; });
}

bool CompoundFileWriter::WriteTo(const Sink& sink) const { return Emit(streams_, sink); }

}  // namespace tbx
