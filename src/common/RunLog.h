#pragma once
// The run log: one file per day beside the configuration in use, one line per
// message. A run owns its log and passes it to every phase that writes one.
// Only the run's own thread uses it: helpers that list folders or read
// documents hand back what they found, and the run's thread logs it in
// order, so the log reads the same for any number of helpers.
#include <QByteArray>
#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>
#include <functional>

#include "platform/FileSystem.h"

namespace tbx {

class RunLog {
 public:
  RunLog() = default;
  ~RunLog();
  RunLog(const RunLog&) = delete;
  RunLog& operator=(const RunLog&) = delete;

  // Switches the log on or off (off until the driver sets it).
  void SetLogEnabled(bool enabled);
  bool LogEnabled() const { return enabled_; }

  // Appends one line (time stamp, " - ", message; an empty message gives an
  // empty line); every failure is ignored. Control characters other than the
  // tab are written escaped (\n, \r, \x1b), so a file name cannot add lines
  // of its own that look like the run's.
  void LogMessage(const QString& message);

  // While a hold lives, lines are kept back instead of written; they are
  // written together in one write with the first line of a later second,
  // when they reach 64 KiB, with the next line logged without a hold, or at
  // Flush(). The document loop holds its lines while each document's parse
  // is at hand, so that thousands of rows cost a few writes; it writes them
  // before it waits for a document, so the last line in the file then names
  // the document it waits for. Holds are for stretches that never wait:
  // lines kept back are not visible yet.
  class Hold {
   public:
    explicit Hold(RunLog& log) : log_(log) { ++log_.holds_; }
    ~Hold() { --log_.holds_; }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    RunLog& log_;
  };

  // Writes the lines kept back by holds.
  void Flush();

  // Called once with a German sentence when a line cannot be written, until
  // the log is switched on again (the batch program says so on stderr).
  void SetFailureNotice(std::function<void(const QString&)> notice);

  // The path of today's log file: log folder, "Protokoll_", short date
  // without "/", ".log".
  QString LogFilePath() const;

 private:
  // The stamp and the file of the last line: a run writes several lines a
  // second, and formatting date and time for each one took longer than
  // appending the line. Both come from the clock's local date and whole
  // seconds, so they are kept while these, the locale and the log folder
  // stay the same (and whether the milliseconds are 0: a time of exactly
  // midnight shows the date alone).
  struct LineFrame {
    QDate date;
    QTime second;
    bool wholeSecond = false;
    QLocale locale;
    QString folder;
    QByteArray encodedStamp;  // the time stamp and " - ", in the log's encoding
    QString file;
    quint64 serial = 0;  // counts the frames made, so a new second is told by one comparison
    qint64 epochSecond = -1;  // of the clock reading the frame was made for
  };
  const LineFrame& FrameFor(qint64 msecsSinceEpoch);
  void Write(const QString& file, quint64 serial, const QByteArray& lines);
  int Append(const QString& file, quint64 serial, const QByteArray& lines);

  bool enabled_ = false;
  LineFrame frame_;
  // The day's file, kept open between lines (see Append).
  AppendFile file_;
  QString path_;
  quint64 checked_ = 0;  // the serial of the frame whose second was checked
  // Lines kept back by holds, with the file and second of their stamps.
  int holds_ = 0;
  QByteArray held_;
  QString heldFile_;
  quint64 heldSerial_ = 0;
  std::function<void(const QString&)> notice_;
  bool noticeGiven_ = false;
};

}  // namespace tbx
