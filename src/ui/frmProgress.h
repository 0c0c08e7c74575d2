#pragma once
// frmProgress: the progress window of a run (the classic form's name; the
// run sees it as a ProgressView through QtProgressView). It shows the banner,
// the status line (Label1, the classic control names are kept for tests and
// tools) and, once ShowProgress was called, the bar (Picture1). Closing it
// is how the user stops a run: the unload sets the cancel flag, and any later
// access loads the window again (hidden) and clears the flag.
#include <QFrame>
#include <QWidget>

class QLabel;

namespace tbx {

// Picture1: the bar, painted on every repaint in user coordinates 0..100
// across; the filled part in the highlight colour, the rest in the face colour.
class ProgressBarBox : public QFrame {
 public:
  explicit ProgressBarBox(QWidget* parent);
  void SetPercent(int percent) { percent_ = percent; }
  int Percent() const { return percent_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int percent_ = 0;
};

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
  // Resets the percentage to 0 and reveals the bar.
  void ShowProgress();

  QLabel* Label1() const { return label1_; }
  ProgressBarBox* Picture1() const { return picture1_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  frmProgress();
  ~frmProgress() override;
  void FormUnload();

  QLabel* label1_ = nullptr;
  ProgressBarBox* picture1_ = nullptr;
};

}  // namespace tbx
