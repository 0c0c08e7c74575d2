#pragma once
// An image control of the classic windows: a picture stretched to its place.
// Unlike a QLabel it draws the picture unchanged when disabled, because the
// dialogs disable hidden pictures and a picture shown again keeps that state.
#include <QPixmap>
#include <QWidget>

namespace tbx {

class ImageControl : public QWidget {
 public:
  ImageControl(QWidget* parent, const QRect& place, QPixmap picture);
  const QPixmap& picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap picture_;
};

}  // namespace tbx
