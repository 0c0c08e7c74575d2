#include "ui/QtProgressView.h"

#include <QCoreApplication>

#include "platform/Process.h"
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

void QtProgressView::ShowProgress() {
  pace_.Start();
  frmProgress::Get().ShowProgress();
}

void QtProgressView::SetPercent(int percent) { frmProgress::Get().SetProzent(percent); }

void QtProgressView::SetToolTip(const QString& text) { frmProgress::Get().Picture1()->setToolTip(text); }

void QtProgressView::ProcessEvents() {
  if (sinceEvents_.isValid() && sinceEvents_.elapsed() < kEventIntervalMs) return;
  QCoreApplication::processEvents();
  sinceEvents_.start();
}

// A termination request cancels as closing the window does (InterruptWatch).
bool QtProgressView::Cancelled() const { return frmProgress::Cancelled() || InterruptRequested(); }

void QtProgressView::Unload() { frmProgress::Unload(); }

void QtProgressView::ScanProgress(qint64 folders, qint64 documents) {
  frmProgress& window = frmProgress::Get();
  window.ShowBusy();
  window.Label2()->setText(ScanCountText(folders, documents));
}

void QtProgressView::DocumentProgress(qint64 done, qint64 total) {
  if (!pace_.Started()) pace_.Start();
  // Only the rounds that let the window repaint change the count: it then
  // belongs to the file name shown above it, and the rounds between cost nothing.
  if (done < total && sinceEvents_.isValid() && sinceEvents_.elapsed() < kEventIntervalMs) return;
  frmProgress::Get().Label2()->setText(
      LoopCountText(done, total, LoopPace::SecondsLeft(done, total, pace_.LoopSeconds())));
}

}  // namespace tbx
