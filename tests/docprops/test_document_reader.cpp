#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "SampleTool.h"
#include "common/ProgramInfo.h"
#include "common/RunLog.h"
#include "docprops/DocumentReader.h"

using namespace tbx;
using namespace tbx::test;

namespace {

// Names of every kind a row asks for: found by the set's own look-up, by a
// German alias through the catalogue, user-defined, shadowed by a later set,
// and one no set holds.
const QStringList kNames = {"Title", "autor", "Dokumentnummer", "Prüfer", "Gewicht", "Author", "Gibt es nicht"};

class RowDocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramFolder(dir_.path());
    log_.SetLogEnabled(true);
  }
  void TearDown() override { log_.SetLogEnabled(false); }

  QString Document(const QString& name, int seed) {
    const QString path = dir_.path() + u'/' + name;
    EXPECT_TRUE(RunSampleGen({"document", path, "--seed", QString::number(seed), "--kind", "par"}));
    return path;
  }
  QString File(const QString& name, const QByteArray& bytes) {
    const QString path = dir_.path() + u'/' + name;
    EXPECT_TRUE(WriteTextFile(path, bytes));
    return path;
  }
  QStringList TakeLog() {
    const QStringList lines = QString::fromLocal8Bit(ReadFileBytes(log_.LogFilePath())).split('\n', Qt::SkipEmptyParts);
    QFile::remove(log_.LogFilePath());
    return lines;
  }

  // What a row's reads of path give (every name, in order), and the log they write.
  struct Reads {
    QStringList values;
    QStringList log;
  };
  // In one row, or each read opening the document itself.
  Reads ReadAll(const QString& path, bool oneRow) {
    Reads reads;
    RowDocument row(path);
    for (const QString& name : kNames)
      reads.values << (oneRow ? row.ReadDocumentProperty(log_, name).text : ReadDocumentProperty(log_, path, name));
    reads.log = TakeLog();
    return reads;
  }

  PinnedLocaleAndClock pinned_;
  RunLog log_;
  QTemporaryDir dir_;
};

int OpenDescriptorsOn(const QString& path) {
  const QString target = QFileInfo(path).canonicalFilePath();
  int count = 0;
  for (const QFileInfo& fd : QDir("/proc/self/fd").entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
    if (fd.symLinkTarget() == target) ++count;
  return count;
}

}  // namespace

TEST_F(RowDocumentTest, SameValuesAndLogLinesAsWithoutIt) {
  QByteArray good = ReadFileBytes(Document("vorlage.par", 5));
  ASSERT_GT(good.size(), 4096);
  struct Case {
    const char* what;
    QString path;
    qsizetype logLines;  // per read of every name
  } cases[] = {
      {"readable", Document("gut.par", 7), 0},
      {"German values", Document("deutsch.par", 11), 0},
      {"cut off", File("abgeschnitten.par", good.left(good.size() / 3)), kNames.size()},
      {"no compound file", File("text.par", "kein CAD-Dokument\n"), kNames.size()},
      {"empty", File("leer.par", QByteArray()), kNames.size()},
      {"missing", dir_.path() + "/fehlt.par", kNames.size()},
      {"folder", dir_.path(), kNames.size()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Reads plain = ReadAll(c.path, false);
    const Reads scoped = ReadAll(c.path, true);
    EXPECT_EQ(scoped.values, plain.values);
    EXPECT_EQ(scoped.log, plain.log);
    EXPECT_EQ(scoped.log.size(), c.logLines);
    if (c.logLines > 0) {
      EXPECT_TRUE(scoped.log[0].contains("FEHLER beim Lesen der Propertysets von " + c.path + ": "));
      EXPECT_EQ(scoped.values[0], "FEHLER beim Lesen von Title");
    }
  }
}

TEST_F(RowDocumentTest, ParsesOnceAndClosesTheFileAtOnce) {
  const QString path = Document("teil.par", 7);
  const QString title = ReadDocumentProperty(log_, path, "Title");
  ASSERT_FALSE(title.isEmpty());
  {
    RowDocument row(path);
    EXPECT_EQ(row.ReadDocumentProperty(log_, "Title").text, title);
    EXPECT_EQ(OpenDescriptorsOn(path), 0);
    // Later reads of the row come from the parse, not from the file.
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(row.ReadDocumentProperty(log_, "Title").text, title);
  }
  // The parse went with the row.
  EXPECT_EQ(ReadDocumentProperty(log_, path, "Title"), "FEHLER beim Lesen von Title");
}

TEST_F(RowDocumentTest, ReadAheadGivesEachRowTheDocumentAsItsTurnFindsIt) {
  FoundDocuments found;
  const quint32 folder = found.AddFolder(dir_.path() + u'/');
  for (int i = 0; i < 20; ++i) {
    const QString name = QStringLiteral("t%1.par").arg(i);
    if (i % 5 == 3) File(name, "kein CAD-Dokument\n");
    else Document(name, 10 + i);
    found.Add(folder, name);
  }
  QStringList plain;
  for (qsizetype i = 0; i < found.size(); ++i)
    for (const QString& name : kNames) plain << ReadDocumentProperty(log_, found.Path(i), name);
  const QStringList plainLog = TakeLog();
  for (const int helpers : {0, 3}) {
    WorkerPool pool(helpers);
    DocumentReader reader(found, kNames, pool, 4);
    EXPECT_EQ(reader.ReadsAhead(), helpers > 0);
    QStringList rows;
    for (qsizetype i = 0; i < found.size(); ++i) {
      RowDocument row = reader.Take(i, {});
      for (const QString& name : kNames) rows << row.ReadDocumentProperty(log_, name).text;
    }
    EXPECT_EQ(rows, plain) << helpers;
    EXPECT_EQ(TakeLog(), plainLog) << helpers;
  }
}
