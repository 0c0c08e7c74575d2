#pragma once
// The progress view of the batch program, on stderr: on a terminal one
// redrawn line with a bar, count, percentage, rate and time left; in a log
// file or pipe a plain line every few seconds. Ctrl+C (platform/Process.h)
// asks for a stop after the current document, like closing the progress
// window does.
#include <QElapsedTimer>
#include <QString>
#include <cstdio>

#include "interaction/ProgressView.h"

namespace tbx {

class TerminalProgress : public ProgressView {
 public:
  TerminalProgress(std::FILE* out, bool isTerminal);
  ~TerminalProgress() override;

  void SetCaption(const QString&) override {}
  void SetStatus(const QString& text) override;
  void Show() override {}
  void ShowProgress() override {}
  void SetPercent(int) override {}
  void SetToolTip(const QString&) override {}
  void ProcessEvents() override {}
  bool Cancelled() const override;
  void Unload() override;
  void DocumentProgress(qint64 done, qint64 total) override;

  // One progress line without terminal decoration, e.g.
  // "1234/20000 Dokumente (6 %), 850 Dok./s, noch etwa 0:20".
  static QString ProgressLine(qint64 done, qint64 total, double elapsedSeconds, bool withBar);

 private:
  void Write(const QString& line, bool redraw);
  std::FILE* out_;
  bool terminal_;
  bool lineOpen_ = false;
  QElapsedTimer sinceStart_;
  QElapsedTimer sinceDraw_;
};

}  // namespace tbx
