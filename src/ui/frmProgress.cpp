#include "ui/frmProgress.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>

#include "ui/Artwork.h"
#include "ui/ImageControl.h"
#include "ui/Twips.h"

namespace tbx {
namespace {

frmProgress* g_window = nullptr;
bool g_cancelled = false;

}  // namespace

ProgressBarBox::ProgressBarBox(QWidget* parent) : QFrame(parent) {
  // The sunken two-pixel frame of a classic 3D single border.
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
}

void ProgressBarBox::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  const QRect inner = contentsRect();
  const int width = inner.width();
  // The background part starts at the column of P, so that column is never
  // filled; values outside 0..100 give an empty or a full bar.
  int filled = 0;
  if (percent_ >= 100) {
    filled = width;
  } else if (percent_ > 0) {
    filled = (percent_ * width + 50) / 100;
  }
  QPainter painter(this);
  painter.fillRect(QRect(inner.left(), inner.top(), filled, inner.height()),
                   palette().color(QPalette::Highlight));
  painter.fillRect(QRect(inner.left() + filled, inner.top(), width - filled, inner.height()),
                   palette().color(QPalette::Button));
}

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
  resize(scale.Pixels(6750), scale.Pixels(2505));
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect centred(QPoint(), size());
    centred.moveCenter(screen->availableGeometry().center());
    move(centred.topLeft());
  }

  // Created back to front: a later sibling is drawn over an earlier one, so
  // the banner covers the left edge of the logo.
  label1_ = new QLabel(QStringLiteral("Dateien werden überprüft"), this);
  label1_->setGeometry(scale.Rect(120, 1320, 6495, 705));
  label1_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  label1_->setWordWrap(true);
  new ImageControl(this, scale.Rect(3960, 0, 2865, 1155), LoadPicture(Picture::LogoA));
  new ImageControl(this, scale.Rect(0, 0, 4155, 1155), LoadPicture(Picture::Banner));
  new ImageControl(this, scale.Rect(0, 1160, 6735, 80), LoadPicture(Picture::ColourStrip));
  picture1_ = new ProgressBarBox(this);
  picture1_->setGeometry(scale.Rect(120, 2160, 6495, 255));
  picture1_->hide();

  g_cancelled = false;  // Form_Load
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
  picture1_->SetPercent(0);
  picture1_->show();
  label1_->repaint();
}

void frmProgress::closeEvent(QCloseEvent* event) {
  // The user's close unloads the window: the flag is raised now, and the
  // widget (deleted on close) goes once the event has been handled.
  event->accept();
  FormUnload();
}

}  // namespace tbx
