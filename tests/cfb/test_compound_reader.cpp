#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include "cfb/CompoundFileFormat.h"
#include "cfb/CompoundFileReader.h"
#include "cfb/CompoundFileWriter.h"

using namespace tbx;

namespace {

QByteArray Pattern(qsizetype size, int seed) {
  QByteArray data(size, Qt::Uninitialized);
  for (qsizetype k = 0; k < size; ++k) data[k] = char((k * 7 + seed * 13 + k / 251) & 0xFF);
  return data;
}

// Counts what the reader asks for, to prove it never reads the whole file.
class CountingSource : public MemoryByteSource {
 public:
  explicit CountingSource(QByteArray bytes, quint64* read) : MemoryByteSource(std::move(bytes)), read_(read) {}
  bool ReadAt(quint64 offset, char* out, quint64 size) override {
    *read_ += size;
    return MemoryByteSource::ReadAt(offset, out, size);
  }

 private:
  quint64* read_;
};

ReadStatus OpenBytes(CompoundFileReader& reader, const QByteArray& bytes) {
  return reader.Open(std::make_unique<MemoryByteSource>(bytes));
}

void PutU32(QByteArray& file, qsizetype at, quint32 value) { qToLittleEndian(value, file.data() + at); }

}  // namespace

TEST(CompoundFileReader, ReadsBackWhatTheWriterWrote) {
  const std::vector<std::pair<QString, qsizetype>> streams = {
      {QStringLiteral("leer"), 0},           {QStringLiteral("\x05SummaryInformation"), 400},
      {QStringLiteral("grenze"), 4095},      {QStringLiteral("gross"), 4096},
      {QStringLiteral("Stückliste"), 70000}, {QStringLiteral("a"), 1},
  };
  CompoundFileWriter writer;
  for (size_t j = 0; j < streams.size(); ++j)
    ASSERT_TRUE(writer.AddStream(streams[j].first, Pattern(streams[j].second, int(j))));
  CompoundFileReader reader;
  ASSERT_EQ(OpenBytes(reader, writer.Serialize()), ReadStatus::ok);
  ASSERT_EQ(reader.RootEntries().size(), streams.size());
  for (size_t j = 0; j < streams.size(); ++j) {
    const CompoundFileEntry& e = reader.RootEntries()[j];
    EXPECT_EQ(e.name, streams[j].first);  // directory-entry order is the order of adding
    EXPECT_TRUE(e.isStream);
    QByteArray data;
    ASSERT_EQ(reader.ReadStream(e, &data), ReadStatus::ok) << qPrintable(e.name);
    EXPECT_EQ(data, Pattern(streams[j].second, int(j))) << qPrintable(e.name);
  }
  QByteArray data;
  EXPECT_EQ(reader.ReadStream(QStringLiteral("STÜCKLISTE"), &data), ReadStatus::ok);
  EXPECT_EQ(reader.ReadStream(QStringLiteral("fehlt"), &data), ReadStatus::stream_not_found);
}

TEST(CompoundFileReader, ReadsLargeFilesWithDifatSectors) {
  CompoundFileWriter writer;
  writer.AddStream(QStringLiteral("Workbook"), Pattern(16 * 1024 * 1024 + 5, 1));
  writer.AddStream(QStringLiteral("klein"), Pattern(300, 2));
  const QByteArray file = writer.Serialize();
  ASSERT_EQ(qFromLittleEndian<quint32>(file.constData() + 0x48), 2u);  // two DIFAT sectors
  quint64 read = 0;
  CompoundFileReader reader;
  ASSERT_EQ(reader.Open(std::make_unique<CountingSource>(file, &read)), ReadStatus::ok);
  QByteArray data;
  ASSERT_EQ(reader.ReadStream(QStringLiteral("klein"), &data), ReadStatus::ok);
  EXPECT_EQ(data, Pattern(300, 2));
  // Header, DIFAT, a few FAT sectors, directory, mini FAT and one mini stream sector.
  EXPECT_LT(read, 64u * 1024u);
  ASSERT_EQ(reader.ReadStream(QStringLiteral("Workbook"), &data), ReadStatus::ok);
  EXPECT_EQ(data, Pattern(16 * 1024 * 1024 + 5, 1));
}

