#include <gtest/gtest.h>

#include <QDir>
#include <cerrno>

#include "../xls/XlsReadBack.h"
#include "RunLogCapture.h"
#include "platform/DesktopViewer.h"
#include "platform/FileSystem.h"
#include "platform/PathSeparator.h"
#include "common/RunError.h"
#include "run/WorkbookOutput.h"

using namespace tbx;

namespace {

// Workbooks that open on a chart sheet: the output must add a worksheet.
class ChartFirstWorkbook : public Workbook {
 public:
  explicit ChartFirstWorkbook(Workbook* real) : real_(real) {}
  Worksheet* ActiveWorksheet() override { return added_; }
  Worksheet* AddWorksheet() override { return added_ = real_->AddWorksheet(); }
  void SaveAs(const QString& path) override { real_->SaveAs(path); }
  void Close() override { real_->Close(); }

 private:
  Workbook* real_;
  Worksheet* added_ = nullptr;
};

class ChartFirstApplication : public Application {
 public:
  explicit ChartFirstApplication(std::unique_ptr<Application> real) : real_(std::move(real)) {}
  void SetDisplayAlerts(bool on) override { real_->SetDisplayAlerts(on); }
  Workbook* AddWorkbook() override {
    book_ = std::make_unique<ChartFirstWorkbook>(real_->AddWorkbook());
    return book_.get();
  }
  void SetVisible(bool visible) override { real_->SetVisible(visible); }
  void Quit() override { real_->Quit(); }
  void SetSelectionInteriorColorIndex(int index) override { real_->SetSelectionInteriorColorIndex(index); }
  void SetSelectionInteriorPattern(int pattern) override { real_->SetSelectionInteriorPattern(pattern); }

 private:
  std::unique_ptr<Application> real_;
  std::unique_ptr<ChartFirstWorkbook> book_;
};

class WorkbookOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDocumentOpenerForTests([this](const QString& path) {
      opened << path;
      return true;
    });
    mapping.header = true;
    mapping.columns = {ParseMappedColumn("C", "Titel"), ParseMappedColumn("D", "Nummer#Q")};
    state.targetPath = Path("Liste.xls");
  }
  void TearDown() override {
    SetApplicationFactoryForTests({});
    SetDocumentOpenerForTests({});
    ClearInjectedFileSystemErrors();
  }
  QString Path(const QString& name) const { return log.Folder() + "/" + name; }

  // The document loop's use of the output: the part counter, the switch
  // when a part is full, and one row per document.
  void WriteDocuments(int count, int maxRange) {
    int c = 0;
    for (int i = 1; i <= count; ++i) {
      if (++c > maxRange) {
        NextWorkbookPart(log.Log(), state, mapping);
        c = 1;
      }
      state.worksheet->Cells(state.rowOffset + c, 1)->SetValue(QString::number(i));
    }
  }

  test::RunLogCapture log;
  test::FakeDialogs dialogs;
  test::FakeProgress progress;
  QStringList opened;
  ColumnMapping mapping;
  WorkbookState state;
};

}  // namespace

