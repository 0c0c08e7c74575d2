#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "TestSupport.h"
#include "common/RunLog.h"
#include "platform/FileSystem.h"
#include "common/ProgramInfo.h"

#include <cerrno>

using namespace tbx;

namespace {

class RunLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramFolder(dir_.path());
    log_.SetLogEnabled(true);
  }
  void TearDown() override {
    log_.SetLogEnabled(false);
    SetProgramFolder(QString());
    InjectFileSystemErrorForTests(FsCall::Append, 0);
  }
  QByteArray Read(const QString& name) { return test::ReadFileBytes(dir_.path() + "/" + name); }
  QTemporaryDir dir_;
  RunLog log_;
};

}  // namespace

TEST_F(RunLogTest, LineFormatAndFileName) {
  test::PinnedLocaleAndClock pinned(QDateTime(QDate(2026, 12, 5), QTime(18, 24, 3)));
  EXPECT_EQ(log_.LogFilePath(), dir_.path() + "/Protokoll_05.12.2026.log");
  log_.LogMessage("");
  log_.LogMessage("Programmstart");
  pinned.SetNow(QDateTime(QDate(2026, 12, 5), QTime(0, 0, 0)));
  log_.LogMessage("Mitternacht: Größe");
  EXPECT_EQ(Read("Protokoll_05.12.2026.log"),
            "\n05.12.2026 18:24:03 - Programmstart\n05.12.2026 - Mitternacht: Gr\xC3\xB6\xC3\x9F" "e\n");
}

TEST_F(RunLogTest, EveryLineTakesTheDateAnew) {
  test::PinnedLocaleAndClock pinned(QDateTime(QDate(2026, 12, 5), QTime(23, 59, 59)));
  log_.LogMessage("vorher");
  pinned.SetNow(QDateTime(QDate(2026, 12, 6), QTime(0, 0, 1)));
  log_.LogMessage("nachher");
  EXPECT_EQ(Read("Protokoll_05.12.2026.log"), "05.12.2026 23:59:59 - vorher\n");
  EXPECT_EQ(Read("Protokoll_06.12.2026.log"), "06.12.2026 00:00:01 - nachher\n");
}

