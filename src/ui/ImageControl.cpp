#include "ui/ImageControl.h"

#include <QPainter>

namespace tbx {

ImageControl::ImageControl(QWidget* parent, const QRect& place, QPixmap picture)
    : QWidget(parent), picture_(std::move(picture)) {
  setGeometry(place);
}

void ImageControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(rect(), picture_);
}

}  // namespace tbx
