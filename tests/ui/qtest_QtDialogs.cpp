// The Qt dialogs of the desktop program: message box texts, buttons and
// results; the save dialog's title, filter, start folder and appended suffix;
// the folder dialog's prompt and result.
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "ModalDriver.h"
#include "ui/QtDialogs.h"

namespace {

QPushButton* ButtonWithText(QMessageBox* box, const QString& text) {
  for (QAbstractButton* b : box->buttons()) {
    if (b->text() == text) return qobject_cast<QPushButton*>(b);
  }
  return nullptr;
}

}  // namespace

class QtDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void messageBoxShowsTextButtonsAndTitle_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("click");
    QTest::addColumn<QString>("expectedTitle");
    QTest::addColumn<QStringList>("expectedButtons");
    QTest::addColumn<int>("result");
    QTest::newRow("OK, program title") << int(tbx::MessageButtons::Ok) << "" << "OK" << "Tabellix"
                                       << QStringList{"OK"} << 1;
    QTest::newRow("yes") << int(tbx::MessageButtons::YesNo) << "Frage" << "Ja" << "Frage"
                         << QStringList{"Ja", "Nein"} << 6;
    QTest::newRow("no") << int(tbx::MessageButtons::YesNo) << "Frage" << "Nein" << "Frage"
                        << QStringList{"Ja", "Nein"} << 7;
  }

  void messageBoxShowsTextButtonsAndTitle() {
    QFETCH(int, buttons);
    QFETCH(QString, title);
    QFETCH(QString, click);
    QString seenTitle, seenText;
    QStringList seenButtons;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    tbx::test::WhenModal<QMessageBox>([&, click](QMessageBox* box) {
      seenTitle = box->windowTitle();
      seenText = box->text();
      seenIcon = box->icon();
      for (QAbstractButton* b : box->buttons()) seenButtons << b->text();
      if (QPushButton* b = ButtonWithText(box, click)) b->click();
    });
    tbx::QtDialogs dialogs(false);
    const int result = dialogs.MessageBox("Laufzeitfehler 53", tbx::MessageButtons(buttons),
                                          tbx::MessageIcon::Critical, title);
    QTEST(seenTitle, "expectedTitle");
    QCOMPARE(seenText, QStringLiteral("Laufzeitfehler 53"));
    QCOMPARE(seenIcon, QMessageBox::Critical);
    seenButtons.sort();
    QFETCH(QStringList, expectedButtons);
    expectedButtons.sort();
    QCOMPARE(seenButtons, expectedButtons);
    QTEST(result, "result");
  }

  void saveDialogAppendsTheDefaultSuffix() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString seenTitle, seenDir;
    QStringList seenFilters;
    bool saveMode = false;
    tbx::test::WhenModal<QFileDialog>([&](QFileDialog* d) {
      seenTitle = d->windowTitle();
      seenDir = d->directory().absolutePath();
      seenFilters = d->nameFilters();
      saveMode = d->acceptMode() == QFileDialog::AcceptSave;
      // Typed like a user would: selectFile leaves a focused name field alone.
      if (auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) name->setText(QStringLiteral("Liste"));
      QMetaObject::invokeMethod(d, "accept");
    });
    tbx::QtDialogs dialogs(false);
    const QString chosen = dialogs.SaveFileName(
        {QStringLiteral("Excel-Dateien (*.xls)"), QStringLiteral("xls"), QStringLiteral("Properties speichern in..."),
         dir.path(), QString()});
    QCOMPARE(seenTitle, QStringLiteral("Properties speichern in..."));
    QCOMPARE(seenDir, QDir(dir.path()).absolutePath());
    QCOMPARE(seenFilters, QStringList{"Excel-Dateien (*.xls)"});
    QVERIFY(saveMode);
    QCOMPARE(chosen, QDir(dir.path()).absoluteFilePath(QStringLiteral("Liste.xls")));
  }

  // The configured workbook is proposed with its type; an existing file is
  // taken without Qt's question, which would say it is overwritten.
  void saveDialogProposesTheNameAndLeavesTheQuestionToTheRun() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile existing(dir.filePath(QStringLiteral("Liste.xlsx")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();
    QString seenName, seenFilter;
    bool asksItself = true;
    tbx::test::WhenModal<QFileDialog>([&](QFileDialog* d) {
      if (auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) seenName = name->text();
      seenFilter = d->selectedNameFilter();
      asksItself = !d->testOption(QFileDialog::DontConfirmOverwrite);
      QMetaObject::invokeMethod(d, "accept");
    });
    tbx::QtDialogs dialogs(false);
    const QString chosen = dialogs.SaveFileName(
        {QStringLiteral("Excel-Dateien (*.xls);;Excel-Arbeitsmappen (*.xlsx)"), QStringLiteral("xls"),
         QStringLiteral("Properties speichern in..."), dir.path(), QStringLiteral("Liste.xlsx")});
    QCOMPARE(seenName, QStringLiteral("Liste.xlsx"));
    QCOMPARE(seenFilter, QStringLiteral("Excel-Arbeitsmappen (*.xlsx)"));
    QVERIFY(!asksItself);
    QCOMPARE(chosen, QDir(dir.path()).absoluteFilePath(QStringLiteral("Liste.xlsx")));
  }

  void cancelledDialogsGiveNothing() {
    tbx::QtDialogs dialogs(false);
    tbx::test::WhenModal<QFileDialog>([](QFileDialog* d) { d->reject(); });
    QCOMPARE(dialogs.SaveFileName({"Excel-Dateien (*.xls)", "xls", "Titel", QDir::tempPath(), QString()}), QString());
    tbx::test::WhenModal<QFileDialog>([](QFileDialog* d) { d->reject(); });
    QCOMPARE(dialogs.BrowseForFolder(QStringLiteral("Ordner wählen"), QString()), QString());
  }

  void folderDialogShowsThePromptAndReturnsTheFolder() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString seenTitle, seenStart;
    tbx::test::WhenModal<QFileDialog>([&](QFileDialog* d) {
      seenTitle = d->windowTitle();
      seenStart = d->directory().absolutePath();
      d->setDirectory(dir.path());
      QMetaObject::invokeMethod(d, "accept");
    });
    tbx::QtDialogs dialogs(false);
    const QString prompt = QStringLiteral(
        "Wählen Sie das Verzeichnis, in dem sich die zu lesenden Solid Edge Dateien befinden:");
    const QString chosen = dialogs.BrowseForFolder(prompt, QDir::tempPath());
    QCOMPARE(seenTitle, prompt);
    QCOMPARE(seenStart, QDir(QDir::tempPath()).absolutePath());
    QCOMPARE(QDir(chosen).absolutePath(), QDir(dir.path()).absolutePath());
  }
};

QTEST_MAIN(QtDialogsTest)
#include "qtest_QtDialogs.moc"
