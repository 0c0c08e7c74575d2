#include "common/RunLog.h"

#include "common/Config.h"
#include "common/TextForm.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/ProgramInfo.h"

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
                      LogFilePathFor(date)};
  }
  return frame;
}

}  // namespace

void SetLogEnabled(bool enabled) { Enabled() = enabled; }

bool LogEnabled() { return Enabled(); }

QString LogFilePath() { return LogFilePathFor(Now().date()); }

void LogMessage(const QString& message) {
  if (!Enabled()) return;
  // One clock reading for stamp and file, so a line written at midnight
  // lands in the file of the date it carries.
  const LineFrame& frame = FrameFor(Now());
  QString line;
  if (!message.isEmpty()) line = frame.stamp + message;
  // The log must never stop a run: a lost line is accepted.
  (void)AppendToFile(frame.file, line.toLocal8Bit() + kLineEnd);
}

}  // namespace tbx
