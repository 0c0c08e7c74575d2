// The desktop run with the real dialogs and progress window, driven the way
// a user drives it: the folder dialog, the save dialog, the final question,
// and closing the progress window while the documents are read.
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>
#include <csignal>
#include <functional>

#include "../docprops/SampleTool.h"
#include "../xls/XlsReadBack.h"
#include "platform/DesktopViewer.h"
#include "common/ProgramInfo.h"
#include "interaction/ProgressTexts.h"
#include "run/RunDriver.h"
#include "ui/frmProgress.h"
#include "ui/InterruptWatch.h"
#include "ui/QtDialogs.h"
#include "ui/QtProgressView.h"
#include "xls/Spreadsheet.h"

namespace {

const QString kPrompt =
    QStringLiteral("Wählen Sie das Verzeichnis, in dem sich die zu lesenden Solid Edge Dateien befinden:");

// Plays the user: answers each modal dialog once it runs its own event loop
// and, when asked to, closes the progress window once the bar is up (the
// documents are being read). It only records; the test checks afterwards,
// so a failed check never leaves a dialog open.
class User : public QObject {
 public:
  QString folder;       // chosen in the folder dialog; "" cancels it
  QString fileName;     // typed into the save dialog
  QString answer;       // button clicked in the final question
  // Done once to the progress window while the documents are read.
  std::function<void(tbx::frmProgress&)> whileReading;

  QStringList dialogTitles;  // in the order they came up
  QStringList messages;
  QList<int> icons;
  QString currentWhenClosed;  // the status line (file name) at the close

  explicit User(QString folderChoice = {}, QString typedName = {}, QString button = {})
      : folder(std::move(folderChoice)), fileName(std::move(typedName)), answer(std::move(button)) {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &User::Act);
    timer_.start();
  }

 private:
  void Act() {
    if (whileReading && currentWhenClosed.isEmpty() && tbx::frmProgress::IsLoaded()) {
      tbx::frmProgress& window = tbx::frmProgress::Get();
      // The bar is busy while the folders are listed and fills once the documents are read.
      if (window.isVisible() && window.Picture1()->isVisible() && !window.Picture1()->Busy()) {
        currentWhenClosed = window.Label1()->text();
        whileReading(window);
      }
    }
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || modal->property("answered").toBool() ||
        QThread::currentThread()->loopLevel() == 0)
      return;
    modal->setProperty("answered", true);
    dialogTitles << modal->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      messages << box->text();
      icons << box->icon();
      for (QAbstractButton* b : box->buttons()) {
        if (b->text() == answer || box->buttons().size() == 1) {
          b->click();
          return;
        }
      }
    } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      if (dialog->acceptMode() == QFileDialog::AcceptSave) {
        // Typed like a user would: selectFile leaves a focused name field alone.
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) name->setText(fileName);
        QMetaObject::invokeMethod(dialog, "accept");
      } else if (folder.isEmpty()) {
        dialog->reject();
      } else {
        dialog->setDirectory(folder);
        QMetaObject::invokeMethod(dialog, "accept");
      }
    }
  }

  QTimer timer_;
};

}  // namespace

class DesktopRunTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(pool_.isValid());
    const QJsonArray summary = {tbx::test::Prop(2, 30, "Welle"), tbx::test::Prop(4, 30, "Anna")};
    document_ = tbx::test::BuildDocument(pool_.path(), "welle.par",
                                         {tbx::test::Stream("SummaryInformation",
                                                            {tbx::test::Section(tbx::test::kSummaryId, summary)})});
    QVERIFY(!document_.isEmpty());
  }

  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    prog_ = dir_->path() + "/prog";
    data_ = dir_->path() + "/daten";
    QDir().mkpath(prog_);
    QDir().mkpath(data_);
    tbx::SetProgramFolder(prog_);
    opened_.clear();
    tbx::SetDocumentOpenerForTests([this](const QString& path) {
      opened_ << path;
      return true;
    });
  }

  void cleanup() {
    tbx::SetDocumentOpenerForTests({});
    tbx::SetProgramFolder(QString());
    tbx::frmProgress::Unload();
  }

  void folderSaveDialogAndShowingTheWorkbook() {
    Documents(3);
    Config("[Config]\nKopfzeile=ja\nPattern=par\n[MapProperties]\nC=Titel\nD=Autor\n");
    User user(data_, "Liste", "Ja");
    QCOMPARE(Run(), tbx::RunOutcome::WorkbookWritten);

    const QString workbook = data_ + "/Liste.xls";
    QCOMPARE(user.dialogTitles, (QStringList{kPrompt, "Properties speichern in...", "Arbeiten abgeschlossen"}));
    QCOMPARE(user.messages, QStringList{"Gefundene Dokumente: 3\nGeschriebene Zeilen: 3\nMarkierte Zeilen: 0\n"
                                        "Arbeitsmappe: " + workbook +
                                        "\n\nMöchten Sie die resultierende Excel-Datei jetzt ansehen?"});
    QCOMPARE(user.icons, QList<int>{QMessageBox::Question});
    QCOMPARE(opened_, QStringList{workbook});
    const QStringList log = Log();
    QVERIFY(log.contains("Verzeichnisauswahl: " + data_ + "/"));
    QVERIFY(log.contains("Zu schreibende Excel-Datei: " + workbook));
    QVERIFY(log.contains("Alle Dateien verarbeitet. Excel-Datei speichern"));
    QVERIFY(log.contains("Excel wird sichtbar gemacht"));
    QCOMPARE(log.last(), QStringLiteral("Programm wird beendet"));
    const QJsonObject sheet = FirstSheet(workbook);
    QCOMPARE(sheet["nrows"].toInt(), 4);
    QCOMPARE(Cell(sheet, 4, 2), QStringLiteral("doc0003.par"));
    QCOMPARE(Cell(sheet, 4, 4), QStringLiteral("Anna"));
    QVERIFY(!tbx::frmProgress::IsLoaded());
  }

  void aRunThatEndsBeforeItsFirstRowSaysWhy() {
    // No start folder configured and the folder dialog cancelled.
    Config("[Pfade]\nExcelFile=Liste.xls\n");
    User user;
    QCOMPARE(Run(), tbx::RunOutcome::Stopped);
    QCOMPARE(user.messages, QStringList{"Kein Startverzeichnis angegeben."});
    QCOMPARE(user.icons, QList<int>{QMessageBox::Warning});
  }

  void aConfigurationThatIsNoTextIsRefusedBeforeTheFolderDialog() {
    Config(QByteArray("[Pfade]\0\0\0SourceDir=x\n", 20));
    User user;
    QCOMPARE(Run(), tbx::RunOutcome::Stopped);
    QCOMPARE(user.messages, QStringList{"Die Konfigurationsdatei " + QDir::toNativeSeparators(prog_) +
                                        "/ZireVuz.ini ist keine Textdatei"});
    QCOMPARE(user.dialogTitles.size(), 1);
  }

  void cancelledFolderDialogRunsFromTheConfiguredPaths() {
    Documents(2);
    Config("[Config]\nPattern=par\n[MapProperties]\nC=Titel\n[Pfade]\nSourceDir=" + data_.toUtf8() +
           "\nExcelFile=Liste.xls\n");
    QVERIFY(tbx::test::WriteTextFile(prog_ + "/Liste.xls", "vorige Mappe"));
    User user({}, {}, "Nein");
    QCOMPARE(Run(), tbx::RunOutcome::WorkbookWritten);

    QCOMPARE(user.dialogTitles, (QStringList{kPrompt, "Arbeiten abgeschlossen"}));
    const QStringList log = Log();
    QCOMPARE(log.mid(1, 5), (QStringList{"Programmstart", "Benutzeraktion: Verzeichnisauswahl", "Verzeichnisauswahl: ",
                                         "Startverzeichnis: " + data_ + "/",
                                         "Zu schreibende Excel-Datei: " + prog_ + "/Liste.xls"}));
    // The earlier workbook stays at its name until the new one is saved.
    QVERIFY(log.indexOf("Bestehende Excel-Datei umbenannt in: Liste_202612051824.xls") >
            log.indexOf("Alle Dateien verarbeitet. Excel-Datei speichern"));
    QVERIFY(log.contains("Excel-Tabelle wird geschlossen"));
    QVERIFY(opened_.isEmpty());
    QCOMPARE(tbx::test::ReadFileBytes(prog_ + "/Liste_202612051824.xls"), QByteArray("vorige Mappe"));
    const QJsonObject sheet = FirstSheet(prog_ + "/Liste.xls");
    QCOMPARE(sheet["nrows"].toInt(), 2);
    QCOMPARE(Cell(sheet, 2, 3), QStringLiteral("Welle"));
  }

  void runTimeErrorShowsTheCriticalMessageAndKeepsTheRows() {
    Documents(2);
    Config("[Config]\nPattern=par\n[MapProperties]\nC=Titel\n1A=Autor\n");
    User user(data_, "Liste");
    QCOMPARE(Run(), tbx::RunOutcome::RunTimeError);

    const QString error = QStringLiteral(
        "Laufzeitfehler 1004: Ungültiger Zellbezug \"1A1\": erwartet werden Spaltenbuchstaben von A bis IV "
        "und eine Zeilennummer von 1 bis 65536.");
    QCOMPARE(user.dialogTitles, (QStringList{kPrompt, "Properties speichern in...", "Tabellix"}));
    QCOMPARE(user.messages, QStringList{error});
    QCOMPARE(user.icons, QList<int>{QMessageBox::Critical});
    const QStringList log = Log();
    QCOMPARE(log.mid(log.size() - 2), (QStringList{error, "Programm wird abgebrochen"}));
    QVERIFY(!tbx::frmProgress::IsLoaded());
    const QJsonObject sheet = FirstSheet(data_ + "/Liste.xls");
    QCOMPARE(sheet["nrows"].toInt(), 1);
    QCOMPARE(Cell(sheet, 1, 3), QStringLiteral("Welle"));
  }

  void closingTheProgressWindowStopsAfterTheCurrentDocument() {
    // Enough documents that the loop is still running when the window
    // gets its first chance to handle the close, however fast the machine.
    const int count = 1500;
    Documents(count);
    Config("[Config]\nPattern=par\n[MapProperties]\nC=Titel\n");
    User user(data_, "Liste", "Nein");
    user.whileReading = [](tbx::frmProgress& window) { window.close(); };
    QCOMPARE(Run(), tbx::RunOutcome::Stopped);

    const QStringList log = Log();
    const QStringList processed = log.filter(QRegularExpression("^\\d+: Bearbeite "));
    QVERIFY(!user.currentWhenClosed.isEmpty());
    QVERIFY(processed.size() < count);
    QCOMPARE(processed.last(), QStringLiteral("%1: Bearbeite %2/%3").arg(processed.size()).arg(data_, user.currentWhenClosed));
    QVERIFY(log.contains("Bearbeitung abgebrochen. Excel-Datei speichern"));
    QVERIFY(!log.contains("Alle Dateien verarbeitet. Excel-Datei speichern"));
    // The question is still asked, and says what the run has done; the closed window stays closed.
    QCOMPARE(user.dialogTitles.last(), QStringLiteral("Arbeiten abgebrochen"));
    QCOMPARE(user.messages,
             QStringList{QStringLiteral("Die Bearbeitung wurde abgebrochen. Die Arbeitsmappe enthält die bis dahin "
                                        "gelesenen Dokumente.\n\nGefundene Dokumente: 1.500\nGeschriebene Zeilen: %1\n"
                                        "Markierte Zeilen: 0\nArbeitsmappe: %2/Liste.xls\n\n"
                                        "Möchten Sie die resultierende Excel-Datei jetzt ansehen?")
                             .arg(tbx::CountText(processed.size()), data_)});
    QVERIFY(!tbx::frmProgress::IsLoaded());
    const QJsonObject sheet = FirstSheet(data_ + "/Liste.xls");
    QCOMPARE(sheet["nrows"].toInt(), processed.size());
    QCOMPARE(Cell(sheet, processed.size(), 2), user.currentWhenClosed);
    QCOMPARE(Cell(sheet, processed.size(), 3), QStringLiteral("Welle"));
  }

  // Last: the request stays caught in this process. A termination request
  // during the run stops it as closing the window does; nobody answers
  // the final question, the watch dismisses it.
  void aTerminationRequestStopsTheRunWhichSaves() {
    Documents(1500);
    Config("[Config]\nPattern=par\n[MapProperties]\nC=Titel\n");
    User user(data_, "Liste");
    user.whileReading = [](tbx::frmProgress&) { std::raise(SIGTERM); };
    const tbx::InterruptWatch watch;
    QCOMPARE(Run(), tbx::RunOutcome::Stopped);
    // The watch may dismiss the question before the user looks at it.
    QVERIFY(Log().contains("Dialog \"Excel ansehen?\" wird angezeigt"));
    QVERIFY(opened_.isEmpty());
    const int rows = FirstSheet(data_ + "/Liste.xls")["nrows"].toInt();
    QVERIFY(rows > 0 && rows < 1500);
  }

 private:
  // The run with the program's own dialogs (Qt's file dialogs, which a test can see).
  tbx::RunOutcome Run() {
    tbx::test::PinnedLocaleAndClock pinned;
    tbx::QtDialogs dialogs(false);
    tbx::QtProgressView progress;
    tbx::InstallDialogs(&dialogs);
    tbx::InstallProgress(&progress);
    const tbx::RunOutcome outcome = tbx::RunDesktop();
    tbx::InstallProgress(nullptr);
    tbx::InstallDialogs(nullptr);
    return outcome;
  }
  void Documents(int count) {
    for (int i = 1; i <= count; ++i)
      QVERIFY(QFile::copy(document_, data_ + QStringLiteral("/doc%1.par").arg(i, 4, 10, QChar('0'))));
  }
  void Config(const QByteArray& text) { QVERIFY(tbx::test::WriteTextFile(prog_ + "/ZireVuz.ini", text)); }
  QStringList Log() const {
    QStringList lines = QString::fromUtf8(tbx::test::ReadFileBytes(prog_ + "/Protokoll_05.12.2026.log")).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QString& line : lines) line.remove(QStringLiteral("05.12.2026 18:24:03 - "));
    return lines;
  }
  static QJsonObject FirstSheet(const QString& path) {
    return tbx::test::DumpWorkbook(path)["sheets"].toArray().first().toObject();
  }
  // The value of a cell, row and column 1-based.
  static QString Cell(const QJsonObject& sheet, int row, int column) {
    for (const QJsonValue& v : sheet["cells"].toArray()) {
      const QJsonObject c = v.toObject();
      if (c["row"].toInt() == row - 1 && c["col"].toInt() == column - 1) return c["value"].toString();
    }
    return QString();
  }

  QTemporaryDir pool_;
  QString document_;
  std::unique_ptr<QTemporaryDir> dir_;
  QString prog_, data_;
  QStringList opened_;
};

QTEST_MAIN(DesktopRunTest)
#include "qtest_desktop_run.moc"
