// The desktop run in database mode: with a chosen folder and DoSQL the
// connection is opened before the save dialog, and a run without a
// connection ends without asking for a workbook.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "../run/RunLogCapture.h"
#include "../xls/XlsReadBack.h"
#include "DatabaseTestSupport.h"
#include "common/PathHelpers.h"
#include "common/ProgramInfo.h"
#include "run/RunDriver.h"

using namespace tbx;

namespace {

const QString kNoConnection =
    QStringLiteral("Verbindung zur Datenbank konnte nicht aufgebaut werden. Verarbeitung wird beendet.");

// Notes what the progress window said by the time the save dialog opens.
class SaveWatchingDialogs : public test::FakeDialogs {
 public:
  explicit SaveWatchingDialogs(const test::FakeProgress& progress) : progress_(progress) {}
  QString SaveFileName(const SaveDialogRequest& request) override {
    statusesAtSave = progress_.statuses;
    return FakeDialogs::SaveFileName(request);
  }
  QStringList statusesAtSave;

 private:
  const test::FakeProgress& progress_;
};

class DesktopDatabaseRun : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = dir_.path() + "/daten";
    QDir().mkpath(data_);
    // Database mode reads nothing from the documents themselves.
    test::WriteTextFile(data_ + "/Welle 12.par", "x");
    test::WriteTextFile(data_ + "/fremd.par", "x");
  }
  void Config(const QString& odbc) {
    test::WriteTextFile(prog_ + "/ZireVuz.ini",
                        ("[Pfade]\nSourceDir=" + data_ + "\nExcelFile=" + prog_ +
                         "/Konfiguriert.xls\n[SQL]\nDoSQL=ja\nSelect=*\nFrom=ulvo.documents\nWhere=FILE_NAME='%Id'\n"
                         "[ODBC]\n" + odbc + "\n[SQLMapProperties]\nC=r:BEARBEITER\n[MapProperties]\nC=Titel\n")
                            .toUtf8());
  }
  QString SqliteSettings(const QString& file) {
    return "DataSource=" + file + "\nUsername=leser\nPassword=geheim\nProvider=SQLite\nDatabase=ulvo";
  }
  // The log without its leading empty line.
  QStringList Log() { return log_.Messages(); }
  std::vector<test::FakeDialogs::Call> Calls(const QString& kind) {
    std::vector<test::FakeDialogs::Call> found;
    for (const auto& call : dialogs_.calls)
      if (call.kind == kind) found.push_back(call);
    return found;
  }

  test::RunLogCapture log_;  // the program folder, with a pinned clock and locale
  test::FakeProgress progress_;
  SaveWatchingDialogs dialogs_{progress_};
  QTemporaryDir dir_;
  const QString prog_ = log_.Folder();
  QString data_;
};

TEST_F(DesktopDatabaseRun, ConnectsBeforeTheSaveDialogAndReadsTheDatabase) {
  const QString db = test::BuildSampleSqlite(dir_.path());
  ASSERT_FALSE(db.isEmpty());
  Config(SqliteSettings(db));
  dialogs_.folderAnswers = {data_};
  dialogs_.saveAnswers = {data_ + "/Liste.xls"};
  ASSERT_EQ(RunDesktop(), RunOutcome::WorkbookWritten);

  EXPECT_EQ(dialogs_.statusesAtSave, QStringList({"Verbinde zur Datenbank", "Datenbank verbunden"}));
  EXPECT_TRUE(Calls("info").empty());
  const QStringList log = Log();
  EXPECT_EQ(log.mid(2, 3), QStringList({"Verzeichnisauswahl: " + data_ + "/",
                                        "Benutzeraktion: Bestimmung Dateiname für Exceltabelle",
                                        "Zu schreibende Excel-Datei: " + data_ + "/Liste.xls"}));
  EXPECT_TRUE(log.contains("FEHLER:\tKein Datenbankeintrag für " + data_ +
                           "/fremd.par gefunden. Datei wird nicht bearbeitet"));
  // fremd.par comes first and has no record: Welle 12.par takes its row.
  const test::ReadBack book = test::Read(data_ + "/Liste.xls");
  EXPECT_EQ(book.Cell(1, 2)["value"].toString(), "Welle 12.par");
  EXPECT_EQ(book.Cell(1, 3)["value"].toString(), "mmueller");
  EXPECT_TRUE(book.Cell(2, 2).isEmpty());
}

TEST_F(DesktopDatabaseRun, WithoutAConnectionNoSaveDialogFollows) {
  struct Case {
    const char* name;
    QString odbc;
    QString message;  // the start of the one dialog's text
    bool captionIsTitle;
  };
  const Case cases[] = {
      {"missing key", "Username=leser\nPassword=geheim\nProvider=SQLite",
       "DataSource unter 'ODBC' nicht angegeben", false},
      {"SQL provider without Database", "DataSource=x\nUsername=leser\nPassword=geheim\nProvider=SQLOLEDB",
       "Database muss bei SQL Server Datenbanken angegeben werden.", false},
      {"missing file", SqliteSettings(dir_.path() + "/fehlt.db"), "Fehler beim Öffnen der Datenbankverbindung: ",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QFile::remove(RunLog().LogFilePath());
    dialogs_.calls.clear();
    Config(c.odbc);
    dialogs_.folderAnswers = {data_};
    dialogs_.saveAnswers = {data_ + "/Liste.xls"};
    EXPECT_EQ(RunDesktop(), RunOutcome::Stopped);

    const auto infos = Calls("info");
    ASSERT_EQ(infos.size(), 1u);
    EXPECT_TRUE(infos[0].text.startsWith(c.message)) << infos[0].text.toStdString();
    EXPECT_FALSE(infos[0].text.contains("geheim"));
    EXPECT_EQ(infos[0].title, c.captionIsTitle ? QString() : prog_ + "/ZireVuz.ini");
    EXPECT_EQ(infos[0].buttons, 16);
    EXPECT_EQ(infos[0].icon, 16);
    EXPECT_TRUE(Calls("save").empty());
    // The log names the cause the dialog gave, on one line.
    EXPECT_EQ(Log().mid(2), QStringList({"Verzeichnisauswahl: " + data_ + "/", QString(infos[0].text).replace("\r\n", " "),
                                         kNoConnection, "Programm wird beendet"}));
    EXPECT_FALSE(QFile::exists(data_ + "/Liste.xls"));
  }
}

TEST_F(DesktopDatabaseRun, CancelledFolderDialogRunsWithoutTheDatabase) {
  // Not even a broken connection setting matters on the configured path.
  Config("Provider=SQLite");
  EXPECT_EQ(RunDesktop(), RunOutcome::WorkbookWritten);
  EXPECT_TRUE(Calls("info").empty());
  EXPECT_TRUE(Calls("save").empty());
  EXPECT_FALSE(progress_.statuses.contains("Verbinde zur Datenbank"));
  EXPECT_FALSE(Log().join('\n').contains("Datenbank"));
  EXPECT_TRUE(QFile::exists(prog_ + "/Konfiguriert.xls"));
}

}  // namespace
