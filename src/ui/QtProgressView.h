#pragma once
// The progress view of the desktop program: frmProgress on screen. The scan
// shows its counts over a busy bar; the loop its count, percentage and time
// left, measured from the loop's own start.
#include <QElapsedTimer>

#include "interaction/ProgressTexts.h"
#include "interaction/ProgressView.h"

namespace tbx {

class QtProgressView : public ProgressView {
 public:
  void SetCaption(const QString& caption) override;
  void SetStatus(const QString& text) override;
  void Show() override;
  void ShowProgress() override;
  void SetPercent(int percent) override;
  void SetToolTip(const QString& text) override;
  void ProcessEvents() override;
  bool Cancelled() const override;
  void Unload() override;
  void ScanProgress(qint64 folders, qint64 documents) override;
  void DocumentProgress(qint64 done, qint64 total) override;

 private:
  QElapsedTimer sinceEvents_;
  LoopPace pace_;
};

}  // namespace tbx
