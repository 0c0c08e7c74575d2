// Whole runs that end through the run-time error path: the log names the
// error and the abort, the rows written so far are saved where the target
// still takes them, and the user sees the critical message.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cerrno>

#include "../xls/XlsReadBack.h"
#include "RunLogCapture.h"
#include "platform/FileSystem.h"
#include "run/RunDriver.h"

using namespace tbx;

namespace {

class RunErrors : public ::testing::Test {
 protected:
  void SetUp() override {
    docs_ = log_.Folder() + "/docs";
    QDir().mkpath(docs_);
  }
  void TearDown() override { ClearInjectedFileSystemErrors(); }

  // count empty files; the runs below read nothing from them.
  void Files(int count) {
    for (int i = 1; i <= count; ++i) test::WriteTextFile(docs_ + QStringLiteral("/d%1.par").arg(i, 4, 10, QChar('0')), "");
  }
  RunOutcome Batch(const QByteArray& settings) {
    const QString config = log_.Folder() + "/ZireVuz.ini";
    test::WriteTextFile(config, "[Pfade]\nSourceDir=" + docs_.toUtf8() + "\nExcelFile=Liste.xls\n" + settings);
    return RunBatch(config);
  }
  // The log ends with the error and the abort; the user was told the same.
  void ExpectErrorEnd(const QString& error) {
    const QStringList messages = log_.Messages();
    ASSERT_GE(messages.size(), 2);
    EXPECT_EQ(messages[messages.size() - 2], error);
    EXPECT_EQ(messages.last(), "Programm wird abgebrochen");
    ASSERT_FALSE(dialogs_.calls.empty());
    EXPECT_EQ(dialogs_.calls.back().text, error);
    EXPECT_EQ(dialogs_.calls.back().icon, static_cast<int>(MessageIcon::Critical));
    EXPECT_EQ(progress_.unloaded, 1);
  }
  QString Path(const QString& name) const { return log_.Folder() + "/" + name; }

  test::RunLogCapture log_;
  test::FakeDialogs dialogs_;
  test::FakeProgress progress_;
  QString docs_;
};

}  // namespace

TEST_F(RunErrors, DocumentDeletedAfterTheScanCostsItsCreationDateOnly) {
  Files(3);
  const QString gone = docs_ + "/d0002.par";
  progress_.onShowProgress = [&] { QFile::remove(gone); };
  EXPECT_EQ(Batch("[Config]\nKopfzeile=ja\n[MapProperties]\nC=%dateityp\nD=erstelldatum\nE=%dateityp\n"),
            RunOutcome::WorkbookWritten);
  EXPECT_TRUE(log_.Messages().contains("FEHLER beim Lesen des Erstelldatums von " + gone +
                                       ": Datei oder Verzeichnis nicht gefunden"));

  // Every row is written; the vanished document's date cell is empty.
  const test::ReadBack r = test::Read(Path("Liste.xls"));
  EXPECT_EQ(r.sheet["nrows"].toInt(), 4);
  EXPECT_FALSE(r.Cell(2, 4)["value"].toString().isEmpty());
  EXPECT_EQ(r.Cell(3, 2)["value"].toString(), "d0002.par");
  EXPECT_EQ(r.Cell(3, 4)["value"].toString(), "");
  EXPECT_EQ(r.Cell(3, 5)["value"].toString(), "par");
  EXPECT_FALSE(r.Cell(4, 4)["value"].toString().isEmpty());
}

TEST_F(RunErrors, FailedSaveKeepsTheEarlierWorkbook) {
  Files(2);
  // The desktop run keeps a chosen workbook as its backup; a save that fails
  // (the disk full) leaves it whole at its name.
  ASSERT_TRUE(test::WriteTextFile(Path("Liste.xls"), "frühere Mappe"));
  dialogs_.folderAnswers = {docs_};
  dialogs_.saveAnswers = {Path("Liste.xls")};
  dialogs_.messageAnswers = {kResultYes};  // take the existing workbook's name
  test::WriteTextFile(Path("ZireVuz.ini"), "[MapProperties]\nC=%dateityp\n");
  InjectFileSystemErrorForTests(FsCall::Write, ENOSPC);
  EXPECT_EQ(RunDesktop(), RunOutcome::RunTimeError);

  ExpectErrorEnd("Laufzeitfehler 61: Die Datei \"" + Path("Liste.xls") +
                 "\" kann nicht gespeichert werden: Datenträger voll");
  EXPECT_TRUE(log_.Messages().contains("Alle Dateien verarbeitet. Excel-Datei speichern"));
  EXPECT_EQ(test::ReadFileBytes(Path("Liste.xls")), "frühere Mappe");
  EXPECT_EQ(QDir(log_.Folder()).entryList({"*.xls*"}, QDir::Files | QDir::Hidden), QStringList{"Liste.xls"});
}

TEST_F(RunErrors, FailedPartSaveIsRetriedOnTheWayOut) {
  // The disk is full when part 000 is saved at the switch; by the time the
  // error path saves again there is room, and the part's rows are kept.
  Files(1002);
  InjectFileSystemErrorForTests(FsCall::Write, ENOSPC, 512, 1);
  EXPECT_EQ(Batch("[Config]\nmaxRange=1001\n[MapProperties]\nC=%dateityp\n"), RunOutcome::RunTimeError);

  const QString part = Path("Liste_000.xls");
  ExpectErrorEnd("Laufzeitfehler 61: Die Datei \"" + part + "\" kann nicht gespeichert werden: Datenträger voll");
  EXPECT_TRUE(log_.Messages().contains("Excel-Mappe speichern: " + part));
  EXPECT_FALSE(log_.Messages().contains("1002: Bearbeite " + docs_ + "/d1002.par"));
  EXPECT_EQ(QDir(log_.Folder()).entryList({"*.xls*"}, QDir::Files | QDir::Hidden), QStringList{"Liste_000.xls"});
  const test::ReadBack r = test::Read(part);
  EXPECT_EQ(r.sheet["nrows"].toInt(), 1001);
  EXPECT_EQ(r.Cell(1001, 2)["value"].toString(), "d1001.par");
}
