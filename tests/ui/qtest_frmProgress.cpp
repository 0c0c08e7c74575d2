// The progress window: the painted bar, its layout and the cancel flag
// through close, unload and reload.
#include <QLabel>
#include <QMetaObject>
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
    const tbx::TwipScale scale = tbx::TwipScale::For(&window);
    QCOMPARE(window.size(), QSize(scale.Pixels(6750), scale.Pixels(2505)));
    QCOMPARE(window.windowTitle(), QStringLiteral("Properties lesen"));
    QCOMPARE(window.Label1()->text(), QStringLiteral("Dateien werden überprüft"));
    QVERIFY(window.Label1()->alignment() & Qt::AlignHCenter);
    // A 3D single border leaves an inner area of 6435 x 195 twips.
    QCOMPARE(window.Picture1()->contentsRect().size(), QSize(scale.Pixels(6435), scale.Pixels(195)));
    QVERIFY(!window.windowIcon().isNull());
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
