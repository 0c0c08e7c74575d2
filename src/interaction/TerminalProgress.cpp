#include "interaction/TerminalProgress.h"

#include <QLocale>
#include <QtGlobal>

#include "common/CommandLine.h"
#include "interaction/TerminalLine.h"
#include "interaction/TerminalSize.h"
#include "platform/Process.h"
#include "text/ControlCharacters.h"

namespace tbx {
namespace {

constexpr qint64 kTerminalRedrawMs = 100;
constexpr qint64 kPlainLineMs = 5000;
constexpr int kBarWidth = 24;
constexpr int kMinBarWidth = 8;
constexpr int kMinNameColumns = 8;
const QString kSeparator = QStringLiteral(" · ");

// The view whose line is open on the terminal; every message ends it first.
TerminalProgress* g_openLine = nullptr;
QtMessageHandler g_qtMessages = nullptr;

void EndOpenLine() {
  if (g_openLine) g_openLine->Unload();
}

// Qt's own warnings (a database driver's, say) go to stderr as well.
void QtMessageOnItsOwnLine(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  EndOpenLine();
  if (g_qtMessages) g_qtMessages(type, context, text);
}

// Documents per second: a slow share reads a few per second, and "0 Dok./s"
// would say it stands still.
QString RateText(double rate) {
  static const QLocale german(QLocale::German, QLocale::Germany);
  return rate < 10 ? german.toString(rate, 'f', 1) : CountText(qRound64(rate));
}

}  // namespace

TerminalProgress::TerminalProgress(std::FILE* out, bool isTerminal, std::function<int()> columns)
    : out_(out), terminal_(isTerminal), columns_(std::move(columns)) {
  if (!columns_) columns_ = [out] { return TerminalWidth(out); };
  sinceDraw_.start();
  if (terminal_) {
    SetBeforeMessage(&EndOpenLine);
    g_qtMessages = qInstallMessageHandler(&QtMessageOnItsOwnLine);
  }
}

TerminalProgress::~TerminalProgress() {
  Unload();
  if (terminal_) {
    SetBeforeMessage(nullptr);
    qInstallMessageHandler(g_qtMessages);
  }
}

bool TerminalProgress::Cancelled() const { return InterruptRequested(); }

void TerminalProgress::Unload() {
  if (!lineOpen_) return;
  std::fputc('\n', out_);
  std::fflush(out_);
  lineOpen_ = false;
  if (g_openLine == this) g_openLine = nullptr;
}

void TerminalProgress::SetStatus(const QString& text) {
  status_ = EscapeControlCharacters(text);
  // In the loop the name rides on the next count line.
  if (total_ >= 0 || !terminal_ || sinceDraw_.elapsed() < kTerminalRedrawMs) return;
  Redraw();
}

void TerminalProgress::ShowProgress() { pace_.Start(); }

void TerminalProgress::ScanProgress(qint64 folders, qint64 documents) {
  folders_ = folders;
  documents_ = documents;
  counted_ = true;
  if (sinceDraw_.elapsed() < (terminal_ ? kTerminalRedrawMs : kPlainLineMs)) return;
  if (terminal_)
    Redraw();
  else
    Write(ScanCountText(folders_, documents_), false);
}

void TerminalProgress::DocumentProgress(qint64 done, qint64 total) {
  if (!pace_.Started()) pace_.Start();
  done_ = done;
  total_ = total;
  const bool last = done >= total;
  if (!last && sinceDraw_.elapsed() < (terminal_ ? kTerminalRedrawMs : kPlainLineMs)) return;
  if (terminal_)
    Redraw();
  else
    Write(LoopLine(done, total, pace_.LoopSeconds(), 0, QString()), false);
  if (last) Unload();
}

void TerminalProgress::Redraw() {
  // The last column stays free: a line that fills it leaves some terminals
  // waiting to wrap, and the next carriage return would then start below.
  const int columns = qMax(1, columns_() - 1);
  Write(total_ >= 0 ? LoopLine(done_, total_, pace_.LoopSeconds(), columns, status_)
                    : ScanLine(folders_, documents_, counted_, status_, columns),
        true);
}

QString TerminalProgress::LoopLine(qint64 done, qint64 total, double loopSeconds, int columns, const QString& name) {
  const QString count = LoopCountText(done, total, std::nullopt);
  const std::optional<double> rate = LoopPace::Rate(done, loopSeconds);
  const std::optional<double> left = LoopPace::SecondsLeft(done, total, loopSeconds);
  const QString ratePiece = rate ? kSeparator + RateText(*rate) + QStringLiteral(" Dok./s") : QString();
  const QString leftPiece = left ? kSeparator + QStringLiteral("noch etwa ") + DurationText(*left) : QString();
  if (columns <= 0) return count + ratePiece + leftPiece;

  // The time left matters more than the rate: the rate gives way first.
  QString text = CutToColumns(count, columns);
  for (const QString& candidate : {count + ratePiece + leftPiece, count + leftPiece}) {
    if (TerminalColumns(candidate) <= columns) {
      text = candidate;
      break;
    }
  }
  const int barRoom = columns - TerminalColumns(text) - 3;  // "[", "] "
  if (barRoom >= kMinBarWidth) {
    const int width = qMin(kBarWidth, barRoom);
    const int filled = total > 0 ? int(qMin(done, total) * width / total) : width;
    text = u'[' + QString(filled, u'#') + QString(width - filled, u'-') + QStringLiteral("] ") + text;
  }
  const int nameRoom = columns - TerminalColumns(text) - TerminalColumns(kSeparator);
  if (!name.isEmpty() && nameRoom >= kMinNameColumns) text += kSeparator + ElideMiddle(name, nameRoom);
  return text;
}

QString TerminalProgress::ScanLine(qint64 folders, qint64 documents, bool counted, const QString& folder,
                                   int columns) {
  if (!counted) return ElideMiddle(folder, columns);
  QString text = CutToColumns(ScanCountText(folders, documents), columns);
  const int folderRoom = columns - TerminalColumns(text) - TerminalColumns(kSeparator);
  if (!folder.isEmpty() && folderRoom >= kMinNameColumns) text += kSeparator + ElideMiddle(folder, folderRoom);
  return text;
}

void TerminalProgress::Write(const QString& line, bool redraw) {
  sinceDraw_.restart();
  const QByteArray bytes = EscapeControlCharacters(line).toLocal8Bit();
  if (redraw) {
    // \r and clear-to-end-of-line keep one line on screen; the line never
    // wraps, so the carriage return always reaches its start.
    std::fprintf(out_, "\r%s\x1b[K", bytes.constData());
    lineOpen_ = true;
    g_openLine = this;
  } else {
    std::fprintf(out_, "%s\n", bytes.constData());
  }
  std::fflush(out_);
}

}  // namespace tbx
