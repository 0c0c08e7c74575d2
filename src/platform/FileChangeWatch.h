#pragma once
// Whether a file may have changed, for a file asked about far more often
// than it changes: the configuration is looked at before every document,
// and looking at it along its path cost as much as a row. The system tells
// of writes, renames, creations and removals in the file's folder and of the
// file itself; as long as it tells of none, the file is not looked at.
// Linux only; elsewhere, and where no watch can be had, every question
// answers true and the caller looks at the file each time.
#include <QByteArray>
#include <QString>

namespace tbx {

class FileChangeWatch {
 public:
  // Watches path from now on (the file need not exist; its folder must).
  explicit FileChangeWatch(const QString& path);
  ~FileChangeWatch();
  FileChangeWatch(const FileChangeWatch&) = delete;
  FileChangeWatch& operator=(const FileChangeWatch&) = delete;

  // False only while the system has told of nothing that may have changed
  // the file since the watch was made; once true, always true (a new watch
  // follows the file from then on). A change made in a folder above the
  // file's, or on another machine sharing the folder, goes unseen: callers
  // still look at the file now and then.
  bool MayHaveChanged();

  // Ends the watch; from then on every question answers true. The system
  // lets go of a watch only after a grace period of its own, and closing the
  // watch waits for it (up to 20 ms seen, at the program's end): stopped
  // well before its destruction, the watch closes at once.
  void Stop();

 private:
  int handle_ = -1;
  int folderWatch_ = -1;
  int fileWatch_ = -1;
  QByteArray name_;  // the file's name in its folder, as the system spells it
  bool changed_ = false;
};

}  // namespace tbx
