#pragma once
// The progress view of the desktop program: frmProgress on screen.
#include <QElapsedTimer>

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

 private:
  QElapsedTimer sinceEvents_;
};

}  // namespace tbx
