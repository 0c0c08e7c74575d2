// The progress window: the painted bar, its layout, its texts during the
// scan and the loop, and the cancel flag through close, the Abbrechen
// button, unload and reload.
#include <QLabel>
#include <QMetaObject>
#include <QPushButton>
#include <QtTest>

#include "ui/frmProgress.h"
#include "ui/QtProgressView.h"
#include "ui/Twips.h"

using tbx::frmProgress;

namespace {

// Columns of the bar's inner area painted in the highlight colour, read in
// the middle row; -1 when they do not form one block from the left edge.
int FilledColumns(tbx::ProgressBarBox& bar) {
  const QImage image = bar.grab().toImage();
  const QRect inner = bar.contentsRect();
  const QRgb highlight = bar.palette().color(QPalette::Highlight).rgb();
  const int y = inner.center().y();
  int filled = 0;
  bool inBlock = true;
  for (int x = inner.left(); x <= inner.right(); ++x) {
    const bool isFilled = image.pixel(x, y) == highlight;
    if (isFilled && !inBlock) return -1;
    if (!isFilled) inBlock = false;
    filled += isFilled ? 1 : 0;
  }
  return filled;
}

}  // namespace

class ProgressWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { frmProgress::Unload(); }

  void barPaintsItsPercentage_data() {
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("expectedPerMille");  // filled share of the inner width
    QTest::newRow("0 empty") << 0 << 0;
    QTest::newRow("50 half") << 50 << 500;
    QTest::newRow("100 full") << 100 << 1000;
    QTest::newRow("-5 empty") << -5 << 0;
    QTest::newRow("130 full") << 130 << 1000;
  }

  void barPaintsItsPercentage() {
    QFETCH(int, percent);
    QFETCH(int, expectedPerMille);
    frmProgress& window = frmProgress::Get();
    window.ShowProgress();
    window.SetProzent(percent);
    tbx::ProgressBarBox& bar = *window.Picture1();
    QVERIFY(bar.palette().color(QPalette::Highlight) != bar.palette().color(QPalette::Button));
    const int width = bar.contentsRect().width();
    const int filled = FilledColumns(bar);
    QVERIFY2(filled >= 0, "the filled part is not one block from the left");
    if (expectedPerMille == 500) {
      // The column at P belongs to the background: the right half starts there.
      QVERIFY(qAbs(filled - width / 2) <= 1);
      QVERIFY(filled < width);
    } else {
      QCOMPARE(filled, width * expectedPerMille / 1000);
    }
    QCOMPARE(bar.Percent(), percent);  // stored as given, no range check
  }

  void barIsHiddenUntilShowProgressWhichResetsToZero() {
    frmProgress& window = frmProgress::Get();
    QVERIFY(!window.Picture1()->isVisibleTo(&window));
    window.ShowProgress();
    window.SetProzent(70);
    QVERIFY(window.Picture1()->isVisibleTo(&window));
    window.ShowProgress();
    QCOMPARE(window.Picture1()->Percent(), 0);
    QCOMPARE(FilledColumns(*window.Picture1()), 0);
  }

  void layoutFollowsTheTwipTable() {
    frmProgress& window = frmProgress::Get();
    window.ShowProgress();
    const tbx::TwipScale scale = tbx::TwipScale::For(&window);
    QCOMPARE(window.width(), scale.Pixels(6750));
    QCOMPARE(window.windowTitle(), QStringLiteral("Properties lesen"));
    QCOMPARE(window.Label1()->text(), QStringLiteral("Dateien werden überprüft"));
    QVERIFY(window.Label1()->alignment() & Qt::AlignHCenter);
    QVERIFY(!window.Label1()->wordWrap());
    // A 3D single border leaves an inner area of 6435 x 195 twips.
    QCOMPARE(window.Picture1()->contentsRect().size(), QSize(scale.Pixels(6435), scale.Pixels(195)));
    QVERIFY(!window.windowIcon().isNull());
    // Rows in order, each whole inside the window: nothing is cut off at its bottom.
    const QList<QWidget*> rows{window.Label1(), window.Label2(), window.Picture1(), window.btnCancel()};
    for (qsizetype i = 0; i < rows.size(); ++i) {
      QVERIFY(window.rect().contains(rows[i]->geometry()));
      if (i > 0) QVERIFY(rows[i]->geometry().top() > rows[i - 1]->geometry().bottom());
    }
    QVERIFY(window.height() - window.btnCancel()->geometry().bottom() >= scale.Pixels(60));
    QVERIFY(window.Label1()->height() >= window.Label1()->fontMetrics().height());
  }

  // What the run tells the view, as the window shows it.
  void windowShowsTheScanAndTheLoop_data() {
    QTest::addColumn<bool>("loop");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("counts");
    QTest::newRow("scan") << false
                          << "/srv/cad/Projekte/Windkraftanlage_Nordsee_2027/Baugruppen_und_Einzelteile_des_"
                             "Hauptgetriebes/Zeichnungen/"
                          << QStringLiteral("Verzeichnisse durchsucht: 1.204 · Dokumente gefunden: 15.356");
    QTest::newRow("loop") << true << "Getriebegehaeuse_Baugruppe_mit_sehr_langem_Namen_fuer_die_Fertigung_00042.par"
                          << QStringLiteral("1.234 von 15.356 Dokumenten · 8 %");
  }

  void windowShowsTheScanAndTheLoop() {
    QFETCH(bool, loop);
    QFETCH(QString, status);
    tbx::QtProgressView view;
    view.Show();
    view.SetStatus(status);
    view.ScanProgress(1204, 15356);
    if (loop) {
      view.ShowProgress();
      view.DocumentProgress(1234, 15356);
    }
    frmProgress& window = frmProgress::Get();
    QTEST(window.Label2()->text(), "counts");
    QVERIFY(window.Picture1()->isVisible());
    QCOMPARE(window.Picture1()->Busy(), !loop);
    // Shortened in the middle to the label's width: its start and its end stay.
    const QString shown = window.Label1()->ShownText();
    QCOMPARE(window.Label1()->text(), status);
    QVERIFY2(shown.contains(QChar(0x2026)), qPrintable(shown));
    QVERIFY(shown.startsWith(status.left(8)));
    QVERIFY(shown.endsWith(status.right(6)));
    QVERIFY(window.Label1()->fontMetrics().horizontalAdvance(shown) <= window.Label1()->contentsRect().width());
  }

  void cancelButtonStopsLikeClosingTheWindow() {
    tbx::QtProgressView view;
    view.Show();
    frmProgress& window = frmProgress::Get();
    QCOMPARE(window.btnCancel()->text(), QStringLiteral("Abbrechen"));
    QVERIFY(window.btnCancel()->isVisible());
    window.btnCancel()->click();
    view.ProcessEvents();
    QVERIFY(view.Cancelled());
    QVERIFY(!frmProgress::IsLoaded());
  }

  void closingSetsTheFlagAndAnyLaterAccessReloadsHiddenAndClearsIt() {
    tbx::QtProgressView view;
    view.SetStatus(QStringLiteral("Verzeichnisstruktur wird analysiert..."));
    view.Show();
    QVERIFY(!view.Cancelled());
    // The user's close arrives as an event and is handled in ProcessEvents.
    QMetaObject::invokeMethod(&frmProgress::Get(), "close", Qt::QueuedConnection);
    view.ProcessEvents();
    QVERIFY(view.Cancelled());
    QVERIFY(!frmProgress::IsLoaded());

    view.SetStatus(QStringLiteral("/daten/"));
    QVERIFY(frmProgress::IsLoaded());
    QVERIFY(!view.Cancelled());
    QVERIFY(!frmProgress::Get().isVisible());
    QCOMPARE(frmProgress::Get().Label1()->text(), QStringLiteral("/daten/"));

    view.Unload();
    QVERIFY(view.Cancelled());
    view.SetPercent(3);
    QVERIFY(!view.Cancelled());
  }

  void viewPassesTextsToTheWindow() {
    tbx::QtProgressView view;
    view.SetCaption(QStringLiteral("Teil.par"));
    view.ShowProgress();
    view.SetPercent(40);
    view.SetToolTip(QStringLiteral("Fortschritt: 40%"));
    frmProgress& window = frmProgress::Get();
    QCOMPARE(window.windowTitle(), QStringLiteral("Teil.par"));
    QCOMPARE(window.Picture1()->toolTip(), QStringLiteral("Fortschritt: 40%"));
    QCOMPARE(window.Picture1()->Percent(), 40);
  }
};

QTEST_MAIN(ProgressWindowTest)
#include "qtest_frmProgress.moc"
