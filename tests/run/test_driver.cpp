#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "TestSupport.h"
#include "common/RunLog.h"
#include "common/ProgramInfo.h"
#include "run/RunDriver.h"
#include "run/RunErrorPath.h"

using namespace tbx;

namespace {

class DriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    prog_ = dir_.path() + "/prog";
    data_ = dir_.path() + "/daten";
    QDir().mkpath(prog_);
    QDir().mkpath(data_);
    SetProgramFolder(prog_);
  }
  void TearDown() override { SetProgramFolder(QString()); }
  void Config(const QString& text) { test::WriteTextFile(prog_ + "/ZireVuz.ini", text.toUtf8()); }
  // The day's log lines without their time stamps.
  QStringList Log() {
    QStringList lines = QString::fromUtf8(test::ReadFileBytes(prog_ + "/Protokoll_05.12.2026.log")).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QString& l : lines) l.remove(QStringLiteral("05.12.2026 18:24:03 - "));
    return lines;
  }
  test::PinnedLocaleAndClock clock_;
  test::FakeDialogs dialogs_;
  test::FakeProgress progress_;
  QTemporaryDir dir_;
  QString prog_, data_;
};

const QString kPrompt =
    QStringLiteral("Wählen Sie das Verzeichnis, in dem sich die zu lesenden Solid Edge Dateien befinden:");

}  // namespace

TEST_F(DriverTest, GuiOffEndsAfterTheStartLines) {
  Config("[Config]\nGUI=0\n[Pfade]\nSourceDir=" + data_ + "\nExcelFile=x.xls\n");
  EXPECT_EQ(RunDesktop(), RunOutcome::Stopped);
  EXPECT_EQ(Log(), QStringList({"", "Programmstart", "Programm wird beendet"}));
  EXPECT_TRUE(dialogs_.calls.empty());
}

TEST_F(DriverTest, DesktopAsksForFolderAndWorkbook) {
  Config("[SQL]\nDoSQL=nein\n");
  dialogs_.folderAnswers = {data_};
  dialogs_.saveAnswers = {data_ + "/Liste.xls"};
  EXPECT_EQ(RunDesktop(), RunOutcome::WorkbookWritten);
  const QStringList log = Log();
  EXPECT_EQ(log.mid(0, 7), QStringList({"", "Programmstart", "Benutzeraktion: Verzeichnisauswahl",
                                        "Verzeichnisauswahl: " + data_ + "/",
                                        "Benutzeraktion: Bestimmung Dateiname für Exceltabelle",
                                        "Zu schreibende Excel-Datei: " + data_ + "/Liste.xls",
                                        "Dateiendungen: *"}));
  EXPECT_EQ(log.last(), "Programm wird beendet");
  EXPECT_TRUE(QFile::exists(data_ + "/Liste.xls"));
  ASSERT_GE(dialogs_.calls.size(), 2u);
  EXPECT_EQ(dialogs_.calls[0].text, kPrompt);
  EXPECT_EQ(dialogs_.lastSaveRequest.filter, "Excel-Dateien (*.xls);;Excel-Arbeitsmappen (*.xlsx)");
  EXPECT_EQ(dialogs_.lastSaveRequest.defaultSuffix, "xls");
  EXPECT_EQ(dialogs_.lastSaveRequest.title, "Properties speichern in...");
  EXPECT_EQ(dialogs_.lastSaveRequest.initialDir, data_ + "/");
}

// The folder dialog opens in the configured start folder, the save dialog
// proposes the configured workbook; a name alone is proposed in the folder chosen.
TEST_F(DriverTest, DialogsStartFromTheConfiguredPaths) {
  struct Case { QString sourceDir, excelFile, folderStart, saveDir, saveName; };
  const QString books = dir_.path() + "/mappen";
  QDir().mkpath(books);
  const Case cases[] = {
      {data_, books + "/Liste.xlsx", data_, books + "/", "Liste.xlsx"},
      {data_ + "/fehlt", "Liste.xls", "", data_ + "/", "Liste.xls"},
      {"", books + "/fehlt/Liste.xls", "", data_ + "/", "Liste.xls"},
      {"", "", "", data_ + "/", ""},
  };
  for (const Case& c : cases) {
    Config("[Pfade]\nSourceDir=" + c.sourceDir + "\nExcelFile=" + c.excelFile + "\n");
    dialogs_.calls.clear();
    dialogs_.folderAnswers = {data_};
    RunDesktop();
    ASSERT_GE(dialogs_.calls.size(), 2u);
    EXPECT_EQ(dialogs_.calls[0].title, c.folderStart);
    EXPECT_EQ(dialogs_.lastSaveRequest.initialDir, c.saveDir);
    EXPECT_EQ(dialogs_.lastSaveRequest.suggestedName, c.saveName);
  }
}

