#include "platform/DesktopViewer.h"

#include "platform/SystemCalls.h"

namespace tbx {
namespace {

DocumentOpener& Opener() {
  static DocumentOpener opener;
  return opener;
}

}  // namespace

bool OpenWithDesktop(const QString& path) { return Opener() ? Opener()(path) : OpenWithSystem(path); }

void SetDocumentOpenerForTests(DocumentOpener opener) { Opener() = std::move(opener); }

}  // namespace tbx