TEST(CompoundFileReader, RejectsBrokenDifatChains) {
  CompoundFileWriter writer;
  writer.AddStream(QStringLiteral("Workbook"), Pattern(16 * 1024 * 1024, 1));
  const QByteArray good = writer.Serialize();
  const quint32 firstDifat = qFromLittleEndian<quint32>(good.constData() + 0x44);
  const qsizetype nextPointer = (qsizetype(firstDifat) + 1) * 512 + 508;
  struct Case {
    const char* why;
    qsizetype at;
    quint32 value;
    ReadStatus expected;
  };
  const Case cases[] = {
      {"DIFAT chain loops", nextPointer, firstDifat, ReadStatus::sector_chain_loop},
      {"DIFAT chain ends early", nextPointer, cfb::kEndOfChain, ReadStatus::chain_too_short},
      {"DIFAT sector outside the file", 0x44, 0x7FFFFFFF, ReadStatus::sector_out_of_range},
      {"fewer DIFAT sectors than FAT sectors need", 0x48, 1, ReadStatus::chain_too_short},
      {"absurd DIFAT count", 0x48, 0x7FFFFFFF, ReadStatus::absurd_sector_count},
  };
  for (const Case& c : cases) {
    QByteArray file = good;
    PutU32(file, c.at, c.value);
    CompoundFileReader reader;
    EXPECT_EQ(OpenBytes(reader, file), c.expected) << c.why;
  }
}

