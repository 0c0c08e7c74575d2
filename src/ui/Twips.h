#pragma once
// Window layouts are kept in twips, the unit their positions were designed in
// (1/1440 inch; 15 twips are one pixel at 96 dpi). The scale follows the
// screen's logical DPI so the windows keep their proportions on large fonts.
#include <QRect>
#include <QtGlobal>

class QWidget;

namespace tbx {

class TwipScale {
 public:
  explicit TwipScale(qreal logicalDpi) : dpi_(logicalDpi > 0 ? logicalDpi : 96.0) {}
  // The scale of the screen that widget is (or will be) shown on.
  static TwipScale For(const QWidget* widget);

  int Pixels(qreal twips) const { return qRound(twips * dpi_ / 1440.0); }
  int Twips(int pixels) const { return qRound(pixels * 1440.0 / dpi_); }
  QRect Rect(int left, int top, int width, int height) const {
    return QRect(Pixels(left), Pixels(top), Pixels(width), Pixels(height));
  }

 private:
  qreal dpi_;
};

}  // namespace tbx
