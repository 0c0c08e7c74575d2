#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "SampleTool.h"
#include "common/RunLog.h"
#include "docprops/DocumentRowScope.h"
#include "docprops/modDocProps.h"
#include "common/ProgramInfo.h"

using namespace tbx;
using namespace tbx::test;

namespace {

// Names of every kind a row asks for: found by the set's own look-up, by a
// German alias through the catalogue, user-defined, shadowed by a later set,
// and one no set holds.
const QStringList kNames = {"Title", "autor", "Dokumentnummer", "Prüfer", "Gewicht", "Author", "Gibt es nicht"};

class RowScope : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramFolder(dir_.path());
    SetLogEnabled(true);
  }
  void TearDown() override { SetLogEnabled(false); }

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
    const QStringList lines = QString::fromLocal8Bit(ReadFileBytes(LogFilePath())).split('\n', Qt::SkipEmptyParts);
    QFile::remove(LogFilePath());
    return lines;
  }

  // What a row's reads of path give (every name, in order), and the log they write.
  struct Reads {
    QStringList values;
    QStringList log;
  };
  Reads ReadAll(const QString& path, bool scoped) {
    Reads reads;
    {
      std::optional<DocumentRowScope> scope;
      if (scoped) scope.emplace(path);
      for (const QString& name : kNames) reads.values << ReadDocumentProperty(path, name);
    }
    reads.log = TakeLog();
    return reads;
  }

  PinnedLocaleAndClock pinned_;
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

TEST_F(RowScope, SameValuesAndLogLinesAsWithoutIt) {
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

TEST_F(RowScope, ParsesOnceAndClosesTheFileAtOnce) {
  const QString path = Document("teil.par", 7);
  const QString title = ReadDocumentProperty(path, "Title");
  ASSERT_FALSE(title.isEmpty());
  {
    const DocumentRowScope scope(path);
    EXPECT_EQ(ReadDocumentProperty(path, "Title"), title);
    EXPECT_EQ(OpenDescriptorsOn(path), 0);
    // Later reads of the row come from the parse, not from the file.
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(ReadDocumentProperty(path, "Title"), title);
  }
  // The parse went with the scope.
  EXPECT_EQ(ReadDocumentProperty(path, "Title"), "FEHLER beim Lesen von Title");
}

TEST_F(RowScope, EachRowReadsTheDocumentAnew) {
  const QString path = Document("teil.par", 7);
  const QString other = Document("anderes.par", 8);
  QString first, second;
  {
    const DocumentRowScope scope(path);
    first = ReadDocumentProperty(path, "Title");
  }
  // The document changes between two rows.
  ASSERT_TRUE(QFile::remove(path));
  ASSERT_TRUE(QFile::copy(other, path));
  {
    const DocumentRowScope scope(path);
    second = ReadDocumentProperty(path, "Title");
  }
  EXPECT_NE(first, second);
  EXPECT_EQ(second, ReadDocumentProperty(other, "Title"));
}

TEST_F(RowScope, OtherDocumentsAreReadAsWithoutIt) {
  const QString path = Document("teil.par", 7);
  const QString other = Document("anderes.par", 8);
  const QString otherTitle = ReadDocumentProperty(other, "Title");
  const DocumentRowScope scope(path);
  EXPECT_EQ(ReadDocumentProperty(path, "Title"), ReadDocumentProperty(path, "Title"));
  ASSERT_TRUE(QFile::remove(other));
  EXPECT_NE(ReadDocumentProperty(other, "Title"), otherTitle);
  {
    // An inner scope for another document leaves the outer one in force.
    const DocumentRowScope inner(other);
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_FALSE(ReadDocumentProperty(path, "Title").startsWith("FEHLER"));
  }
  EXPECT_FALSE(ReadDocumentProperty(path, "Title").startsWith("FEHLER"));
}
