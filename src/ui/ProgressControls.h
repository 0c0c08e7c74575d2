#pragma once
// The controls of the progress window: the bar, which also shows that work
// goes on while nothing can be counted yet, and a one-line label that
// shortens its text in the middle, so that a long path keeps its start and
// its file name instead of wrapping inside a folder name.
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QTimer>

namespace tbx {

// Picture1: the bar, painted on every repaint in user coordinates 0..100
// across; the filled part in the highlight colour, the rest in the face
// colour. Busy, a block of the highlight colour runs to and fro instead.
class ProgressBarBox : public QFrame {
 public:
  explicit ProgressBarBox(QWidget* parent);
  void SetPercent(int percent) { percent_ = percent; }
  int Percent() const { return percent_; }
  void SetBusy(bool busy);
  bool Busy() const { return busy_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int percent_ = 0;
  bool busy_ = false;
  QElapsedTimer busySince_;
  QTimer busyTicks_;
};

// A label of one line whose text, where it is too long, is shown with its
// middle replaced by "…"; text() keeps the whole.
class ElidedLabel : public QLabel {
 public:
  ElidedLabel(const QString& text, QWidget* parent);
  // The text as drawn in the label's width.
  QString ShownText() const;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tbx
