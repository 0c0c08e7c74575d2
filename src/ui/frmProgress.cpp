#include "ui/frmProgress.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

#include "ui/Artwork.h"
#include "ui/ImageControl.h"
#include "ui/Twips.h"

namespace tbx {
namespace {

frmProgress* g_window = nullptr;
bool g_cancelled = false;

// The layout in twips: the banner's part is fixed, the rows below it take
// their height from the font, so nothing is cut off at larger fonts.
constexpr int kWidth = 6750;
constexpr int kMargin = 120;
constexpr int kInnerWidth = 6495;
constexpr int kFirstRowTop = 1320;
constexpr int kRowGap = 60;
constexpr int kBarHeight = 255;
constexpr int kButtonWidth = 1000;
constexpr int kButtonHeight = 400;

}  // namespace

frmProgress& frmProgress::Get() {
  if (!g_window) g_window = new frmProgress();
  return *g_window;
}

bool frmProgress::IsLoaded() { return g_window != nullptr; }

bool frmProgress::Cancelled() { return g_cancelled; }

void frmProgress::Unload() { delete g_window; }

frmProgress::frmProgress() {
  const TwipScale scale = TwipScale::For(this);
  setWindowTitle(QStringLiteral("Properties lesen"));
  setWindowIcon(ProgramIcon());
  setAttribute(Qt::WA_DeleteOnClose);

  // Created back to front: a later sibling is drawn over an earlier one, so
  // the banner covers the left edge of the logo.
  label1_ = new ElidedLabel(QStringLiteral("Dateien werden überprüft"), this);
  label1_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  label2_ = new ElidedLabel(QString(), this);
  label2_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  new ImageControl(this, scale.Rect(3960, 0, 2865, 1155), LoadPicture(Picture::LogoA));
  new ImageControl(this, scale.Rect(0, 0, 4155, 1155), LoadPicture(Picture::Banner));
  new ImageControl(this, scale.Rect(0, 1160, kWidth, 80), LoadPicture(Picture::ColourStrip));
  picture1_ = new ProgressBarBox(this);
  picture1_->hide();
  cancel_ = new QPushButton(QStringLiteral("Abbrechen"), this);
  cancel_->setAutoDefault(false);
  // The button stops the run exactly as closing the window does.
  connect(cancel_, &QPushButton::clicked, this, &QWidget::close);
  LayOut();

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect centred(QPoint(), size());
    centred.moveCenter(screen->availableGeometry().center());
    move(centred.topLeft());
  }
  g_cancelled = false;  // Form_Load
}

void frmProgress::LayOut() {
  const TwipScale scale = TwipScale::For(this);
  const int left = scale.Pixels(kMargin);
  const int width = scale.Pixels(kInnerWidth);
  const int line = fontMetrics().height() + 2;
  int y = scale.Pixels(kFirstRowTop);
  label1_->setGeometry(left, y, width, line);
  y += line + scale.Pixels(kRowGap);
  label2_->setGeometry(left, y, width, line);
  y += line + scale.Pixels(kMargin);
  picture1_->setGeometry(left, y, width, scale.Pixels(kBarHeight));
  y += scale.Pixels(kBarHeight) + scale.Pixels(kMargin);
  const QSize hint = cancel_->sizeHint();
  const QSize button(qMax(scale.Pixels(kButtonWidth), hint.width()), qMax(scale.Pixels(kButtonHeight), hint.height()));
  cancel_->setGeometry((scale.Pixels(kWidth) - button.width()) / 2, y, button.width(), button.height());
  y += button.height() + scale.Pixels(kMargin);
  setFixedSize(scale.Pixels(kWidth), y);
}

frmProgress::~frmProgress() { FormUnload(); }

void frmProgress::FormUnload() {
  // A window closed by the user is unloaded at once but deleted later; by
  // then a new window may be loaded, whose flag its deletion must not touch.
  if (g_window != this) return;
  g_window = nullptr;
  g_cancelled = true;
}

void frmProgress::SetProzent(int newval) {
  picture1_->SetPercent(newval);
  picture1_->repaint();
}

void frmProgress::ShowProgress() {
  picture1_->SetBusy(false);
  picture1_->SetPercent(0);
  picture1_->show();
  label1_->repaint();
}

void frmProgress::ShowBusy() {
  if (!picture1_->Busy()) picture1_->SetBusy(true);
  picture1_->show();
}

void frmProgress::closeEvent(QCloseEvent* event) {
  // The user's close unloads the window: the flag is raised now, and the
  // widget (deleted on close) goes once the event has been handled.
  event->accept();
  FormUnload();
}

}  // namespace tbx
