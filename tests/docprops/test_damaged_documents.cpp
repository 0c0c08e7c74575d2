#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QtEndian>

#include "SampleTool.h"
#include "cfb/CompoundFileFormat.h"
#include "cfb/CompoundFileReader.h"
#include "cfb/CompoundFileWriter.h"
#include "common/RunLog.h"
#include "docprops/DocumentReader.h"
#include "docprops/modDocProps.h"
#include "common/ProgramInfo.h"
#include "propset/FilePropertySets.h"

using namespace tbx;
using namespace tbx::test;

namespace {

void PutU32(QByteArray& bytes, qsizetype at, quint32 value) { qToLittleEndian(value, bytes.data() + at); }
quint32 U32At(const QByteArray& bytes, qsizetype at) { return qFromLittleEndian<quint32>(bytes.constData() + at); }

class DamagedDocuments : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(RunSampleGen({"document", dir_.path() + "/vorlage.par", "--seed", "3"}));
    good_ = ReadFileBytes(dir_.path() + "/vorlage.par");
    ASSERT_GT(good_.size(), 4096);
    SetProgramFolder(dir_.path());
    log_.SetLogEnabled(true);
  }
  void TearDown() override { log_.SetLogEnabled(false); }

  // Byte offset of directory entry `name` in the fixture (its directory is one sector).
  qsizetype EntryOffset(const QString& name) const {
    CompoundFileReader reader;
    EXPECT_EQ(reader.Open(std::make_unique<MemoryByteSource>(good_)), ReadStatus::ok);
    const qsizetype directory = (qsizetype(U32At(good_, 0x30)) + 1) * 512;
    for (const CompoundFileEntry& e : reader.RootEntries())
      if (e.name == name) return directory + qsizetype(e.entry) * cfb::kDirEntrySize;
    ADD_FAILURE() << "no entry " << name.toStdString();
    return 0;
  }
  qsizetype FatEntryOffset(quint32 sector) const {
    return (qsizetype(U32At(good_, 0x4C)) + 1) * 512 + 4 * qsizetype(sector);
  }

  QString Write(const QString& name, const QByteArray& bytes) {
    const QString path = dir_.path() + u'/' + name;
    EXPECT_TRUE(WriteTextFile(path, bytes));
    return path;
  }
  QStringList LogLines() const {
    return QString::fromLocal8Bit(ReadFileBytes(log_.LogFilePath())).split('\n', Qt::SkipEmptyParts);
  }

  PinnedLocaleAndClock pinned_;
  RunLog log_;
  QTemporaryDir dir_;
  QByteArray good_;
};

// A document whose summary stream holds these bytes.
QByteArray WithSummaryStream(const QByteArray& stream) {
  CompoundFileWriter writer;
  writer.AddStream(QChar(0x05) + QStringLiteral("SummaryInformation"), stream);
  writer.AddStream(QStringLiteral("JSite"), QByteArray(700, 'j'));
  return writer.Serialize();
}

QByteArray SummaryStream(quint32 sectionSize, quint32 count, const QByteArray& body) {
  QByteArray s;
  auto u16 = [&](quint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    s.append(b, 2);
  };
  auto u32 = [&](quint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    s.append(b, 4);
  };
  u16(0xFFFE);
  u16(0);
  u32(0x00020006);
  s.append(QByteArray(16, '\0'));
  u32(1);
  u32(0xF29F85E0);
  u16(0x4FF9);
  u16(0x1068);
  s.append("\xAB\x91\x08\x00\x2B\x27\xB3\xD9", 8);
  u32(48);
  u32(sectionSize);
  u32(count);
  s.append(body);
  return s;
}

QByteArray Le32(std::initializer_list<quint32> values) {
  QByteArray b;
  for (quint32 v : values) {
    char x[4];
    qToLittleEndian(v, x);
    b.append(x, 4);
  }
  return b;
}

}  // namespace

