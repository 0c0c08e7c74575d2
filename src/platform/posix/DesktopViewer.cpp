#include "platform/DesktopViewer.h"

#include <QProcess>

namespace tbx {
namespace {

DocumentOpener& Opener() {
  static DocumentOpener opener;
  return opener;
}

}  // namespace

bool OpenWithDesktop(const QString& path) {
  if (Opener()) return Opener()(path);
  return QProcess::startDetached(QStringLiteral("xdg-open"), {path});
}

void SetDocumentOpenerForTests(DocumentOpener opener) { Opener() = std::move(opener); }

}  // namespace tbx
