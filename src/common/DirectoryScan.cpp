#include "common/DirectoryScan.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "common/Config.h"
#include "common/ListingOrder.h"
#include "common/PathHelpers.h"
#include "common/RunLog.h"
#include "common/SystemErrorText.h"
#include "interaction/ProgressView.h"
#include "platform/FileSystem.h"
#include "platform/Threads.h"

namespace tbx {
namespace {

// Whether a file name is selected by the padded extension list. An extension
// is selected when " ext " occurs in it, so a name without an extension needs
// two adjacent blanks in the list; "*" alone selects everything.
class ExtensionFilter {
 public:
  explicit ExtensionFilter(const QString& extensions)
      : padded_(QLatin1Char(' ') + extensions + QLatin1Char(' ')),
        everything_(padded_ == QLatin1String(" * ")) {}

  bool Selects(const QString& fileName) const {
    if (everything_) return true;
    // " ext " is looked for without building that text for every file.
    const QString extension = PathPart(fileName, ExtensionPart);
    const qsizetype n = extension.size();
    for (qsizetype at = padded_.indexOf(extension, 1); at >= 1; at = padded_.indexOf(extension, at + 1)) {
      if (at + n < padded_.size() && padded_[at - 1] == u' ' && padded_[at + n] == u' ') return true;
    }
    return false;
  }

 private:
  QString padded_;
  bool everything_;
};

// One folder of the walk and what its listing gave.
struct ListedFolder {
  QString path;                  // with its trailing separator
  int error = 0;                 // why it could not be listed; 0 when it was
  QStringList files;             // its matching files, in listing order
  std::vector<size_t> children;  // its sub-folders (walk indices), in listing order
};

// The walk lists folders on several threads, since a file server answers
// every listing after a round trip and a local disk after reading the
// folder, and then puts the matches in the order of a walk on one thread:
// a folder's own matches first, then each sub-folder in listing order. The
// run's thread lists folders too and keeps the progress view responsive.
class FolderWalk {
 public:
  FolderWalk(const QString& extensions, const QString& start) : filter_(extensions) {
    folders_.push_back(ListedFolder{start, 0, {}, {}});
  }

  // Lists the start folder and every folder below it; a start folder that
  // cannot be listed ends the walk as a RunError.
  void Run(ProgressView& progress, int helpers) {
    todo_.push_back(0);
    std::vector<std::thread> threads;
    try {
      for (int i = 0; i < helpers; ++i)
        threads.emplace_back([this] {
          LowerHelperPriority();
          Guarded([this] { Work(quiet_); });
        });
    } catch (const std::system_error&) {
      // Fewer helpers only make the walk slower.
    }
    // With helpers the run's thread only shows how far they are: a folder
    // that keeps the disk or the network waiting must not keep the window
    // waiting as well.
    if (threads.empty()) Guarded([&] { Work(progress); });
    else Guarded([&] { Watch(progress); });
    for (std::thread& t : threads) t.join();
    if (failure_) std::rethrow_exception(failure_);
    if (folders_[0].error) throw FileSystemError(folders_[0].error, folders_[0].path);
  }

  // The matching files in walk order; every folder skipped is logged there.
  QStringList Matches() const {
    QStringList result;
    std::vector<size_t> stack{0};  // explicit, so a deep tree cannot exhaust the call stack
    while (!stack.empty()) {
      const ListedFolder& folder = folders_[stack.back()];
      stack.pop_back();
      if (folder.error) {
        // One folder the user may not read, or whose path is longer than the
        // system allows, must not cost the whole run.
        LogMessage(QStringLiteral("FEHLER: Verzeichnis wird übersprungen: ") + folder.path + QStringLiteral(": ") +
                   ErrnoDescription(folder.error));
        continue;
      }
      result += folder.files;
      stack.insert(stack.end(), folder.children.rbegin(), folder.children.rend());
    }
    return result;
  }

