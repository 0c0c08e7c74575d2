#pragma once
// Sends the run log of a test to a temporary program folder with a pinned
// clock and locale, and hands back the messages without their time stamps.
// Log() is a log for the phases a test calls itself; whole runs write their
// own into the same file.
#include <QTemporaryDir>

#include "TestSupport.h"
#include "common/ProgramInfo.h"
#include "common/RunLog.h"

namespace tbx::test {

class RunLogCapture {
 public:
  RunLogCapture() {
    SetProgramFolder(folder_.path());
    log_.SetLogEnabled(true);
  }
  ~RunLogCapture() {
    log_.SetLogEnabled(false);
    SetProgramFolder(QString());
  }
  QString Folder() const { return folder_.path(); }
  RunLog& Log() { return log_; }
  QString LogFilePath() const { return log_.LogFilePath(); }

  // The messages logged so far, in order.
  QStringList Messages() const {
    const QString stamp = QStringLiteral("05.12.2026 18:24:03 - ");
    QStringList messages;
    for (const QString& line : QString::fromUtf8(ReadFileBytes(LogFilePath())).split('\n', Qt::SkipEmptyParts)) {
      messages << (line.startsWith(stamp) ? line.mid(stamp.size()) : line);
    }
    return messages;
  }

 private:
  PinnedLocaleAndClock pinned_;
  QTemporaryDir folder_;
  RunLog log_;
};

}  // namespace tbx::test