TEST_F(RunLogTest, SlashesLeaveTheFileName) {
  test::PinnedLocaleAndClock pinned(QDateTime(QDate(2026, 12, 5), QTime(9, 0, 0)),
                                    QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(log_.LogFilePath(), dir_.path() + "/Protokoll_1252026.log");
  log_.LogMessage("x");
  EXPECT_TRUE(Read("Protokoll_1252026.log").endsWith(" - x\n"));
}

TEST_F(RunLogTest, DisabledOrFailingLogWritesNothingAndGoesOn) {
  test::PinnedLocaleAndClock pinned;
  log_.SetLogEnabled(false);
  log_.LogMessage("nichts");
  EXPECT_TRUE(QDir(dir_.path()).entryList(QDir::Files).isEmpty());

  log_.SetLogEnabled(true);
  InjectFileSystemErrorForTests(FsCall::Append, EACCES);
  log_.LogMessage("verloren");
  EXPECT_TRUE(QDir(dir_.path()).entryList(QDir::Files).isEmpty());
  InjectFileSystemErrorForTests(FsCall::Append, 0);

  // A folder the user may not write to: the line is lost, nothing fails.
  SetProgramFolder(dir_.path() + "/fehlt");
  log_.LogMessage("auch verloren");
  EXPECT_FALSE(QFile::exists(dir_.path() + "/fehlt"));
}

TEST_F(RunLogTest, LinesOfOneSecondFollowLocaleFolderAndMidnight) {
  // Lines of one second share their formatted stamp; anything else the
  // stamp or the file depends on must still show in the very next line.
  test::PinnedLocaleAndClock pinned(QDateTime(QDate(2026, 12, 5), QTime(0, 0, 0, 0)));
  log_.LogMessage("a");
  pinned.SetNow(QDateTime(QDate(2026, 12, 5), QTime(0, 0, 0, 500)));
  log_.LogMessage("b");
  pinned.SetNow(QDateTime(QDate(2026, 12, 5), QTime(0, 0, 0, 900)));
  log_.LogMessage("b");
  pinned.SetNow(QDateTime(QDate(2026, 12, 5), QTime(0, 0, 1, 100)));
  log_.LogMessage("b");
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  log_.LogMessage("c");
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  ASSERT_TRUE(QDir(dir_.path()).mkdir("anders"));
  SetProgramFolder(dir_.path() + "/anders");
  log_.LogMessage("d");
  EXPECT_EQ(Read("Protokoll_05.12.2026.log"),
            "05.12.2026 - a\n05.12.2026 00:00:00 - b\n05.12.2026 00:00:00 - b\n05.12.2026 00:00:01 - b\n");
  EXPECT_TRUE(Read("Protokoll_1252026.log").endsWith(" - c\n"));
  EXPECT_EQ(Read("anders/Protokoll_05.12.2026.log"), "05.12.2026 00:00:01 - d\n");
}

// The log stays open between lines, yet a removed file is followed by a new
// one of the day's name at once, a renamed one from the next second on, and
// a run past midnight goes on in the next day's file.
TEST_F(RunLogTest, KeptOpenButFollowsRotationAndMidnight) {
  test::PinnedLocaleAndClock pinned(QDateTime(QDate(2026, 12, 5), QTime(23, 59, 57)));
  log_.LogMessage("eins");
  ASSERT_TRUE(QFile::rename(dir_.path() + "/Protokoll_05.12.2026.log", dir_.path() + "/alt.log"));
  log_.LogMessage("noch eins");
  pinned.SetNow(QDateTime(QDate(2026, 12, 5), QTime(23, 59, 58)));
  log_.LogMessage("zwei");
  QFile::remove(dir_.path() + "/Protokoll_05.12.2026.log");
  log_.LogMessage("drei");
  pinned.SetNow(QDateTime(QDate(2026, 12, 6), QTime(0, 0, 1)));
  log_.LogMessage("vier");
  EXPECT_EQ(Read("alt.log"), "05.12.2026 23:59:57 - eins\n05.12.2026 23:59:57 - noch eins\n");
  EXPECT_EQ(Read("Protokoll_05.12.2026.log"), "05.12.2026 23:59:58 - drei\n");
EXPECT_EQ(Read("Protokoll_06.12.2026.log"), "06.12.2026 00:00:01 - vier\n");
}

// Lines logged under a hold reach the file with the next line logged without
// one, with the first line of a later second, or at a flush, in their order
// and in the file of their own date.
TEST_F(RunLogTest, HeldLinesFollowWithTheNextLine) {
  test::PinnedLocaleAndClock pinned(QDateTime(QDate(2026, 12, 5), QTime(23, 59, 59)));
  const QByteArray stamp5 = "05.12.2026 23:59:59 - ", stamp6 = "06.12.2026 00:00:01 - ";
  log_.LogMessage("eins");
  {
    const RunLog::Hold hold(log_);
    log_.LogMessage("zwei");
    EXPECT_EQ(Read("Protokoll_05.12.2026.log"), stamp5 + "eins\n");
  }
  log_.LogMessage("drei");
  EXPECT_EQ(Read("Protokoll_05.12.2026.log"), stamp5 + "eins\n" + stamp5 + "zwei\n" + stamp5 + "drei\n");
  { const RunLog::Hold hold(log_); log_.LogMessage("vier"); }
  pinned.SetNow(QDateTime(QDate(2026, 12, 6), QTime(0, 0, 1)));
  log_.LogMessage("fünf");
  {
    const RunLog::Hold hold(log_);
    log_.LogMessage("sechs");
    pinned.SetNow(QDateTime(QDate(2026, 12, 6), QTime(0, 0, 2)));
    log_.LogMessage("sieben");
    EXPECT_EQ(Read("Protokoll_06.12.2026.log"), stamp6 + "fünf\n" + stamp6 + "sechs\n");
  }
  log_.Flush();
  EXPECT_TRUE(Read("Protokoll_05.12.2026.log").endsWith(stamp5 + "drei\n" + stamp5 + "vier\n"));
  EXPECT_EQ(Read("Protokoll_06.12.2026.log"),
            stamp6 + "fünf\n" + stamp6 + "sechs\n" + "06.12.2026 00:00:02 - sieben\n");
}