 private:
  // A failure on any thread (a lack of memory) ends the walk on every one
  // and reaches the run's thread once all have stopped.
  template <class Job>
  void Guarded(Job job) {
    try {
      job();
    } catch (...) {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (!failure_) failure_ = std::current_exception();
      changed_.notify_all();
    }
  }

  // Takes folders to list until none is left and none is being listed.
  void Work(ProgressView& progress) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      if (failure_) return;
      if (todo_.empty()) {
        if (busy_ == 0) return;
        changed_.wait(lock);
        continue;
      }
      const size_t index = todo_.back();
      todo_.pop_back();
      latest_ = index;
      ++busy_;
      lock.unlock();
      size_t added = 0;
      try {
        added = List(index, progress);
      } catch (...) {
        lock.lock();
        --busy_;
        throw;
      }
      lock.lock();
      --busy_;
      // Everyone when the walk is done; else one helper per new folder,
      // rather than all of them for every folder listed.
      if (busy_ == 0 && todo_.empty()) changed_.notify_all();
      else
        for (size_t k = 0; k < added; ++k) changed_.notify_one();
    }
  }

  // Shows the folder taken last and lets the window's events run every few
  // milliseconds, until the helpers are done.
  void Watch(ProgressView& progress) {
    std::unique_lock<std::mutex> lock(mutex_);
    const auto done = [this] { return failure_ || (busy_ == 0 && todo_.empty()); };
    while (!done()) {
      changed_.wait_for(lock, std::chrono::milliseconds(5), done);
      const QString status = folders_[latest_].path;
      lock.unlock();
      progress.SetStatus(status);
      progress.ProcessEvents();
      lock.lock();
    }
  }

  // Lists one folder; its sub-folders become folders of the walk to list,
  // the first of them next, so the walk stays near the order it keeps.
  // Returns how many there are.
  size_t List(size_t index, ProgressView& progress) {
    ListedFolder* folder = nullptr;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      folder = &folders_[index];  // the deque keeps its elements in place as it grows
    }
    progress.SetStatus(folder->path);
    std::vector<DirectoryEntry> entries;
    if ((folder->error = ListDirectory(folder->path, entries)) != 0) return 0;
    SortLikeNtfs(entries);
    std::vector<QString> subfolders;
    for (const DirectoryEntry& entry : entries) {
      progress.ProcessEvents();
      if (entry.hidden) continue;
      if (entry.kind == EntryKind::Directory) {
        // A link to a folder is not entered: it may lead back up the tree
        // and make the walk endless.
        if (!entry.isLink) subfolders.push_back(WithTrailingBackslash(folder->path + entry.name));
      } else if (entry.kind == EntryKind::File && filter_.Selects(entry.name)) {
        folder->files.append(folder->path + entry.name);
      }
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    for (QString& path : subfolders) {
      folder->children.push_back(folders_.size());
      folders_.push_back(ListedFolder{std::move(path), 0, {}, {}});
    }
    todo_.insert(todo_.end(), folder->children.rbegin(), folder->children.rend());
    return folder->children.size();
  }

  const ExtensionFilter filter_;
  HeadlessProgress quiet_;           // the helpers' view: they show nothing
  std::mutex mutex_;
  std::condition_variable changed_;  // a folder was listed
  std::deque<ListedFolder> folders_;
  std::vector<size_t> todo_;         // folders still to list, the next one last
  int busy_ = 0;                     // folders being listed
  size_t latest_ = 0;                // the folder taken last
  std::exception_ptr failure_;       // the first failure of any thread
};

}  // namespace

QStringList CollectFiles(ProgressView& progress, const QString& folder, const QString& extensions, int helpers) {
  // A start folder without its trailing separator would glue the names onto
  // the folder's own name; it is taken as the folder meant.
  FolderWalk walk(extensions, WithTrailingBackslash(folder));
  walk.Run(progress, std::max(0, helpers));
  return walk.Matches();
}

}  // namespace tbx