TEST_F(WorkbookOutputTest, TwentyFiveHundredDocumentsFillThreeParts) {
  ASSERT_TRUE(StartWorkbookOutput(TheDialogs(), log.Log(), state, mapping));
  WriteDocuments(2500, 1001);
  FinishWorkbookOutput(TheDialogs(), TheProgress(), log.Log(), state, false);

  const QString p0 = Path("Liste_000.xls"), p1 = Path("Liste_001.xls"), p2 = Path("Liste_002.xls");
  EXPECT_EQ(log.Messages(), (QStringList{
                                "Excel-Instanz suchen",
                                "Keine laufende Excel-Instanz gefunden - Neue Instanz wird gestartet",
                                "Neue Excel-Mappe anlegen",
                                "Aktives Tabellenblatt wird verwendet",
                                "Kopfzeile wird ausgegeben",
                                "Excel-Mappe speichern: " + p0,
                                "Neue Excel-Mappe anlegen: " + p1,
                                "Aktives Tabellenblatt wird verwendet",
                                "Kopfzeile wird ausgegeben",
                                "Excel-Mappe speichern: " + p1,
                                "Neue Excel-Mappe anlegen: " + p2,
                                "Aktives Tabellenblatt wird verwendet",
                                "Kopfzeile wird ausgegeben",
                                "Alle Dateien verarbeitet. Excel-Datei speichern",
                                "Dialog \"Excel ansehen?\" wird angezeigt",
                                "Excel-Tabelle wird geschlossen",
                                "Excel wird beendet",
                            }));
  EXPECT_EQ(QDir(log.Folder()).entryList({"*.xls"}), (QStringList{"Liste_000.xls", "Liste_001.xls", "Liste_002.xls"}));
  struct Part {
    QString path;
    int rows;  // header included
    int first, last;
  };
  for (const Part& part : {Part{p0, 1002, 1, 1001}, Part{p1, 1002, 1002, 2002}, Part{p2, 499, 2003, 2500}}) {
    const test::ReadBack r = test::Read(part.path);
    EXPECT_EQ(r.sheet["nrows"].toInt(), part.rows) << part.path.toStdString();
    EXPECT_EQ(r.Cell(1, 1)["value"].toString(), "Pfad");
    EXPECT_EQ(r.Cell(1, 2)["value"].toString(), "Dateiname");
    EXPECT_EQ(r.Cell(1, 4)["value"].toString(), "Nummer#Q");
    EXPECT_TRUE(r.Cell(1, 3)["bold"].toBool());
    EXPECT_EQ(r.Cell(2, 1)["value"].toString(), QString::number(part.first));
    EXPECT_EQ(r.Cell(part.rows, 1)["value"].toString(), QString::number(part.last));
  }
  EXPECT_EQ(state.application, nullptr);
  EXPECT_EQ(state.targetPath, p2);
}

TEST_F(WorkbookOutputTest, WithoutHeaderAndWithoutSwitchTheBasePathIsUsed) {
  mapping.header = false;
  ASSERT_TRUE(StartWorkbookOutput(TheDialogs(), log.Log(), state, mapping));
  EXPECT_EQ(state.rowOffset, 0);
  WriteDocuments(10, 1001);
  FinishWorkbookOutput(TheDialogs(), TheProgress(), log.Log(), state, false);
  EXPECT_EQ(QDir(log.Folder()).entryList({"*.xls"}), QStringList{"Liste.xls"});
  const test::ReadBack r = test::Read(Path("Liste.xls"));
  EXPECT_EQ(r.sheet["nrows"].toInt(), 10);
  EXPECT_EQ(r.Cell(1, 1)["value"].toString(), "1");
}

TEST_F(WorkbookOutputTest, ChartSheetFirstGetsANewWorksheet) {
  auto real = CreateApplication();
  SetApplicationFactoryForTests([&] { return std::make_unique<ChartFirstApplication>(std::move(real)); });
  ASSERT_TRUE(StartWorkbookOutput(TheDialogs(), log.Log(), state, mapping));
  EXPECT_EQ(log.Messages().at(3), "Neues Tabellenblatt wird erzeugt");
  FinishWorkbookOutput(TheDialogs(), TheProgress(), log.Log(), state, false);
  const test::ReadBack r = test::Read(Path("Liste.xls"));
  EXPECT_EQ(r.sheet["name"].toString(), "Tabelle2");
  EXPECT_EQ(r.Cell(1, 1)["value"].toString(), "Pfad");
}

TEST_F(WorkbookOutputTest, NoApplicationEndsTheStartWithAMessage) {
  SetApplicationFactoryForTests([] { return nullptr; });
  EXPECT_FALSE(StartWorkbookOutput(TheDialogs(), log.Log(), state, mapping));
  EXPECT_EQ(log.Messages(), (QStringList{
                                "Excel-Instanz suchen",
                                "Keine laufende Excel-Instanz gefunden - Neue Instanz wird gestartet",
                                "Starten von Excel fehlgeschlagen",
                            }));
  ASSERT_EQ(dialogs.calls.size(), 1u);
  EXPECT_EQ(dialogs.calls[0].text, QString::fromUtf8("Excel konnte nicht gestartet werden. Prüfen Sie bitte, ob "
                                                     "Excel in der richtigen Version (Excel 2000) installiert ist."));
  EXPECT_EQ(dialogs.calls[0].title, "");
  EXPECT_EQ(dialogs.calls[0].icon, static_cast<int>(MessageIcon::Critical));
  EXPECT_EQ(dialogs.calls[0].buttons, static_cast<int>(MessageButtons::Ok));
}

