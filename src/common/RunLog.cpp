#include "common/RunLog.h"

#include <algorithm>

#include "common/Config.h"
#include "common/SystemErrorText.h"
#include "common/TextForm.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "common/ProgramInfo.h"

namespace tbx {
namespace {

bool& Enabled() {
  static bool enabled = false;
  return enabled;
}

#ifdef _WIN32
constexpr const char* kLineEnd = "\r\n";
#else
constexpr const char* kLineEnd = "\n";
#endif

// The day's file; "/" is taken out of the date because locales such as
// en_US write their short date with slashes, which cannot stand in a name.
QString LogFilePathFor(const QDate& day) {
  QString date = ShortDateText(day);
  date.remove(u'/');
  return WithTrailingBackslash(LogFolder()) + QStringLiteral("Protokoll_") + date +
         QStringLiteral(".log");
}

// The stamp and the file of the last line: a run writes several lines a
// second, and formatting date and time for each one took longer than
// appending the line. Both texts come from the clock's local date and whole
// seconds, so they are kept while these, the locale and the program folder
// stay the same (and whether the milliseconds are 0: a time of exactly
// midnight shows the date alone). The local fields are compared rather than
// the instant, which would ask the time zone database on every line.
struct LineFrame {
  QDate date;
  QTime second;
  bool wholeSecond = false;
  QLocale locale;
  QString folder;
  QString stamp;  // the time stamp and " - "
  QString file;
  quint64 serial = 0;  // counts the frames made, so a new second is told by one comparison
};

const LineFrame& FrameFor(const QDateTime& now) {
  thread_local LineFrame frame;
  const QDate date = now.date();
  const QTime time = now.time();
  const QTime second(time.hour(), time.minute(), time.second());
  const bool wholeSecond = time.msec() == 0;
  const QLocale locale;
  const QString folder = LogFolder();
  if (!frame.date.isValid() || frame.date != date || frame.second != second || frame.wholeSecond != wholeSecond ||
      frame.locale != locale || frame.folder != folder) {
    frame = LineFrame{date, second, wholeSecond, locale, folder, GeneralDateText(now) + QStringLiteral(" - "),
                      LogFilePathFor(date), frame.serial + 1};
  }
  return frame;
}

// The day's file, kept open between lines. It is opened again when the
// day's name changes (a run past midnight goes on in the next day's file),
// and when the name no longer leads to it (removed or replaced by a log
// rotation). A run writes thousands of lines a second, and the lstat of
// every line along the whole path cost as much as writing the line: each
// line asks only whether the open file was removed (an fstat), so that no
// line is lost, and the path is looked at once per second of the stamps.
// Lines of the second in which the file was renamed go on into the renamed file.
class LogFile {
 public:
  // Appends lines to file; serial tells the second of their stamps.
  int Append(const QString& file, quint64 serial, const QByteArray& lines) {
    const bool newSecond = serial != checked_;
    checked_ = serial;
    if (!file_.IsOpen() || path_ != file || file_.Removed() || (newSecond && !file_.StillAt(file))) {
      path_ = file;
      if (const int err = file_.Open(path_)) return err;
    }
    return file_.Write(lines);
  }
  void Close() {
    file_.Close();
    checked_ = 0;
  }

 private:
  AppendFile file_;
  QString path_;
  quint64 checked_ = 0;  // the serial of the frame whose second was checked
};

LogFile& TheLogFile() {
  static LogFile file;
  return file;
}

// Lines kept back by holds, with the file and second of their stamps.
struct HeldLines {
  int holds = 0;
  QByteArray lines;
  QString file;
  quint64 serial = 0;
};

HeldLines& TheHeldLines() {
  static HeldLines held;
  return held;
}

struct FailureNotice {
  std::function<void(const QString&)> notice;
  bool given = false;
};

FailureNotice& TheFailureNotice() {
  static FailureNotice notice;
  return notice;
}

bool IsControl(QChar c) { return (c.unicode() < 0x20 && c != u'\t') || c.unicode() == 0x7F; }

// A control character as users can read it; everything else as it is.
QString Escaped(const QString& message) {
  if (std::none_of(message.begin(), message.end(), IsControl)) return message;
  QString out;
  out.reserve(message.size() + 8);
  for (QChar c : message) {
    if (c == u'\n') out += QStringLiteral("\\n");
    else if (c == u'\r') out += QStringLiteral("\\r");
    else if (IsControl(c)) out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
    else out += c;
  }
  return out;
}

// Appends lines to the log file; the log must never stop a run: a lost
// line is accepted, and said once.
void Write(const QString& file, quint64 serial, const QByteArray& lines) {
  const int err = TheLogFile().Append(file, serial, lines);
  FailureNotice& failure = TheFailureNotice();
  if (err != 0 && !failure.given && failure.notice) {
    failure.given = true;
    failure.notice(QStringLiteral("Das Protokoll %1 kann nicht geschrieben werden: %2. Der Lauf geht ohne "
                                  "Protokoll weiter.")
                       .arg(file, ErrnoDescription(err)));
  }
}

}  // namespace

void SetLogFailureNotice(std::function<void(const QString&)> notice) {
  TheFailureNotice() = FailureNotice{std::move(notice), false};
}

LogHold::LogHold() { ++TheHeldLines().holds; }

LogHold::~LogHold() { --TheHeldLines().holds; }

void FlushLog() {
  HeldLines& held = TheHeldLines();
  if (held.lines.isEmpty()) return;
  Write(held.file, held.serial, held.lines);
  held.lines.clear();
}

void SetLogEnabled(bool enabled) {
  FlushLog();
  Enabled() = enabled;
  TheLogFile().Close();
  TheFailureNotice().given = false;
}

bool LogEnabled() { return Enabled(); }

QString LogFilePath() { return LogFilePathFor(Now().date()); }

void LogMessage(const QString& message) {
  if (!Enabled()) return;
  // One clock reading for stamp and file, so a line written at midnight
  // lands in the file of the date it carries.
  const LineFrame& frame = FrameFor(Now());
  QByteArray line;
  if (!message.isEmpty()) line = (frame.stamp + Escaped(message)).toLocal8Bit();
  line += kLineEnd;
  HeldLines& held = TheHeldLines();
  // Lines kept back go first, into the file of their own date.
  if (!held.lines.isEmpty() && held.file != frame.file) FlushLog();
  if (held.holds > 0) {
    held.lines += line;
    held.file = frame.file;
    held.serial = frame.serial;
    return;
  }
  if (!held.lines.isEmpty()) {
    line.prepend(held.lines);
    held.lines.clear();
  }
  Write(frame.file, frame.serial, line);
}

}  // namespace tbx