TEST_F(DamagedDocuments, EveryTruncatedPrefixIsAnError) {
  for (qsizetype n = 0; n < good_.size(); ++n) {
    FilePropertySets sets;
    ASSERT_NE(sets.Open(std::make_unique<MemoryByteSource>(good_.left(n))), ReadStatus::ok) << n;
  }
  // Through files and the reader, with one log line per read.
  int reads = 0;
  for (qsizetype n = 0; n < good_.size(); n += 509, ++reads) {
    const QString path = Write(QStringLiteral("kurz_%1.par").arg(n), good_.left(n));
    ASSERT_EQ(ReadDocumentProperty(log_, path, "Autor"), "FEHLER beim Lesen von Autor") << n;
  }
  const QStringList lines = LogLines();
  ASSERT_EQ(lines.size(), reads);
  EXPECT_TRUE(lines[0].endsWith(": Die Datei ist leer"));
  EXPECT_TRUE(lines[1].endsWith(": Die Datei ist verkürzt")) << qPrintable(lines[1]);
}

TEST_F(DamagedDocuments, EveryClassOfDefectGivesTheErrorTextAndSaysWhatIsWrong) {
  struct Case {
    const char* why;
    QByteArray bytes;
    const char* description;
    qint64 offset;  // where the defect was found: in the file, or in the property-set stream; -1 unchecked
  };
  auto patched = [&](qsizetype at, quint32 value) {
    QByteArray b = good_;
    PutU32(b, at, value);
    return b;
  };
  QByteArray signature = good_;
  signature[3] = 'X';
  QByteArray shift10 = good_, shift12 = good_;
  shift10[0x1E] = 10;
  shift12[0x1E] = 12;
  const quint32 directorySector = U32At(good_, 0x30);
  const qsizetype summary = EntryOffset(QChar(0x05) + QStringLiteral("SummaryInformation"));
  const qsizetype rootChild = qsizetype(U32At(good_, (qsizetype(directorySector) + 1) * 512 + cfb::kDirChildOffset));
  const qsizetype rootChildEntry = (qsizetype(directorySector) + 1) * 512 + rootChild * cfb::kDirEntrySize;
  const Case cases[] = {
      {"wrong signature", signature, "Die Datei ist keine Verbunddatei", 0},
      {"sector shift 10", shift10, "Die Verbunddatei gibt eine ungültige Sektorgröße an", 0x1E},
      {"sector shift 12 in a version 3 file", shift12, "Die Verbunddatei gibt eine ungültige Sektorgröße an", 0x1E},
      {"directory chain loops", patched(FatEntryOffset(directorySector), directorySector),
       "Eine Sektorkette der Verbunddatei läuft im Kreis", FatEntryOffset(directorySector)},
      {"directory chain leaves the file", patched(FatEntryOffset(directorySector), 0x00FFFFFF),
       "Eine Sektorkette der Verbunddatei zeigt aus der Datei hinaus", FatEntryOffset(directorySector)},
      {"FAT count beyond the file", patched(0x2C, 0x00FFFFFF),
       "Die Verbunddatei gibt mehr Sektoren an, als die Datei enthält", 0x2C},
      {"directory tree cycle", patched(rootChildEntry + cfb::kDirLeftOffset, quint32(rootChild)),
       "Das Verzeichnis der Verbunddatei enthält einen Zyklus", rootChildEntry},
      {"directory entry out of range", patched(rootChildEntry + cfb::kDirRightOffset, 100000),
       "Ein Verzeichniseintrag der Verbunddatei ist ungültig", -1},
      {"stream size beyond the file", patched(summary + cfb::kDirSizeOffset, 0x7FFFFFF0),
       "Ein Stream der Verbunddatei ist größer, als die Datei Platz bietet", summary + cfb::kDirSizeOffset},
      {"mini chain outside the mini stream", patched(summary + cfb::kDirStartOffset, 0xFFFF),
       "Eine Sektorkette der Verbunddatei zeigt aus der Datei hinaus", -1},
      {"property offset beyond its section",
       WithSummaryStream(SummaryStream(24, 2, Le32({1, 24, 4, 4000}) + Le32({2, 1252}))),
       "Ein Property liegt außerhalb seines Abschnitts", 48 + 12},
      {"section beyond its stream", WithSummaryStream(SummaryStream(5000, 0, QByteArray())),
       "Ein Abschnitt eines Propertysets reicht über das Streamende hinaus", 48},
      {"absurd property count", WithSummaryStream(SummaryStream(16, 0x10000000, Le32({4, 16}))),
       "Ein Propertyset gibt mehr Einträge an, als es enthalten kann", 48 + 4},
      {"not a property set", WithSummaryStream(QByteArray(64, 'x')), "Der Kopf eines Propertysets ist ungültig", 0},
  };
  int i = 0;
  for (const Case& c : cases) {
    const QString path = Write(QStringLiteral("defekt_%1.par").arg(i++), c.bytes);
    EXPECT_EQ(ReadDocumentProperty(log_, path, "Titel"), "FEHLER beim Lesen von Titel") << c.why;
    const QStringList lines = LogLines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.last(), "05.12.2026 18:24:03 - FEHLER beim Lesen der Propertysets von " + path + ": " +
                                QString::fromUtf8(c.description))
        << c.why;
    FilePropertySets sets;
    const ParseStatus status = sets.Open(std::make_unique<MemoryByteSource>(c.bytes));
    if (c.offset >= 0) {
      EXPECT_EQ(qint64(status.offset), c.offset) << c.why;
    }
  }
  EXPECT_EQ(LogLines().size(), qsizetype(std::size(cases)));
  // Damage inside one value costs that value alone: the document stays readable.
  const QByteArray valueDamage[] = {SummaryStream(28, 1, Le32({4, 16, 30, 0x7FFFFFFF, 0})),
                                    SummaryStream(24, 1, Le32({4, 16, 0x0F, 0}))};
  for (const QByteArray& stream : valueDamage)
    EXPECT_EQ(ReadDocumentProperty(log_, Write(QStringLiteral("wert_%1.par").arg(i++), WithSummaryStream(stream)), "Autor"), "");
  EXPECT_EQ(LogLines().size(), qsizetype(std::size(cases)));
  // The fixture itself is fine.
  EXPECT_NE(ReadDocumentProperty(log_, Write("heil.par", good_), "Titel"), "");
}

