#pragma once
// Reading documents ahead of the run's loop. On a file server every open
// waits on the network, and one document at a time leaves the disk and the
// network idle; a pool of readers opens and parses the documents after the
// current one, within a bounded window, while the loop stays on one thread
// and in scan order. The loop takes each parse in its turn and hands it to
// the row's DocumentRowScope, so every log line and cell comes out as
// without read-ahead: only when the file was read differs (at most `window`
// documents before its turn).
#include <QStringList>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "docprops/DocumentRowScope.h"

namespace tbx {

class DocumentReadAhead {
 public:
  // Reads paths with `readers` threads, at most `window` documents ahead of
  // the last one taken, and looks up `names` there (PrepareLookUps), so the
  // loop neither decodes values nor frees parses. readers < 2 reads nothing ahead.
  DocumentReadAhead(QStringList paths, QStringList names, int readers, int window);
  ~DocumentReadAhead();
  DocumentReadAhead(const DocumentReadAhead&) = delete;
  DocumentReadAhead& operator=(const DocumentReadAhead&) = delete;

  // The parse of document `index` (0-based, in order), waiting for its
  // reader; std::nullopt without read-ahead. Documents may be skipped.
  // While it waits, whileWaiting runs every few milliseconds: a document
  // that keeps a file server waiting must not keep the window waiting too.
  std::optional<DocumentParse> Take(qsizetype index, const std::function<void()>& whileWaiting = {});

  // Whether documents are read ahead (else Take gives nothing).
  bool Active() const { return !readers_.empty(); }

 private:
  void Work();

  const QStringList paths_;
  const QStringList names_;
  const qsizetype window_;
  std::mutex mutex_;
  std::condition_variable wake_;   // readers: room in the window, or stop
  std::condition_variable ready_;  // the loop: a parse is done
  qsizetype next_ = 0;             // the next index a reader claims
  qsizetype taken_ = 0;            // every index below is no longer wanted
  std::map<qsizetype, std::optional<DocumentParse>> done_;  // nullopt while being read
  bool stop_ = false;
  int sleepers_ = 0;         // readers waiting for room in the window
  qsizetype awaited_ = -1;   // the index the loop waits for, -1 while it does not
  std::vector<std::thread> readers_;
};

}  // namespace tbx
