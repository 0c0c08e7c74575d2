#include "platform/SystemCalls.h"

#include <QProcess>

namespace tbx {

bool OpenWithSystem(const QString& path) {
  return QProcess::startDetached(QStringLiteral("xdg-open"), {path});
}

}  // namespace tbx
