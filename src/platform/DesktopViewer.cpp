#include "platform/DesktopViewer.h"

#include <QDir>
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
#if defined(_WIN32)
  return QProcess::startDetached(QStringLiteral("explorer"), {QDir::toNativeSeparators(path)});
#elif defined(__APPLE__)
  return QProcess::startDetached(QStringLiteral("open"), {path});
#else
  return QProcess::startDetached(QStringLiteral("xdg-open"), {path});
#endif
}

void SetDocumentOpenerForTests(DocumentOpener opener) { Opener() = std::move(opener); }

}  // namespace tbx
