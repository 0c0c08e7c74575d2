#include "common/DirectoryScan.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/Config.h"
#include "common/ListingOrder.h"
#include "common/PathHelpers.h"
#include "common/SystemErrorText.h"
#include "interaction/ProgressView.h"
#include "platform/FileSystem.h"

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
  std::string names;             // its matching files' names as UTF-8, one after the other, in listing order
  std::vector<quint32> ends;     // where each name ends in names
  std::vector<size_t> children;  // its sub-folders (walk indices), in listing order
};

// The walk lists folders on the pool's helpers, since a file server answers
// every listing after a round trip and a local disk after reading the
// folder, and then puts the matches in the order of a walk on one thread: a
// folder's own matches first, then each sub-folder in listing order. With
// helpers the run's thread only shows how far they are: a folder that keeps
// the disk or the network waiting must not keep the window waiting as well.
class FolderWalk : public PoolJob {
 public:
  FolderWalk(const QString& extensions, const QString& start, WorkerPool& pool) : filter_(extensions), pool_(pool) {
    folders_.push_back(ListedFolder{start, 0, {}, {}, {}});
  }

  // Lists the start folder and every folder below it; a start folder that
  // cannot be listed, or a failure on any thread, ends the walk as a RunError.
  void Walk(ProgressView& progress) {
    shown_ = &progress;
    owner_ = std::this_thread::get_id();
    if (pool_.Size() == 0) {
      // Alone, the run's thread walks depth first and shows every folder.
      todo_.push_back(0);
      while (!todo_.empty() && !stopped_) {
        const size_t next = todo_.back();
        todo_.pop_back();
        Run(qsizetype(next), -1);
      }
    } else {
      pool_.Submit(*this, 0);
      Watch(progress);
    }
    // A close handled in the last round of events counts as well: touching
    // the window after it would load it anew and forget the stop.
    if (progress.Cancelled())
      Stop();
    else
      progress.ScanProgress(foldersListed_, documentsFound_);
    if (failure_) std::rethrow_exception(failure_);
    if (folders_[0].error) throw FileSystemError(folders_[0].error, folders_[0].path);
  }

  // The matching files in walk order; every folder skipped is logged there.
  // Each folder's names are handed to the list as they are, so a tree of a
  // million documents is not held twice.
  FoundDocuments Matches(RunLog& log) {
    FoundDocuments result;
    std::vector<size_t> stack{0};  // explicit, so a deep tree cannot exhaust the call stack
    while (!stack.empty()) {
      ListedFolder& folder = folders_[stack.back()];
      stack.pop_back();
      if (folder.error) {
        // One folder the user may not read, or whose path is longer than the
        // system allows, must not cost the whole run.
        log.LogMessage(QStringLiteral("FEHLER: Verzeichnis wird übersprungen: ") + folder.path + QStringLiteral(": ") +
                       ErrnoDescription(folder.error));
        continue;
      }
      if (!folder.ends.empty()) result.AddFolder(folder.path, std::move(folder.names), std::move(folder.ends));
      stack.insert(stack.end(), folder.children.rbegin(), folder.children.rend());
    }
    return result;
  }

  // Lists one folder; its sub-folders become items of the walk.
  void Run(qsizetype item, int) override {
    ListedFolder* folder = nullptr;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (failure_ || stopped_) return;
      folder = &folders_[size_t(item)];  // the deque keeps its elements in place as it grows
      latest_ = size_t(item);
    }
    const bool shown = std::this_thread::get_id() == owner_;
    ProgressView& progress = shown ? *shown_ : quiet_;
    progress.SetStatus(folder->path);
    std::vector<DirectoryEntry> entries;
    folder->error = ListDirectory(folder->path, entries);
    ++foldersListed_;
    if (folder->error != 0) return;
    SortLikeNtfs(entries);
    std::vector<QString> subfolders;
    for (const DirectoryEntry& entry : entries) {
      progress.ProcessEvents();
      if (progress.Cancelled()) {
        Stop();
        return;
      }
      if (entry.hidden) continue;
      if (entry.kind == EntryKind::Directory) {
        // A link to a folder is not entered: it may lead back up the tree
        // and make the walk endless.
        if (!entry.isLink) subfolders.push_back(WithTrailingBackslash(folder->path + entry.name));
      } else if (entry.kind == EntryKind::File && filter_.Selects(entry.name)) {
        const QByteArray name = entry.name.toUtf8();
        folder->names.append(name.constData(), size_t(name.size()));
        folder->ends.push_back(quint32(folder->names.size()));
      }
    }
    // Growing by doubling leaves up to half of each folder's buffers unused,
    // and they are kept to the end of the run.
    folder->names.shrink_to_fit();
    folder->ends.shrink_to_fit();
    documentsFound_ += qint64(folder->ends.size());
    if (shown) progress.ScanProgress(foldersListed_, documentsFound_);
    size_t first = 0;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      first = folders_.size();
      for (QString& path : subfolders) {
        folder->children.push_back(folders_.size());
        folders_.push_back(ListedFolder{std::move(path), 0, {}, {}, {}});
      }
    }
    if (subfolders.empty()) return;
    if (pool_.Size() > 0) {
      pool_.Submit(*this, qsizetype(first), qsizetype(subfolders.size()));
    } else {
      for (size_t k = subfolders.size(); k-- > 0;) todo_.push_back(first + k);  // the first one next
    }
  }

  // Whether the user stopped the walk (the window closed, Ctrl+C).
  bool Stopped() const { return stopped_; }

  // A failure on any thread (a lack of memory) ends the walk on every one
  // and reaches the run's thread once all have stopped.
  void Failed(qsizetype, std::exception_ptr failure) noexcept override {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!failure_) failure_ = std::move(failure);
  }

 private:
  // Shows the folder taken last and lets the window's events run every few
  // milliseconds, until the helpers are done.
  void Watch(ProgressView& progress) {
    while (!pool_.WaitIdle(std::chrono::milliseconds(5))) {
      // A stop takes effect at once: the helpers leave the folders not yet
      // listed, however many a slow share still has.
      if (progress.Cancelled()) Stop();
      QString status;
      {
        const std::lock_guard<std::mutex> lock(mutex_);
        status = folders_[latest_].path;
      }
      progress.SetStatus(status);
      progress.ScanProgress(foldersListed_, documentsFound_);
      progress.ProcessEvents();
    }
  }

  void Stop() {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
  }

  const ExtensionFilter filter_;
  HeadlessProgress quiet_;  // the helpers' view: they show nothing
  ProgressView* shown_ = nullptr;
  std::thread::id owner_;
  WorkerPool& pool_;
  std::mutex mutex_;
  std::deque<ListedFolder> folders_;
  size_t latest_ = 0;           // the folder taken last
  std::vector<size_t> todo_;    // without helpers: the folders still to list, the next one last
  std::exception_ptr failure_;  // the first failure of any thread
  std::atomic<bool> stopped_{false};
  std::atomic<qint64> foldersListed_{0};   // listed or found unreadable, for the counts shown
  std::atomic<qint64> documentsFound_{0};
};

}  // namespace

FoundDocuments CollectFiles(RunLog& log, ProgressView& progress, WorkerPool& pool, const QString& folder,
                            const QString& extensions, bool* cancelled) {
  // A start folder without its trailing separator would glue the names onto
  // the folder's own name; it is taken as the folder meant.
  FolderWalk walk(extensions, WithTrailingBackslash(folder), pool);
  walk.Walk(progress);
  if (cancelled) *cancelled = walk.Stopped();
  return walk.Matches(log);
}

}  // namespace tbx
