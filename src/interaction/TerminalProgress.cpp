#include "interaction/TerminalProgress.h"

#include <cmath>

#include "platform/Process.h"
#include "text/ControlCharacters.h"

namespace tbx {
namespace {

constexpr qint64 kTerminalRedrawMs = 100;
constexpr qint64 kPlainLineMs = 5000;
constexpr int kBarWidth = 24;

QString Duration(double seconds) {
  const qint64 s = static_cast<qint64>(std::llround(seconds));
  if (s >= 3600) return QStringLiteral("%1:%2:%3").arg(s / 3600).arg(s / 60 % 60, 2, 10, QChar(u'0')).arg(s % 60, 2, 10, QChar(u'0'));
  return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QChar(u'0'));
}

}  // namespace

TerminalProgress::TerminalProgress(std::FILE* out, bool isTerminal) : out_(out), terminal_(isTerminal) {
  sinceStart_.start();
  sinceDraw_.start();
}

TerminalProgress::~TerminalProgress() { Unload(); }

bool TerminalProgress::Cancelled() const { return InterruptRequested(); }

void TerminalProgress::Unload() {
  if (lineOpen_) {
    std::fputc('\n', out_);
    std::fflush(out_);
    lineOpen_ = false;
  }
}

void TerminalProgress::SetStatus(const QString& text) {
  // Only a terminal shows the folder being scanned; a log file would fill up.
  if (!terminal_ || sinceDraw_.elapsed() < kTerminalRedrawMs) return;
  Write(text, true);
}

QString TerminalProgress::ProgressLine(qint64 done, qint64 total, double elapsedSeconds, bool withBar) {
  const int percent = total > 0 ? ProgressPercent(done, total) : 100;
  QString line;
  if (withBar) {
    const int filled = total > 0 ? static_cast<int>(done * kBarWidth / total) : kBarWidth;
    line = u'[' + QString(filled, u'#') + QString(kBarWidth - filled, u'-') + QStringLiteral("] ");
  }
  line += QStringLiteral("%1/%2 Dokumente (%3 %)").arg(done).arg(total).arg(percent);
  if (elapsedSeconds > 0 && done > 0) {
    const double rate = done / elapsedSeconds;
    line += QStringLiteral(", %1 Dok./s").arg(static_cast<qint64>(std::llround(rate)));
    if (done < total) line += QStringLiteral(", noch etwa ") + Duration((total - done) / rate);
  }
  return line;
}

void TerminalProgress::DocumentProgress(qint64 done, qint64 total) {
  const bool last = done >= total;
  const qint64 every = terminal_ ? kTerminalRedrawMs : kPlainLineMs;
  if (!last && sinceDraw_.elapsed() < every) return;
  Write(ProgressLine(done, total, sinceStart_.elapsed() / 1000.0, terminal_), terminal_);
  if (last) Unload();
}

void TerminalProgress::Write(const QString& line, bool redraw) {
  sinceDraw_.restart();
  const QByteArray bytes = EscapeControlCharacters(line).toLocal8Bit();
  if (redraw) {
    // \r and clear-to-end-of-line keep one line on screen.
    std::fprintf(out_, "\r%s\x1b[K", bytes.constData());
    lineOpen_ = true;
  } else {
    std::fprintf(out_, "%s\n", bytes.constData());
  }
  std::fflush(out_);
}

}  // namespace tbx
