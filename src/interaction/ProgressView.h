#pragma once
// The progress window as the run sees it: status line, caption, bar, tooltip,
// event processing and the cancel flag. The comments name the classic form's
// members (frmProgress: Label1, Prozent, blnCancelled) each call stands for. The desktop program
// installs the Qt window, the batch program a terminal view.
#include <QString>

namespace tbx {

class ProgressView {
 public:
  virtual ~ProgressView() = default;

  virtual void SetCaption(const QString& caption) = 0;  // window caption
  virtual void SetStatus(const QString& text) = 0;      // Label1
  virtual void Show() = 0;                              // modeless show
  virtual void ShowProgress() = 0;                      // reveal the bar at 0
  virtual void SetPercent(int percent) = 0;             // Prozent
  virtual void SetToolTip(const QString& text) = 0;     // tooltip of the bar
  virtual void ProcessEvents() = 0;                     // let pending events run
  virtual bool Cancelled() const = 0;                   // blnCancelled
  virtual void Unload() = 0;                            // close the window

  // The scan reports the folders listed and the documents found so far,
  // every few milliseconds while it runs.
  virtual void ScanProgress(qint64 folders, qint64 documents) {
    (void)folders;
    (void)documents;
  }

  // The document loop reports each finished document, for the count, the
  // rate and the time left (ShowProgress has marked the loop's start).
  virtual void DocumentProgress(qint64 done, qint64 total) {
    (void)done;
    (void)total;
  }
};

// A view that shows nothing: runs without a window, and checks.
class HeadlessProgress : public ProgressView {
 public:
  void SetCaption(const QString&) override {}
  void SetStatus(const QString&) override {}
  void Show() override {}
  void ShowProgress() override {}
  void SetPercent(int) override {}
  void SetToolTip(const QString&) override {}
  void ProcessEvents() override {}
  bool Cancelled() const override { return false; }
  void Unload() override {}
};

// The percentage of i documents of n the views show: i × 100 / n rounded to
// the nearest whole number, halves to the even one (0 without documents).
int ProgressPercent(qint64 i, qint64 n);

// The view in force (a headless one that shows nothing until another is installed).
ProgressView& TheProgress();

// Installs a view (not owned); nullptr restores the headless view.
void InstallProgress(ProgressView* view);

}  // namespace tbx