// An existing workbook is chosen only after a question that says it is kept.
TEST_F(DriverTest, ChosenExistingWorkbookIsConfirmedAndKept) {
  ASSERT_TRUE(test::WriteTextFile(data_ + "/Alt.xls", "vorige Mappe"));
  dialogs_.folderAnswers = {data_};
  dialogs_.saveAnswers = {data_ + "/Alt.xls", data_ + "/Alt.xls"};
  dialogs_.messageAnswers = {kResultNo, kResultYes};
  EXPECT_EQ(RunDesktop(), RunOutcome::WorkbookWritten);
  QStringList kinds;
  for (const auto& call : dialogs_.calls) kinds << call.kind;
  EXPECT_EQ(kinds.mid(0, 5), (QStringList{"folder", "save", "message", "save", "message"}));
  EXPECT_EQ(dialogs_.calls[2].text,
            QString::fromUtf8("Die Datei \"Alt.xls\" gibt es bereits.\n\nSie wird nicht überschrieben: die bisherige "
                              "Arbeitsmappe bleibt beim Speichern als Sicherung mit Datum und Uhrzeit im Namen daneben "
                              "erhalten (etwa Alt_202612051824.xls).\n\nMöchten Sie die neue Arbeitsmappe unter diesem "
                              "Namen speichern?"));
  EXPECT_EQ(dialogs_.calls[2].icon, static_cast<int>(MessageIcon::Question));
  EXPECT_EQ(test::ReadFileBytes(data_ + "/Alt_202612051824.xls"), QByteArray("vorige Mappe"));
}

TEST_F(DriverTest, CancelledSaveDialogEndsTheRun) {
  dialogs_.folderAnswers = {data_};
  EXPECT_EQ(RunDesktop(), RunOutcome::Stopped);
  const QStringList log = Log();
  ASSERT_EQ(log.size(), 7);
  EXPECT_EQ(log[5], "Zu schreibende Excel-Datei: ");
  EXPECT_EQ(log[6], "Programm wird beendet");
}

TEST_F(DriverTest, CancelledFolderDialogUsesTheConfiguredPaths) {
  Config("[Config]\nWriteLog=\n[Pfade]\nSourceDir=" + data_ + "\nExcelFile=Liste.xls\n");
  RunDesktop();
  EXPECT_EQ(Log().mid(0, 7), QStringList({"", "Programmstart", "Benutzeraktion: Verzeichnisauswahl",
                                          "Verzeichnisauswahl: ", "Startverzeichnis: " + data_ + "/",
                                          "Zu schreibende Excel-Datei: " + prog_ + "/Liste.xls",
                                          "Dateiendungen: *"}));
  EXPECT_TRUE(QFile::exists(prog_ + "/Liste.xls"));
}

TEST_F(DriverTest, WithoutLogNothingIsWritten) {
  Config("[Config]\nWriteLog=nein\nGUI=nein\n");
  RunDesktop();
  EXPECT_TRUE(QDir(prog_).entryList({"*.log"}).isEmpty());
}

TEST_F(DriverTest, BatchTakesTheConfiguredTargetBesideItsConfiguration) {
  const QString other = dir_.path() + "/anderswo";
  QDir().mkpath(other);
  test::WriteTextFile(other + "/auftrag.ini",
                      ("[Config]\nGUI=nein\n[Pfade]\nSourceDir=" + data_ + "\nExcelFile=Liste.xls\n").toUtf8());
  EXPECT_EQ(ExitStatus(RunBatch(other + "/auftrag.ini")), 0);
  EXPECT_EQ(ProgramFolder(), other);
  prog_ = other;
  EXPECT_EQ(Log().mid(0, 5), QStringList({"", "Programmstart", "Startverzeichnis: " + data_ + "/",
                                          "Zu schreibende Excel-Datei: " + other + "/Liste.xls",
                                          "Dateiendungen: *"}));
  EXPECT_TRUE(QFile::exists(other + "/Liste.xls"));
  for (const auto& call : dialogs_.calls) EXPECT_NE(call.kind, "folder");

  test::WriteTextFile(other + "/leer.ini", "");
  EXPECT_EQ(ExitStatus(RunBatch(other + "/leer.ini")), 1);
  EXPECT_TRUE(Log().contains("Kein Startverzeichnis angegeben."));
}

