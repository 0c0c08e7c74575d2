// The message dialog: button sets, pictures, button positions from the outer
// width, result codes, Esc, focus and tab order, the title-bar close and the
// fresh load state of every call.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QtTest>

#include "ModalDriver.h"
#include "common/PathHelpers.h"
#include "ui/frmInfo.h"
#include "ui/ImageControl.h"
#include "ui/Twips.h"

using tbx::frmInfo;
using namespace tbx;

namespace {

// What a test saw of the dialog while it was up.
struct Seen {
  QStringList buttons;  // captions of the visible buttons, left to right
  QString picture;      // "app", "error" or "info"
  QString focus;        // caption of the focused button
  QString title;
  QString message;
  bool lefts = true;    // every visible button where W puts it
  bool stillOpenAfterEsc = false;
};

QString PictureShown(const frmInfo& d) {
  QStringList shown;
  if (d.imgApp()->isVisibleTo(&d)) shown << "app";
  if (d.imgError()->isVisibleTo(&d)) shown << "error";
  if (d.imgInfo()->isVisibleTo(&d)) shown << "info";
  return shown.join('+');
}

// Left edges (twips) the button set gives each button for outer width w.
double ExpectedLeft(const QString& caption, int buttonCount, double w) {
  if (buttonCount == 1) return (w - 1000) / 2;
  if (buttonCount == 2) return caption == "Ja" ? (w - 100) / 2 - 1000 : (w + 100) / 2;
  if (caption == "Ja") return (w - 1000) / 2 - 1000 - 100;
  if (caption == "Nein") return (w - 1000) / 2;
  return (w + 1000) / 2 + 100;
}

void Record(frmInfo* d, Seen& seen) {
  QList<QPushButton*> visible;
  for (QPushButton* b : {d->btnOK(), d->btnCancel(), d->btnYes(), d->btnNo()}) {
    if (b->isVisible() && b->isEnabled()) visible << b;
  }
  std::sort(visible.begin(), visible.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
  for (QPushButton* b : visible) {
    seen.buttons << b->text();
    const double expected = ExpectedLeft(b->text(), int(visible.size()), d->OuterWidthTwips());
    if (qAbs(d->LeftTwips(b) - expected) > 15) seen.lefts = false;  // within one pixel
  }
  seen.picture = PictureShown(*d);
  if (auto* f = qobject_cast<QPushButton*>(d->focusWidget())) seen.focus = f->text();
  seen.title = d->windowTitle();
  seen.message = d->Message()->toPlainText();
}

QPushButton* ButtonNamed(frmInfo* d, const QString& caption) {
  for (QPushButton* b : {d->btnOK(), d->btnCancel(), d->btnYes(), d->btnNo()}) {
    if (b->text() == caption) return b;
  }
  return nullptr;
}

// Shows the dialog, records it and answers with a click on `answer`, with
// Esc ("Esc"), or with the title bar's close button ("close").
int ShowAndAnswer(Seen& seen, const QString& answer, const QString& message, int buttons,
                  const QString& caption = QString(), std::optional<int> style = std::nullopt) {
  tbx::test::WhenModal<frmInfo>([&seen, answer](frmInfo* d) {
    Record(d, seen);
    if (answer == "Esc") {
      QTest::keyClick(d, Qt::Key_Escape);
      seen.stillOpenAfterEsc = d->isVisible();
      if (seen.stillOpenAfterEsc) d->close();
    } else if (answer == "close") {
      d->close();
    } else if (QPushButton* b = ButtonNamed(d, answer)) {
      b->click();
    }
  });
  std::optional<InfoPicture> picture;
  if (style) picture = static_cast<InfoPicture>(*style);
  return frmInfo::ShowModal(message, static_cast<InfoButtons>(buttons), caption, picture);
}

}  // namespace

class MessageDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void buttonSetsPicturesAndResults_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("result");
    const QStringList ok{"OK"}, yesNo{"Ja", "Nein"}, yesNoCancel{"Ja", "Nein", "Abbrechen"};
    QTest::newRow("callers' error report") << 16 << 16 << "OK" << ok << "app" << "OK" << 1;
    QTest::newRow("yes/no info, yes") << 4 << 64 << "Ja" << yesNo << "info" << "Ja" << 6;
    QTest::newRow("yes/no info, no") << 4 << 64 << "Nein" << yesNo << "info" << "Ja" << 7;
    QTest::newRow("yes/no style 48") << 4 << 48 << "Ja" << yesNo << "error" << "Ja" << 6;
    QTest::newRow("yes/no style 16") << 4 << 16 << "Nein" << yesNo << "error" << "Ja" << 7;
    QTest::newRow("yes/no style 32") << 4 << 32 << "Ja" << yesNo << "app" << "Ja" << 6;
    QTest::newRow("yes/no/cancel wins over info") << 3 << 64 << "Abbrechen" << yesNoCancel << "error" << "Ja" << 2;
    QTest::newRow("yes/no/cancel, Esc") << 3 << 64 << "Esc" << yesNoCancel << "error" << "Ja" << 2;
    QTest::newRow("combined flags not decoded") << 36 << 36 << "OK" << ok << "app" << "OK" << 1;
    QTest::newRow("OK set with info style") << 0 << 64 << "OK" << ok << "app" << "OK" << 1;
    QTest::newRow("title-bar close of OK set") << 16 << 16 << "close" << ok << "app" << "OK" << 2;
    QTest::newRow("title-bar close of yes/no") << 4 << 64 << "close" << yesNo << "info" << "Ja" << 2;
  }

  void buttonSetsPicturesAndResults() {
    QFETCH(int, buttons);
    QFETCH(int, style);
    QFETCH(QString, answer);
    Seen seen;
    const int result = ShowAndAnswer(seen, answer, "Verbindung fehlgeschlagen", buttons, "Titel", style);
    QTEST(seen.buttons, "shown");
    QTEST(seen.picture, "picture");
    QTEST(seen.focus, "focus");
    QVERIFY2(seen.lefts, "a button is not where the outer width puts it");
    QTEST(result, "result");
    QCOMPARE(seen.title, QStringLiteral("Titel"));
    QCOMPARE(seen.message, QStringLiteral("Verbindung fehlgeschlagen"));
  }

  void escDoesNothingWithoutTheCancelButton() {
    Seen seen;
    const int result = ShowAndAnswer(seen, "Esc", "Frage", 4, "Titel", 64);
    QVERIFY(seen.stillOpenAfterEsc);
    QCOMPARE(result, 2);  // closed through the title bar afterwards
  }

  void omittedStyleTakesTheButtonValueAndOmittedCaptionTheTitle() {
    Seen seen;
    QCOMPARE(ShowAndAnswer(seen, "Ja", "Frage", 4), 6);
    QCOMPARE(seen.picture, QStringLiteral("app"));  // style 4 is no picture style
    QCOMPARE(seen.title, tbx::TitleAndVersion());
  }

  void everyCallStartsFromTheLoadState() {
    Seen first, second;
    QCOMPARE(ShowAndAnswer(first, "Nein", "Erste Meldung", 4, "Eins", 64), 7);
    QCOMPARE(ShowAndAnswer(second, "OK", "", 16, "Zwei", 16), 1);
    QCOMPARE(second.buttons, QStringList{"OK"});
    QCOMPARE(second.message, QStringLiteral("Meldung"));
    QCOMPARE(second.title, QStringLiteral("Zwei"));
    QVERIFY(second.lefts);
  }

  void lineBreaksShowAsLines() {
    int lines = 0;
    tbx::test::WhenModal<frmInfo>([&lines](frmInfo* d) {
      lines = d->Message()->document()->blockCount();
      d->btnOK()->click();
    });
    frmInfo::ShowModal("Zeile 1\r\nZeile 2\r\nZeile 3", kInfoOkCritical, "Titel", kPictureCritical);
    QCOMPARE(lines, 3);
  }

  // The box grows with its text, the buttons stay below it; a short text
  // keeps the classic size, and a very long one scrolls.
  void messageFitsItsBox_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("classicSize");
    QTest::addColumn<bool>("scrolls");
    QTest::newRow("one line") << 1 << true << false;
    QTest::newRow("database message, 6 lines") << 6 << false << false;
    QTest::newRow("60 lines") << 60 << false << true;
  }

  void messageFitsItsBox() {
    QFETCH(int, lines);
    QStringList text;
    for (int i = 1; i <= lines; ++i) text << QStringLiteral("Zeile %1 der Meldung über den fehlenden Treiber").arg(i);
    int scrollRange = -1, height = 0, classic = 0, boxBottom = 0, buttonTop = 0, screenHeight = 0;
    tbx::test::WhenModal<frmInfo>([&](frmInfo* d) {
      scrollRange = d->Message()->verticalScrollBar()->maximum();
      height = d->height();
      classic = TwipScale::For(d).Pixels(2550);
      boxBottom = d->Message()->geometry().bottom();
      buttonTop = d->btnOK()->geometry().top();
      screenHeight = d->screen()->availableGeometry().height();
      d->btnOK()->click();
    });
    frmInfo::ShowModal(text.join("\r\n"), kInfoOkCritical, "Titel", kPictureCritical);
    QTEST(scrollRange > 0, "scrolls");
    QTEST(height == classic, "classicSize");
    QVERIFY(buttonTop > boxBottom);
    QVERIFY(height < screenHeight);
  }

  void tabMovesThroughTheButtonsInOrder() {
    QStringList reached;
    tbx::test::WhenModal<frmInfo>([&reached](frmInfo* d) {
      for (int i = 0; i < 3; ++i) {
        auto* focused = qobject_cast<QPushButton*>(d->focusWidget());
        reached << (focused ? focused->text() : QString("?"));
        QTest::keyClick(d->focusWidget(), Qt::Key_Tab);
      }
      d->close();
    });
    frmInfo::ShowModal("Frage", kInfoYesNoCancel, "Titel", kPictureCritical);
    QCOMPARE(reached, (QStringList{"Ja", "Nein", "Abbrechen"}));
  }

  void busyPointerIsTakenOffAndRestored() {
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    bool arrowDuringCall = false;
    tbx::test::WhenModal<frmInfo>([&arrowDuringCall](frmInfo* d) {
      arrowDuringCall = QGuiApplication::overrideCursor() == nullptr;
      d->btnOK()->click();
    });
    frmInfo::ShowModal("Meldung", kInfoOkCritical, "Titel", kPictureCritical);
    const QCursor* after = QGuiApplication::overrideCursor();
    const bool restored = after && after->shape() == Qt::BusyCursor;
    QGuiApplication::restoreOverrideCursor();
    QVERIFY(arrowDuringCall);
    QVERIFY(restored);
  }

  void nothingStaysLoadedAfterACall() {
    tbx::test::WhenModal<frmInfo>([](frmInfo* d) { d->btnOK()->click(); });
    frmInfo::ShowModal("Meldung", kInfoOkCritical, "Titel", kPictureCritical);
    for (QWidget* w : QApplication::topLevelWidgets()) QVERIFY(!dynamic_cast<frmInfo*>(w));
  }
};

QTEST_MAIN(MessageDialogTest)
#include "qtest_frmInfo.moc"
