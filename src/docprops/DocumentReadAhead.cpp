#include "docprops/DocumentReadAhead.h"

#include <algorithm>
#include <chrono>

#include "platform/Threads.h"

namespace tbx {

DocumentReadAhead::DocumentReadAhead(QStringList paths, QStringList names, int readers, int window)
    : paths_(std::move(paths)), names_(std::move(names)), window_(std::max(1, window)) {
  if (readers < 2) return;
  for (int i = 0; i < readers; ++i) readers_.emplace_back([this] { Work(); });
}

DocumentReadAhead::~DocumentReadAhead() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : readers_) t.join();
}

void DocumentReadAhead::Work() {
  LowerHelperPriority();
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    ++sleepers_;
    wake_.wait(lock, [this] { return stop_ || (next_ < paths_.size() && next_ < taken_ + window_); });
    --sleepers_;
    if (stop_) return;
    const qsizetype index = next_++;
    done_[index];  // claimed: the loop waits for it rather than reading it itself
    const QString path = paths_[index];
    lock.unlock();
    DocumentParse parse = ParseDocument(path);
    PrepareLookUps(parse, names_);
    lock.lock();
    if (index >= taken_) done_[index] = std::move(parse);
    if (awaited_ == index) ready_.notify_one();  // the loop waits for this very parse
  }
}

std::optional<DocumentParse> DocumentReadAhead::Take(qsizetype index, const std::function<void()>& whileWaiting) {
  if (readers_.empty() || index < 0 || index >= paths_.size()) return std::nullopt;
  std::unique_lock<std::mutex> lock(mutex_);
  // A skipped document's parse is dropped; one never claimed is read here.
  done_.erase(done_.begin(), done_.lower_bound(index));
  std::optional<DocumentParse> parse;
  if (index < next_) {
    awaited_ = index;
    const auto ready = [&] { return done_[index].has_value(); };
    if (whileWaiting) {
      while (!ready_.wait_for(lock, std::chrono::milliseconds(10), ready)) {
        lock.unlock();
        whileWaiting();
        lock.lock();
      }
    } else {
      ready_.wait(lock, ready);
    }
    awaited_ = -1;
    parse = std::move(done_[index]);
    done_.erase(index);
  }
  taken_ = index + 1;
  next_ = std::max(next_, taken_);
  // Sleeping readers are woken once half the window is free, not for every
  // document: on a fast local disk the wake-ups would cost more than the reads.
  const bool wake = sleepers_ > 0 && next_ - taken_ <= window_ / 2;
  lock.unlock();
  if (wake) wake_.notify_all();
  return parse;
}

}  // namespace tbx
