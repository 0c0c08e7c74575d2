#include "common/RunLog.h"


#include "common/Config.h"
#include "common/ProgramInfo.h"
#include "common/SystemErrorText.h"
#include "common/TextForm.h"
#include "platform/Clock.h"
#include "text/ControlCharacters.h"

namespace tbx {
namespace {

#ifdef _WIN32
constexpr const char* kLineEnd = "\r\n";
#else
constexpr const char* kLineEnd = "\n";
#endif

// Lines held are written together once they reach this size.
constexpr qsizetype kHeldBytes = 64 * 1024;

// The day's file; "/" is taken out of the date because locales such as
// en_US write their short date with slashes, which cannot stand in a name.
QString LogFilePathFor(const QDate& day) {
  QString date = ShortDateText(day);
  date.remove(u'/');
  return WithTrailingBackslash(LogFolder()) + QStringLiteral("Protokoll_") + date + QStringLiteral(".log");
}

}  // namespace

RunLog::~RunLog() { Flush(); }

const RunLog::LineFrame& RunLog::FrameFor(qint64 msecsSinceEpoch) {
  const QLocale locale;
  const QString folder = LogFolder();
  // A reading within the frame's second of the epoch is within its local
  // second too (local time differs from the epoch's by whole seconds), so
  // only the first line of a second asks for the local time; a reading on
  // the whole second may be midnight, which the stamp shows as the date alone.
  if (frame_.date.isValid() && msecsSinceEpoch / 1000 == frame_.epochSecond && msecsSinceEpoch % 1000 != 0 &&
      !frame_.wholeSecond && frame_.locale == locale && frame_.folder == folder)
    return frame_;
  // One clock reading for stamp and file, so a line written at midnight
  // lands in the file of the date it carries.
  const QDateTime now = Now();
  const QDate date = now.date();
  const QTime time = now.time();
  const QTime second(time.hour(), time.minute(), time.second());
  const bool wholeSecond = time.msec() == 0;
  // The local fields are compared rather than the instant, which would ask
  // the time zone database on every line.
  if (!frame_.date.isValid() || frame_.date != date || frame_.second != second || frame_.wholeSecond != wholeSecond ||
      frame_.locale != locale || frame_.folder != folder) {
    const QString stamp = GeneralDateText(now) + QStringLiteral(" - ");
    frame_ = LineFrame{date, second, wholeSecond, locale, folder, stamp.toLocal8Bit(), LogFilePathFor(date),
                       frame_.serial + 1, -1};
  }
  frame_.epochSecond = now.toMSecsSinceEpoch() / 1000;
  return frame_;
}

// The day's file is opened again when the day's name changes (a run past
// midnight goes on in the next day's file), and when the name no longer
// leads to it (removed or replaced by a log rotation). A run writes
// thousands of lines a second, and a look along the whole path for every
// line cost as much as writing the line: each line asks only whether the
// open file was removed, so that no line is lost, and the path is looked at
// once per second of the stamps. Lines of the second in which the file was
// renamed go on into the renamed file.
int RunLog::Append(const QString& file, quint64 serial, const QByteArray& lines) {
  const bool newSecond = serial != checked_;
  checked_ = serial;
  if (!file_.IsOpen() || path_ != file || file_.Removed() || (newSecond && !file_.StillAt(file))) {
    path_ = file;
    if (const int err = file_.Open(path_)) return err;
  }
  return file_.Write(lines);
}

// The log must never stop a run: a lost line is accepted, and said once.
void RunLog::Write(const QString& file, quint64 serial, const QByteArray& lines) {
  const int err = Append(file, serial, lines);
  if (err != 0 && !noticeGiven_ && notice_) {
    noticeGiven_ = true;
    notice_(QStringLiteral("Das Protokoll %1 kann nicht geschrieben werden: %2. Der Lauf geht ohne Protokoll weiter.")
                .arg(file, ErrnoDescription(err)));
  }
}

void RunLog::SetFailureNotice(std::function<void(const QString&)> notice) {
  notice_ = std::move(notice);
  noticeGiven_ = false;
}

void RunLog::Flush() {
  if (held_.isEmpty()) return;
  Write(heldFile_, heldSerial_, held_);
  // Emptied, not freed: the next lines held fill the same buffer.
  held_.resize(0);
}

void RunLog::SetLogEnabled(bool enabled) {
  Flush();
  enabled_ = enabled;
  file_.Close();
  checked_ = 0;
  noticeGiven_ = false;
}

QString RunLog::LogFilePath() const { return LogFilePathFor(Now().date()); }

void RunLog::LogMessage(const QString& message) {
  if (!enabled_) return;
  const LineFrame& frame = FrameFor(NowMSecsSinceEpoch());
  // Lines kept back go first, into the file of their own date, and are not
  // kept past the second of their stamps or beyond a bound: a line is
  // visible in the file within about a second of being logged.
  if (!held_.isEmpty() && (heldSerial_ != frame.serial || held_.size() >= kHeldBytes)) Flush();
  // The line goes behind the lines held, in the frame's encoded stamp: the
  // encodings of the log keep no state from one character to the next, so
  // stamp and message may be encoded apart.
  if (!message.isEmpty()) {
    held_ += frame.encodedStamp;
    held_ += EscapeControlCharacters(message).toLocal8Bit();
  }
  held_ += kLineEnd;
  heldFile_ = frame.file;
  heldSerial_ = frame.serial;
  if (holds_ == 0) Flush();
}

}  // namespace tbx
