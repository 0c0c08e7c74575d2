#include "ui/Twips.h"

#include <QWidget>

namespace tbx {

TwipScale TwipScale::For(const QWidget* widget) { return TwipScale(widget->logicalDpiX()); }

}  // namespace tbx
