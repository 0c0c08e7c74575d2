#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "TestSupport.h"
#include "common/RunLog.h"
#include "platform/FileSystem.h"
#include "common/ProgramInfo.h"
#include "run/RunTarget.h"
#include "run/WorkbookBackup.h"

#include <cerrno>

using namespace tbx;

namespace {

// A program folder and a data folder on disk, the log on, 14:05 on 3 March 2009.
class ConfiguredTargetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prog_ = dir_.path() + "/prog";
    data_ = dir_.path() + "/daten";
    ASSERT_TRUE(QDir().mkpath(prog_));
    ASSERT_TRUE(QDir().mkpath(data_ + "/Out"));
    SetProgramFolder(prog_);
  }
  void TearDown() override {
    SetProgramFolder(QString());
    ClearInjectedFileSystemErrors();
  }
  // Runs the configured-target step on [Pfade] and returns its log lines.
  QStringList Settle(const QString& sourceDir, const QString& excelFile) {
    run_ = std::make_unique<RunState>();
    run_->log.SetLogEnabled(true);
    run_->kind = RunKind::Batch;
    run_->configPath = prog_ + "/ZireVuz.ini";
    test::WriteTextFile(run_->configPath,
                        ("[Pfade]\nSourceDir=" + sourceDir + "\nExcelFile=" + excelFile + "\n").toUtf8());
    QFile::remove(RunLog().LogFilePath());
    SettleConfiguredTarget(*run_);
    QStringList lines = QString::fromUtf8(test::ReadFileBytes(RunLog().LogFilePath())).split(u'\n');
    lines.removeAll(QString());
    for (QString& l : lines) l.remove(0, QStringLiteral("03.03.2009 14:05:00 - ").size());
    return lines;
  }
  test::PinnedLocaleAndClock clock_{QDateTime(QDate(2009, 3, 3), QTime(14, 5, 0))};
  QTemporaryDir dir_;
  QString prog_, data_;
  std::unique_ptr<RunState> run_;
};

}  // namespace

TEST_F(ConfiguredTargetTest, ChecksAndLogLines) {
  struct Case { QString source, excel; bool goAhead; QStringList log; };
  const QString out = data_ + "/Out";
  const Case cases[] = {
      {data_, out + "/Liste.xls", true,
       {"Startverzeichnis: " + data_ + "/", "Zu schreibende Excel-Datei: " + out + "/Liste.xls"}},
      {data_ + "/", out + "/Liste.xls", true,
       {"Startverzeichnis: " + data_ + "/", "Zu schreibende Excel-Datei: " + out + "/Liste.xls"}},
      {"", out + "/Liste.xls", false,
       {"Kein Startverzeichnis angegeben.", "Zu schreibende Excel-Datei: " + out + "/Liste.xls"}},
      {data_ + "/fehlt", out + "/Liste.xls", false,
       {"Das angegebene Startverzeichnis existiert nicht: " + data_ + "/fehlt/",
        "Zu schreibende Excel-Datei: " + out + "/Liste.xls"}},
      {data_, "", false, {"Startverzeichnis: " + data_ + "/", "Keine Exceldatei angegeben."}},
      {data_, data_ + "/Fehlt/Liste.xls", false,
       {"Startverzeichnis: " + data_ + "/",
        "Die angegebene Exceldatei kann nicht erzeugt werden: " + data_ + "/Fehlt/Liste.xls",
        "Zu schreibende Excel-Datei: " + data_ + "/Fehlt/Liste.xls"}},
      {data_, out, false,  // a folder cannot become a workbook
       {"Startverzeichnis: " + data_ + "/", "Die angegebene Exceldatei kann nicht erzeugt werden: " + out,
        "Zu schreibende Excel-Datei: " + out}},
      // Files the run must never replace, refused before anything is moved.
      {data_, "/dev/null", false,
       {"Startverzeichnis: " + data_ + "/", "Die angegebene Exceldatei ist keine gewöhnliche Datei: /dev/null",
        "Zu schreibende Excel-Datei: /dev/null"}},
      {data_, prog_ + "/ZireVuz.ini", false,
       {"Startverzeichnis: " + data_ + "/",
        "Die angegebene Exceldatei ist die Konfigurationsdatei: " + prog_ + "/ZireVuz.ini",
        "Zu schreibende Excel-Datei: " + prog_ + "/ZireVuz.ini"}},
      {data_, prog_ + "/Protokoll_03.03.2009.log", false,
       {"Startverzeichnis: " + data_ + "/",
        "Die angegebene Exceldatei ist das Protokoll des Laufs: " + prog_ + "/Protokoll_03.03.2009.log",
        "Zu schreibende Excel-Datei: " + prog_ + "/Protokoll_03.03.2009.log"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Settle(c.source, c.excel), c.log) << c.source.toStdString() << " | " << c.excel.toStdString();
    EXPECT_EQ(run_->goAhead, c.goAhead) << c.excel.toStdString();
  }
}

TEST_F(ConfiguredTargetTest, ExistingWorkbookStaysUntilTheSaveAndAnUnwritableFolderStopsAtOnce) {
  const QString target = data_ + "/Out/Liste.xls";
  ASSERT_TRUE(test::WriteTextFile(target, "letzter Lauf"));
  EXPECT_EQ(Settle(data_, target),
            QStringList({"Startverzeichnis: " + data_ + "/", "Zu schreibende Excel-Datei: " + target}));
  EXPECT_TRUE(run_->goAhead);
  EXPECT_EQ(test::ReadFileBytes(target), "letzter Lauf");
  run_.reset();  // lets the lock go

  InjectFileSystemErrorForTests(FsCall::Create, EACCES);
  EXPECT_EQ(Settle(data_, target).value(1),
            "Die angegebene Exceldatei kann nicht erzeugt werden: " + target + ": Zugriff verweigert");
  EXPECT_FALSE(run_->goAhead);
}

TEST_F(ConfiguredTargetTest, RelativeWorkbookNameMeansTheProgramFolder) {
  // Last run's workbook beside the program is the target, whatever the working folder.
  const QString cwd = QDir::currentPath();
  QDir::setCurrent(data_);
  EXPECT_EQ(Settle(data_, "Liste.xls").value(1), "Zu schreibende Excel-Datei: " + prog_ + "/Liste.xls");
  QDir::setCurrent(cwd);
  EXPECT_EQ(run_->workbook.targetPath, prog_ + "/Liste.xls");
  EXPECT_TRUE(run_->goAhead);
  EXPECT_EQ(Settle(data_, "Unter/Liste.xls").value(1),
            "Die angegebene Exceldatei kann nicht erzeugt werden: " + prog_ + "/Unter/Liste.xls");
}

TEST(BackupWorkbookName, PadsEveryField) {
  EXPECT_EQ(BackupWorkbookName("/x/Liste.xls", QDateTime(QDate(2009, 3, 3), QTime(14, 5))),
            "Liste_200903031405.xls");
  EXPECT_EQ(BackupWorkbookName("/x/Bericht.2026.XLS", QDateTime(QDate(2026, 12, 5), QTime(0, 0))),
            "Bericht.2026_202612050000.xls");
}