TEST(ExitStatus, OneValuePerOutcome) {
  EXPECT_EQ(ExitStatus(RunOutcome::WorkbookWritten), 0);
  EXPECT_EQ(ExitStatus(RunOutcome::Stopped), 1);
  EXPECT_EQ(ExitStatus(RunOutcome::RunTimeError), 2);
}

namespace {

// A spreadsheet that records the calls of the error path.
struct Recorder {
  QStringList calls;
};

class FakeWorkbook : public Workbook {
 public:
  explicit FakeWorkbook(Recorder& r, bool failSave) : r_(r), failSave_(failSave) {}
  Worksheet* ActiveWorksheet() override { return nullptr; }
  Worksheet* AddWorksheet() override { return nullptr; }
  void SaveAs(const QString& path) override {
    r_.calls << "SaveAs " + path;
    if (failSave_) throw RunError(kErrPermissionDenied, "Zugriff verweigert");
  }
  void Close() override { r_.calls << "Close"; }

 private:
  Recorder& r_;
  bool failSave_;
};

class FakeApplication : public Application {
 public:
  explicit FakeApplication(Recorder& r) : r_(r) {}
  ~FakeApplication() override { r_.calls << "released"; }
  void SetDisplayAlerts(bool on) override { r_.calls << QString("DisplayAlerts %1").arg(on); }
  Workbook* AddWorkbook() override { return nullptr; }
  void SetVisible(bool) override {}
  void Quit() override { r_.calls << "Quit"; }
  void SetSelectionInteriorColorIndex(int) override {}
  void SetSelectionInteriorPattern(int) override {}

 private:
  Recorder& r_;
};

}  // namespace

TEST_F(DriverTest, RunTimeErrorSavesQuitsAndTellsTheUser) {
  struct Case { bool startedHere; bool failSave; QStringList calls; };
  const Case cases[] = {
      {true, false, {"DisplayAlerts 0", "SaveAs /out/Liste.xls", "DisplayAlerts 0", "Quit", "released"}},
      {false, false, {"DisplayAlerts 0", "SaveAs /out/Liste.xls", "released"}},
      {true, true, {"DisplayAlerts 0", "SaveAs /out/Liste.xls", "DisplayAlerts 0", "Quit", "released"}},
  };
  for (const Case& c : cases) {
    QFile::remove(RunLog().LogFilePath());
    dialogs_.calls.clear();
    progress_.unloaded = 0;
    Recorder recorder;
    FakeWorkbook workbook(recorder, c.failSave);
    RunState run;
    run.log.SetLogEnabled(true);
    run.workbook.application = std::make_unique<FakeApplication>(recorder);
    run.workbook.workbook = &workbook;
    run.workbook.startedHere = c.startedHere;
    run.workbook.targetPath = "/out/Liste.xls";
    EndWithRunTimeError(run, RunError(1004, "Die Zelle C0 gibt es nicht"));
    EXPECT_EQ(recorder.calls, c.calls);
    EXPECT_EQ(Log(), QStringList({"Laufzeitfehler 1004: Die Zelle C0 gibt es nicht", "Programm wird abgebrochen"}));
    ASSERT_EQ(dialogs_.calls.size(), 1u);
    EXPECT_EQ(dialogs_.calls[0].kind, "message");
    EXPECT_EQ(dialogs_.calls[0].text, "Laufzeitfehler 1004: Die Zelle C0 gibt es nicht");
    EXPECT_EQ(dialogs_.calls[0].title, "");
    EXPECT_EQ(dialogs_.calls[0].icon, static_cast<int>(MessageIcon::Critical));
    EXPECT_EQ(progress_.unloaded, 1);
    EXPECT_FALSE(run.workbook.application);
    EXPECT_EQ(run.workbook.workbook, nullptr);
  }
}

TEST_F(DriverTest, RunTimeErrorWithoutSpreadsheetStillEnds) {
  RunState run;
  run.log.SetLogEnabled(true);
  EndWithRunTimeError(run, RunError(76, "Pfad nicht gefunden: /x"));
  EXPECT_EQ(Log(), QStringList({"Laufzeitfehler 76: Pfad nicht gefunden: /x", "Programm wird abgebrochen"}));
  EXPECT_EQ(dialogs_.calls.size(), 1u);
}
