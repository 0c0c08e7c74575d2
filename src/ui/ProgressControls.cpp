#include "ui/ProgressControls.h"

#include <QPainter>
#include <QStyle>

namespace tbx {
namespace {

constexpr int kBusyTickMs = 40;
constexpr qint64 kBusyPeriodMs = 2400;  // one run there and back
constexpr int kBusyBlockShare = 4;      // the block is a quarter of the bar

}  // namespace

ProgressBarBox::ProgressBarBox(QWidget* parent) : QFrame(parent) {
  // The sunken two-pixel frame of a classic 3D single border.
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  busyTicks_.setInterval(kBusyTickMs);
  connect(&busyTicks_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

void ProgressBarBox::SetBusy(bool busy) {
  busy_ = busy;
  if (busy) {
    busySince_.start();
    busyTicks_.start();
  } else {
    busyTicks_.stop();
  }
  update();
}

void ProgressBarBox::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  const QRect inner = contentsRect();
  const int width = inner.width();
  QPainter painter(this);
  const QColor highlight = palette().color(QPalette::Highlight);
  painter.fillRect(inner, palette().color(QPalette::Button));
  if (busy_) {
    const int block = qMax(1, width / kBusyBlockShare);
    const qint64 phase = busySince_.elapsed() % kBusyPeriodMs;
    const qint64 half = kBusyPeriodMs / 2;
    const qint64 along = phase < half ? phase : kBusyPeriodMs - phase;
    const int left = int(along * (width - block) / half);
    painter.fillRect(QRect(inner.left() + left, inner.top(), block, inner.height()), highlight);
    return;
  }
  // The background part starts at the column of P, so that column is never
  // filled; values outside 0..100 give an empty or a full bar.
  int filled = 0;
  if (percent_ >= 100) {
    filled = width;
  } else if (percent_ > 0) {
    filled = (percent_ * width + 50) / 100;
  }
  painter.fillRect(QRect(inner.left(), inner.top(), filled, inner.height()), highlight);
}

ElidedLabel::ElidedLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setWordWrap(false);
  setTextFormat(Qt::PlainText);
}

QString ElidedLabel::ShownText() const {
  return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
}

QSize ElidedLabel::minimumSizeHint() const {
  // Any width will do: the text is shortened to it.
  return QSize(0, QLabel::minimumSizeHint().height());
}

void ElidedLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  style()->drawItemText(&painter, contentsRect(), int(alignment()), palette(), isEnabled(), ShownText(),
                        foregroundRole());
}

}  // namespace tbx
