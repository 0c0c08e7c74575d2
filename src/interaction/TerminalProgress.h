#pragma once
// The progress view of the batch program, on stderr: on a terminal one line
// redrawn in place, never wider than the terminal (the counts of the scan
// and the folder being listed, then a bar, the count, percentage, rate and
// time left of the document loop, and the document's name where room is
// left); in a log file or pipe a plain line every few seconds. Every message
// of the program starts on a line of its own. Ctrl+C (platform/Process.h)
// asks for a stop after the current document, like closing the progress
// window does.
#include <QElapsedTimer>
#include <QString>
#include <cstdio>
#include <functional>

#include "interaction/ProgressTexts.h"
#include "interaction/ProgressView.h"

namespace tbx {

class TerminalProgress : public ProgressView {
 public:
  // columns gives the terminal's width at each redraw; by default it is
  // asked of the terminal behind out.
  TerminalProgress(std::FILE* out, bool isTerminal, std::function<int()> columns = {});
  ~TerminalProgress() override;

  void SetCaption(const QString&) override {}
  void SetStatus(const QString& text) override;
  void Show() override {}
  void ShowProgress() override;
  void SetPercent(int) override {}
  void SetToolTip(const QString&) override {}
  void ProcessEvents() override {}
  bool Cancelled() const override;
  // Ends the line drawn last, when it is still open.
  void Unload() override;
  void ScanProgress(qint64 folders, qint64 documents) override;
  void DocumentProgress(qint64 done, qint64 total) override;

  // The loop's line in at most columns columns, e.g. "[####------]
  // 1.234 von 20.000 Dokumenten · 6 % · 850 Dok./s · noch etwa 0:20 · Teil.par":
  // the rate, then the time left give way first, then the bar shrinks, and
  // name (shortened in the middle) only takes the room left. columns 0 gives
  // the plain line: no bar, no name, nothing left out.
  static QString LoopLine(qint64 done, qint64 total, double loopSeconds, int columns, const QString& name);
  // The scan's line: its counts (none before the first) and the folder,
  // shortened in the middle to what the counts leave of columns.
  static QString ScanLine(qint64 folders, qint64 documents, bool counted, const QString& folder, int columns);

 private:
  void Redraw();
  void Write(const QString& line, bool redraw);

  std::FILE* out_;
  bool terminal_;
  std::function<int()> columns_;
  bool lineOpen_ = false;
  QString status_;  // the folder listed, or the document read
  qint64 folders_ = 0, documents_ = 0;
  bool counted_ = false;
  qint64 done_ = 0, total_ = -1;  // the loop's count; total -1 before it
  LoopPace pace_;
  QElapsedTimer sinceDraw_;
};

}  // namespace tbx
