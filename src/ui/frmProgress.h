#pragma once
// frmProgress: the progress window of a run (the classic form's name; the
// run sees it as a ProgressView through QtProgressView). It shows the banner,
// the status line (Label1, the folder being listed or the document being
// read, shortened in the middle), the count line (Label2), the bar
// (Picture1: busy during the scan, filled once ShowProgress was called) and
// the Abbrechen button. Closing it, or the button, is how the user stops a
// run: the unload sets the cancel flag, and any later access loads the
// window again (hidden) and clears the flag. The classic control names are
// kept for tests and tools.
#include <QWidget>

#include "ui/ProgressControls.h"

class QPushButton;

namespace tbx {

class frmProgress : public QWidget {
 public:
  // The one progress window; loads it hidden when it is not loaded.
  static frmProgress& Get();
  static bool IsLoaded();
  // Unloads the window when it is loaded (sets the cancel flag).
  static void Unload();
  // blnCancelled: false while the window is loaded, true once it was unloaded.
  static bool Cancelled();

  // Prozent: stores the percentage (no range check) and repaints the bar at once.
  void SetProzent(int newval);
  // Resets the percentage to 0 and reveals the bar (no longer busy).
  void ShowProgress();
  // Reveals the bar running to and fro: work goes on that cannot be counted yet.
  void ShowBusy();

  ElidedLabel* Label1() const { return label1_; }
  ElidedLabel* Label2() const { return label2_; }
  ProgressBarBox* Picture1() const { return picture1_; }
  QPushButton* btnCancel() const { return cancel_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  frmProgress();
  ~frmProgress() override;
  void FormUnload();
  void LayOut();

  ElidedLabel* label1_ = nullptr;
  ElidedLabel* label2_ = nullptr;
  ProgressBarBox* picture1_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace tbx
