#include "ui/QtProgressView.h"

#include <QCoreApplication>
#include <QLabel>

#include "ui/frmProgress.h"

namespace tbx {
namespace {

// The scan asks for event processing once per directory entry; a real round
// costs far more than listing an entry, so rounds closer together than this
// are skipped. The window still repaints and reacts to a close within a
// fraction of a second.
constexpr qint64 kEventIntervalMs = 15;

}  // namespace

void QtProgressView::SetCaption(const QString& caption) { frmProgress::Get().setWindowTitle(caption); }

void QtProgressView::SetStatus(const QString& text) { frmProgress::Get().Label1()->setText(text); }

void QtProgressView::Show() { frmProgress::Get().show(); }

void QtProgressView::ShowProgress() { frmProgress::Get().ShowProgress(); }

void QtProgressView::SetPercent(int percent) { frmProgress::Get().SetProzent(percent); }

void QtProgressView::SetToolTip(const QString& text) { frmProgress::Get().Picture1()->setToolTip(text); }

void QtProgressView::ProcessEvents() {
  if (sinceEvents_.isValid() && sinceEvents_.elapsed() < kEventIntervalMs) return;
  QCoreApplication::processEvents();
  sinceEvents_.start();
}

bool QtProgressView::Cancelled() const { return frmProgress::Cancelled(); }

void QtProgressView::Unload() { frmProgress::Unload(); }

}  // namespace tbx
