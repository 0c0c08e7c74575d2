#include "common/RunLog.h"

#include "common/Config.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/ProgramInfo.h"
#include "platform/TextForm.h"

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
  return WithTrailingBackslash(ProgramFolder()) + QStringLiteral("Protokoll_") + date +
         QStringLiteral(".log");
}

}  // namespace

void SetLogEnabled(bool enabled) { Enabled() = enabled; }

bool LogEnabled() { return Enabled(); }

QString LogFilePath() { return LogFilePathFor(Now().date()); }

void LogMessage(const QString& message) {
  if (!Enabled()) return;
  // One clock reading for stamp and file, so a line written at midnight
  // lands in the file of the date it carries.
  const QDateTime now = Now();
  QString line;
  if (!message.isEmpty()) line = GeneralDateText(now) + QStringLiteral(" - ") + message;
  // The log must never stop a run: a lost line is accepted.
  (void)AppendToFile(LogFilePathFor(now.date()), line.toLocal8Bit() + kLineEnd);
}

}  // namespace tbx