TEST_F(WorkbookOutputTest, FinishAsksAndShowsOrCloses) {
  struct Case {
    bool cancelled;
    int answer;
    bool startedHere;
    bool viewer;  // a program on the desktop opens the workbook
    QStringList tail;  // log lines after the save line
    int unloads;
    bool shown;
  };
  const QString ask = "Dialog \"Excel ansehen?\" wird angezeigt";
  const QString noViewer = QString::fromUtf8("Die Arbeitsmappe \"%1\" kann nicht angezeigt werden: es ist kein "
                                             "Programm zum Öffnen von Excel-Dateien eingerichtet.");
  const Case cases[] = {
      {false, kResultYes, true, true, {ask, "Excel wird sichtbar gemacht"}, 1, true},
      {true, kResultNo, true, true, {ask, "Excel-Tabelle wird geschlossen", "Excel wird beendet"}, 0, false},
      {true, kResultYes, true, true, {ask, "Excel wird sichtbar gemacht"}, 0, true},
      // An application found running is left running.
      {false, kResultNo, false, true, {ask, "Excel-Tabelle wird geschlossen"}, 1, false},
      // No program for the file: said with its place, and the run ends as it would with No.
      {false, kResultYes, true, false,
       {ask, "Excel wird sichtbar gemacht", noViewer, "Excel-Tabelle wird geschlossen", "Excel wird beendet"}, 1, false},
  };
  for (const Case& c : cases) {
    test::RunLogCapture caseLog;
    test::FakeProgress caseProgress;
    opened.clear();
    SetDocumentOpenerForTests([this, &c](const QString& path) {
      if (c.viewer) opened << path;
      return c.viewer;
    });
    dialogs.calls.clear();
    dialogs.messageAnswers = {c.answer};
    state = WorkbookState{};
    state.targetPath = caseLog.Folder() + "/Liste.xls";
    ASSERT_TRUE(StartWorkbookOutput(TheDialogs(), caseLog.Log(), state, mapping));
    state.startedHere = c.startedHere;
    const int before = static_cast<int>(caseLog.Messages().size());
    const QString target = state.targetPath;
    FinishWorkbookOutput(TheDialogs(), TheProgress(), caseLog.Log(), state, c.cancelled, "Gefundene Dokumente: 3");
    const QStringList lines = caseLog.Messages().mid(before);
    EXPECT_EQ(lines.first(), c.cancelled ? "Bearbeitung abgebrochen. Excel-Datei speichern"
                                         : "Alle Dateien verarbeitet. Excel-Datei speichern");
    QStringList tail = c.tail;
    tail.replaceInStrings("%1", target);
    EXPECT_EQ(lines.mid(1), tail);
    EXPECT_EQ(caseProgress.unloaded, c.unloads);
    EXPECT_EQ(opened, c.shown ? QStringList{target} : QStringList());
    EXPECT_TRUE(QFile::exists(target));
    ASSERT_EQ(dialogs.calls.size(), c.viewer ? 1u : 2u);
    EXPECT_EQ(dialogs.calls[0].text,
              QString::fromUtf8("Gefundene Dokumente: 3\n\nMöchten Sie die resultierende Excel-Datei jetzt ansehen?"));
    EXPECT_EQ(dialogs.calls[0].title, c.cancelled ? "Arbeiten abgebrochen" : "Arbeiten abgeschlossen");
    EXPECT_EQ(dialogs.calls[0].buttons, static_cast<int>(MessageButtons::YesNo));
    EXPECT_EQ(dialogs.calls[0].icon, static_cast<int>(MessageIcon::Question));
    if (!c.viewer) {
      EXPECT_EQ(dialogs.calls[1].text, tail[2]);
      EXPECT_EQ(dialogs.calls[1].icon, static_cast<int>(MessageIcon::Warning));
    }
    EXPECT_EQ(state.application, nullptr);
  }
}

