#pragma once
// Showing a saved file to the user with the desktop's default application
// for its type (xdg-open on Linux), the way "Visible" shows a workbook.
#include <QString>
#include <functional>

namespace tbx {

// Starts the viewer for path without waiting for it; false when none could
// be started.
bool OpenWithDesktop(const QString& path);

// Replaces the desktop's default application (tests); empty restores it.
using DocumentOpener = std::function<bool(const QString& path)>;
void SetDocumentOpenerForTests(DocumentOpener opener);

}  // namespace tbx
