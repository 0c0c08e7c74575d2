#include "ui/InterruptWatch.h"

#include <QApplication>
#include <QDialog>

#include "platform/Process.h"
#include "ui/frmProgress.h"

namespace tbx {
namespace {

constexpr int kLookIntervalMs = 100;

}  // namespace

InterruptWatch::InterruptWatch() {
  CatchInterrupts();
  timer_.setInterval(kLookIntervalMs);
  connect(&timer_, &QTimer::timeout, this, &InterruptWatch::Look);
  timer_.start();
}

void InterruptWatch::Look() {
  if (!InterruptRequested()) return;
  // The progress window is there from the start of the run until its
  // workbook is saved (and, after a cancel, through the final question).
  if (!frmProgress::IsLoaded()) EndAsInterrupted();
  if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
}

}  // namespace tbx