TEST_F(WorkbookOutputTest, FailedSaveKeepsTheEarlierWorkbookAndRaisesARunTimeError) {
  ASSERT_TRUE(test::WriteTextFile(state.targetPath, "alte Mappe"));
  ASSERT_TRUE(StartWorkbookOutput(TheDialogs(), log.Log(), state, mapping));
  WriteDocuments(100, 1001);
  InjectFileSystemErrorForTests(FsCall::Write, ENOSPC, 4096);
  try {
    FinishWorkbookOutput(TheDialogs(), TheProgress(), log.Log(), state, false);
    ADD_FAILURE() << "no run-time error";
  } catch (const RunError& e) {
    EXPECT_EQ(e.number(), kErrDiskFull);
  }
  EXPECT_EQ(test::ReadFileBytes(state.targetPath), "alte Mappe");
  EXPECT_EQ(QDir(log.Folder()).entryList(QDir::Files | QDir::Hidden).filter(".tmp"), QStringList());
  // The run-time error path saves through the same call once the disk has room.
  ClearInjectedFileSystemErrors();
  SaveWorkbook(log.Log(), state);
  EXPECT_EQ(test::Read(state.targetPath).sheet["nrows"].toInt(), 101);
}

TEST(WorkbookPartName, FolderBaseNameAndAtLeastThreeDigits) {
  const QString sep = PathSeparatorText();
  const QString base = sep + "Out" + sep + "Liste.xls";
  EXPECT_EQ(WorkbookPartName(base, 0), sep + "Out" + sep + "Liste_000.xls");
  EXPECT_EQ(WorkbookPartName(base, 42), sep + "Out" + sep + "Liste_042.xls");
  EXPECT_EQ(WorkbookPartName(base, 1000), sep + "Out" + sep + "Liste_1000.xls");
  EXPECT_EQ(WorkbookPartName("Liste.alt.xls", 1), "Liste.alt_001.xls");
}

// An earlier file at a path about to be saved is kept, whatever put it there
// (last run, a colleague's save during the run), and only once: saving the
// run's own file again replaces it.
TEST_F(WorkbookOutputTest, EarlierFileAtTheTargetIsKeptWhenTheWorkbookIsSaved) {
  struct Case {
    const char* what;
    int linkError;  // a file system without hard links renames instead
    bool failSave;
  };
  const Case cases[] = {{"linked", 0, false}, {"renamed", EPERM, false}, {"failed save", 0, true}};
  const QString backup = Path("Liste_202612051824.xls");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QFile::remove(backup);
    QFile::remove(log.LogFilePath());
    state = WorkbookState{};
    state.targetPath = Path("Liste.xls");
    ASSERT_TRUE(StartWorkbookOutput(TheDialogs(), log.Log(), state, mapping));
    ASSERT_TRUE(test::WriteTextFile(state.targetPath, "Kollege"));  // appears during the run
    ClearInjectedFileSystemErrors();
    if (c.linkError) InjectFileSystemErrorForTests(FsCall::Link, c.linkError);
    if (c.failSave) InjectFileSystemErrorForTests(FsCall::Write, ENOSPC);
    if (c.failSave) {
      EXPECT_THROW(SaveWorkbook(log.Log(), state), RunError);
      EXPECT_EQ(test::ReadFileBytes(state.targetPath), "Kollege");
      EXPECT_FALSE(QFile::exists(backup));
      continue;
    }
    SaveWorkbook(log.Log(), state);
    SaveWorkbook(log.Log(), state);
    EXPECT_EQ(test::ReadFileBytes(backup), "Kollege");
    EXPECT_EQ(test::Read(state.targetPath).sheet["nrows"].toInt(), 1);
    EXPECT_EQ(log.Messages().filter("Bestehende Excel-Datei umbenannt in: "),
              QStringList{"Bestehende Excel-Datei umbenannt in: Liste_202612051824.xls"});
  }
}