// Directory entries that all name one large property-set stream must not make
// the reader hold a copy per entry: beyond a small multiple of the file's
// size the document counts as damaged.
TEST(DamagedDocumentSize, EntriesSharingOneLargeStream) {
  CompoundFileWriter writer;
  QByteArray big = SummaryStream(24, 1, Le32({4, 16, 3, 7}));
  big.append(QByteArray(1024 * 1024 - big.size(), '\0'));
  writer.AddStream(QChar(0x05) + QStringLiteral("SummaryInformation"), big);
  constexpr int kSharing = 40;
  for (int i = 0; i < kSharing; ++i)
    writer.AddStream(QChar(0x05) + QStringLiteral("Kopie%1").arg(i), QByteArray(4096, 'k'));
  QByteArray file = writer.Serialize();
  // The writer puts the directory in one run of sectors; entry 1 is the large stream.
  const qsizetype directory = (qsizetype(U32At(file, 0x30)) + 1) * 512;
  const qsizetype first = directory + cfb::kDirEntrySize;
  for (int i = 0; i < kSharing; ++i) {
    const qsizetype entry = directory + qsizetype(i + 2) * cfb::kDirEntrySize;
    PutU32(file, entry + cfb::kDirStartOffset, U32At(file, first + cfb::kDirStartOffset));
    PutU32(file, entry + cfb::kDirSizeOffset, U32At(file, first + cfb::kDirSizeOffset));
  }
  FilePropertySets sets;
  EXPECT_EQ(sets.Open(std::make_unique<MemoryByteSource>(file)), ReadStatus::property_sets_beyond_file);
  EXPECT_EQ(StatusDescription(ReadStatus::property_sets_beyond_file),
            QString::fromUtf8("Die Propertysets der Datei sind größer, als die Datei Platz bietet"));
}
