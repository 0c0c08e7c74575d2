#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <cerrno>

#include "TestSupport.h"
#include "common/ReplaceFile.h"
#include "common/RunError.h"
#include "platform/FileSystem.h"

using namespace tbx;

namespace {

class FileSinkTest : public ::testing::Test {
 protected:
  void TearDown() override { ClearInjectedFileSystemErrors(); }
  QString Path(const QString& name) const { return dir.filePath(name); }
  QStringList Entries() const {
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
  }
  QTemporaryDir dir;
};

}  // namespace

TEST_F(FileSinkTest, ReplacesAnExistingFileAndLeavesNoTemporaryFile) {
  ASSERT_TRUE(test::WriteTextFile(Path("Liste.xls"), "alt"));
  SaveFileReplacing(Path("Liste.xls"), "neuer Inhalt");
  EXPECT_EQ(test::ReadFileBytes(Path("Liste.xls")), "neuer Inhalt");
  EXPECT_EQ(Entries(), QStringList{"Liste.xls"});
}

TEST_F(FileSinkTest, FailedSaveKeepsTheEarlierFileAndNamesTheReason) {
  struct Case {
    int createError;
    qint64 budget;
    int writeError;
    int number;
    const char* reason;
  };
  const Case cases[] = {
      {0, 10, ENOSPC, kErrDiskFull, "Datenträger voll"},
      {0, 0, EIO, kErrPathFileAccess, "Fehler beim Zugriff auf Pfad/Datei"},
      {EACCES, -1, 0, kErrPermissionDenied, "Zugriff verweigert"},
      {EROFS, -1, 0, kErrPermissionDenied, "Zugriff verweigert"},
  };
  const QByteArray big(100000, 'x');
  for (const Case& c : cases) {
    ASSERT_TRUE(test::WriteTextFile(Path("Liste.xls"), "alt"));
    ClearInjectedFileSystemErrors();
    if (c.createError) InjectFileSystemErrorForTests(FsCall::Create, c.createError);
    if (c.budget >= 0) InjectFileSystemErrorForTests(FsCall::Write, c.writeError, c.budget);
    try {
      SaveFileReplacing(Path("Liste.xls"), big);
      ADD_FAILURE() << "no error for " << c.reason;
    } catch (const RunError& e) {
      EXPECT_EQ(e.number(), c.number);
      EXPECT_EQ(e.description(), QString("Die Datei \"%1\" kann nicht gespeichert werden: %2")
                                     .arg(Path("Liste.xls"), QString::fromUtf8(c.reason)));
    }
    EXPECT_EQ(test::ReadFileBytes(Path("Liste.xls")), "alt") << c.reason;
    EXPECT_EQ(Entries(), QStringList{"Liste.xls"}) << c.reason;
  }
}

TEST_F(FileSinkTest, MissingFolderAndFolderInTheWayAreReported) {
  try {
    SaveFileReplacing(Path("fehlt/Liste.xls"), "x");
    ADD_FAILURE();
  } catch (const RunError& e) {
    EXPECT_EQ(e.number(), kErrPathNotFound);
  }
  ASSERT_TRUE(QDir(dir.path()).mkdir("Liste.xls"));
  try {
    SaveFileReplacing(Path("Liste.xls"), "x");
    ADD_FAILURE();
  } catch (const RunError& e) {
    EXPECT_EQ(e.number(), kErrPathFileAccess);
  }
  EXPECT_TRUE(Entries().isEmpty());
}