TEST(CompoundFileReader, ReportsWhatIsWrongWithTheHeader) {
  CompoundFileWriter writer;
  writer.AddStream(QStringLiteral("s"), Pattern(100, 0));
  const QByteArray good = writer.Serialize();
  struct Case {
    const char* why;
    qsizetype at;
    QByteArray bytes;
    ReadStatus expected;
  };
  const Case cases[] = {
      {"signature", 0, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE0", 8), ReadStatus::not_compound_file},
      {"version 5", 0x1A, QByteArray("\x05\x00", 2), ReadStatus::unsupported_version},
      {"byte order", 0x1C, QByteArray("\xFF\xFE", 2), ReadStatus::bad_byte_order},
      {"sector shift 10", 0x1E, QByteArray("\x0A\x00", 2), ReadStatus::bad_sector_shift},
      {"sector shift 12 in version 3", 0x1E, QByteArray("\x0C\x00", 2), ReadStatus::bad_sector_shift},
      {"mini sector shift", 0x20, QByteArray("\x07\x00", 2), ReadStatus::bad_mini_stream_header},
      {"FAT count", 0x2C, QByteArray("\xFF\xFF\x00\x00", 4), ReadStatus::absurd_sector_count},
      {"directory outside", 0x30, QByteArray("\x00\x10\x00\x00", 4), ReadStatus::sector_out_of_range},
      {"FAT sector outside", 0x4C, QByteArray("\x00\x00\x01\x00", 4), ReadStatus::sector_out_of_range},
  };
  for (const Case& c : cases) {
    QByteArray file = good;
    file.replace(c.at, c.bytes.size(), c.bytes);
    CompoundFileReader reader;
    EXPECT_EQ(OpenBytes(reader, file), c.expected) << c.why;
  }
  CompoundFileReader reader;
  EXPECT_EQ(OpenBytes(reader, QByteArray()), ReadStatus::empty_file);
  EXPECT_EQ(OpenBytes(reader, QByteArray("PK\x03\x04 zip")), ReadStatus::not_compound_file);
  EXPECT_EQ(OpenBytes(reader, good.left(300)), ReadStatus::truncated);
}

TEST(CompoundFileReader, EveryTruncatedPrefixFailsCleanly) {
  CompoundFileWriter writer;
  writer.AddStream(QStringLiteral("klein"), Pattern(700, 0));
  writer.AddStream(QStringLiteral("gross"), Pattern(5000, 1));
  const QByteArray file = writer.Serialize();
  for (qsizetype n = 0; n < file.size(); ++n) {
    CompoundFileReader reader;
    ReadStatus status = OpenBytes(reader, file.left(n));
    QByteArray data;
    for (const CompoundFileEntry& e : reader.RootEntries())
      if (status == ReadStatus::ok) status = reader.ReadStream(e, &data);
    EXPECT_NE(status, ReadStatus::ok) << n;
  }
}

TEST(CompoundFileReader, RejectsBrokenChainsAndDirectories) {
  // Layout of a small file from the writer: sector 0 mini stream, 1 mini FAT,
  // 2 directory, 3 FAT; a 5000-byte stream takes sectors 0..9 before them.
  CompoundFileWriter writer;
  writer.AddStream(QStringLiteral("gross"), Pattern(5000, 1));
  writer.AddStream(QStringLiteral("klein"), Pattern(100, 2));
  writer.AddStream(QStringLiteral("dritter"), Pattern(10, 3));
  const QByteArray good = writer.Serialize();
  const quint32 fatSector = qFromLittleEndian<quint32>(good.constData() + cfb::kHeaderDifatOffset);
  const quint32 dirSector = qFromLittleEndian<quint32>(good.constData() + 0x30);
  const qsizetype fat = (fatSector + 1) * 512, dir = (dirSector + 1) * 512;
  const qsizetype miniFat = (qFromLittleEndian<quint32>(good.constData() + 0x3C) + 1) * 512;
  struct Case {
    const char* why;
    qsizetype at;
    quint32 value;
    ReadStatus expected;
  };
  const Case cases[] = {
      {"stream chain loops", fat + 4 * 5, 2, ReadStatus::sector_chain_loop},
      {"stream chain leaves the file", fat + 4 * 5, 4000, ReadStatus::sector_out_of_range},
      {"stream chain ends early", fat + 4 * 5, cfb::kEndOfChain, ReadStatus::chain_too_short},
      {"directory chain loops", fat + 4 * dirSector, dirSector, ReadStatus::sector_chain_loop},
      {"root child out of range", dir + cfb::kDirChildOffset, 4000, ReadStatus::bad_directory_entry},
      {"sibling points to root", dir + 128 * 1 + cfb::kDirLeftOffset, 0, ReadStatus::bad_directory_entry},
      {"tree cycle", dir + 128 * 2 + cfb::kDirLeftOffset, 2, ReadStatus::directory_cycle},
      {"stream size beyond the file", dir + 128 * 1 + cfb::kDirSizeOffset, 0x7FFFFFFF, ReadStatus::stream_beyond_eof},
      {"mini stream size beyond the file", dir + cfb::kDirSizeOffset, 0x7FFFFFFF, ReadStatus::stream_beyond_eof},
      {"mini chain loops", miniFat, 0, ReadStatus::sector_chain_loop},
      {"mini chain ends early", miniFat, cfb::kEndOfChain, ReadStatus::chain_too_short},
      {"mini chain leaves the mini stream", dir + 128 * 2 + cfb::kDirStartOffset, 1000,
       ReadStatus::sector_out_of_range},
  };
  for (const Case& c : cases) {
    QByteArray file = good;
    PutU32(file, c.at, c.value);
    CompoundFileReader reader;
    ReadStatus status = OpenBytes(reader, file);
    QByteArray data;
    for (const CompoundFileEntry& e : reader.RootEntries())
      if (status == ReadStatus::ok) status = reader.ReadStream(e, &data);
    EXPECT_EQ(status, c.expected) << c.why;
  }
}

namespace {

// A version 4 file (4096-byte sectors) laid out by hand: sector 0 FAT,
// 1 directory, 2 mini FAT, 3 mini stream, 4-5 a large stream.
QByteArray Version4File(const QByteArray& small, const QByteArray& large) {
  const int ss = 4096;
  QByteArray file(ss * 7, '\0');
  char* h = file.data();
  std::copy(std::begin(cfb::kSignature), std::end(cfb::kSignature), h);
  qToLittleEndian<quint16>(0x3E, h + 0x18);
  qToLittleEndian<quint16>(4, h + 0x1A);
  qToLittleEndian<quint16>(0xFFFE, h + 0x1C);
  qToLittleEndian<quint16>(12, h + 0x1E);
  qToLittleEndian<quint16>(6, h + 0x20);
  const quint32 header[] = {1, 1, 1, 0, 4096, 2, 1, cfb::kEndOfChain, 0};  // from 0x28
  for (int i = 0; i < 9; ++i) qToLittleEndian(header[i], h + 0x28 + 4 * i);
  for (int i = 0; i < 109; ++i) qToLittleEndian<quint32>(i == 0 ? 0 : cfb::kFreeSect, h + 0x4C + 4 * i);
  auto sector = [&](int n) { return file.data() + (n + 1) * ss; };
  const quint32 fat[] = {cfb::kFatSect, cfb::kEndOfChain, cfb::kEndOfChain, cfb::kEndOfChain, 5, cfb::kEndOfChain};
  for (int i = 0; i < 1024; ++i) qToLittleEndian<quint32>(i < 6 ? fat[i] : cfb::kFreeSect, sector(0) + 4 * i);
  auto entry = [&](int index, const QString& name, quint8 type, quint32 right, quint32 child, quint32 start,
                   quint64 size) {
    char* e = sector(1) + index * cfb::kDirEntrySize;
    for (int k = 0; k < name.size(); ++k) qToLittleEndian<quint16>(name[k].unicode(), e + 2 * k);
    qToLittleEndian<quint16>(quint16((name.size() + 1) * 2), e + cfb::kDirNameLengthOffset);
    e[cfb::kDirTypeOffset] = char(type);
    e[cfb::kDirColorOffset] = char(cfb::kColorBlack);
    qToLittleEndian<quint32>(cfb::kNoStream, e + cfb::kDirLeftOffset);
    qToLittleEndian(right, e + cfb::kDirRightOffset);
    qToLittleEndian(child, e + cfb::kDirChildOffset);
    qToLittleEndian(start, e + cfb::kDirStartOffset);
    qToLittleEndian(size, e + cfb::kDirSizeOffset);
  };
  entry(0, QStringLiteral("Root Entry"), cfb::kTypeRoot, cfb::kNoStream, 1, 3, 128);
  entry(1, QStringLiteral("klein"), cfb::kTypeStream, 2, cfb::kNoStream, 0, quint64(small.size()));
  entry(2, QStringLiteral("gross"), cfb::kTypeStream, cfb::kNoStream, cfb::kNoStream, 4, quint64(large.size()));
  for (int i = 3; i < 32; ++i) entry(i, QString(), cfb::kTypeUnused, cfb::kNoStream, cfb::kNoStream, 0, 0);
  qToLittleEndian<quint32>(1, sector(2));
  qToLittleEndian<quint32>(cfb::kEndOfChain, sector(2) + 4);
  for (int i = 2; i < 1024; ++i) qToLittleEndian<quint32>(cfb::kFreeSect, sector(2) + 4 * i);
  std::copy(small.begin(), small.end(), sector(3));
  std::copy(large.begin(), large.end(), sector(4));
  return file.left(6 * ss + large.size() - ss);  // the last sector is cut short, as some writers leave it
}

}  // namespace

TEST(CompoundFileReader, ReadsVersion4Files) {
  const QByteArray small = Pattern(100, 1), large = Pattern(5000, 2);
  CompoundFileReader reader;
  ASSERT_EQ(OpenBytes(reader, Version4File(small, large)), ReadStatus::ok);
  ASSERT_EQ(reader.RootEntries().size(), 2u);
  QByteArray data;
  ASSERT_EQ(reader.ReadStream(QStringLiteral("klein"), &data), ReadStatus::ok);
  EXPECT_EQ(data, small);
  ASSERT_EQ(reader.ReadStream(QStringLiteral("gross"), &data), ReadStatus::ok);
  EXPECT_EQ(data, large);
  QByteArray wrongShift = Version4File(small, large);
  wrongShift[0x1E] = 9;
  EXPECT_EQ(OpenBytes(reader, wrongShift), ReadStatus::bad_sector_shift);
}
