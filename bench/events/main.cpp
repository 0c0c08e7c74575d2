// How responsive the desktop program's window stays: a run of the
// configuration given (its [Pfade], as the batch program takes them) with the
// Qt progress window, offscreen, and the longest gap between two rounds of
// event processing, in the scan and in the document loop. The window stays
// usable while no gap exceeds about 20 ms.
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

#include "common/WorkerPool.h"
#include "run/RunDriver.h"
#include "ui/QtProgressView.h"

namespace {

// The desktop window, with a clock on every round the run asks for.
class TimedProgress : public tbx::QtProgressView {
 public:
  void ProcessEvents() override {
    if (clock_.isValid()) longest_[phase_] = std::max(longest_[phase_], clock_.nsecsElapsed());
    clock_.start();
    QtProgressView::ProcessEvents();
    ++rounds_;
  }
  void ShowProgress() override {
    QtProgressView::ShowProgress();
    phase_ = 1;  // the scan is done, the documents come next
    clock_.invalidate();
  }
  qint64 Longest(int phase) const { return longest_[phase]; }
  qint64 Rounds() const { return rounds_; }

 private:
  QElapsedTimer clock_;
  qint64 longest_[2] = {0, 0};
  qint64 rounds_ = 0;
  int phase_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: tbx-bench-events CONFIG\n");
    return 2;
  }
  TimedProgress progress;
  tbx::InstallProgress(&progress);
  QElapsedTimer total;
  total.start();
  tbx::RunSummary summary;
  const tbx::RunOutcome outcome = tbx::RunBatch(QString::fromLocal8Bit(argv[1]), &summary);
  tbx::InstallProgress(nullptr);
  std::printf("documents %lld, readers %d, %lld event rounds, %.2f s\n", summary.documentsFound,
              tbx::ConfiguredReaders(), progress.Rounds(), total.elapsed() / 1000.0);
  std::printf("longest gap between event rounds: scan %.1f ms, documents %.1f ms\n", progress.Longest(0) / 1e6,
              progress.Longest(1) / 1e6);
  return outcome == tbx::RunOutcome::WorkbookWritten ? 0 : 1;
}
