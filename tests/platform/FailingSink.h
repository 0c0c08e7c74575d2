#pragma once
// A file sink for save tests: the disk sink with one call made to fail.
#include <memory>

#include "platform/FileSink.h"

namespace tbx::test {

// The disk sink with one call made to fail: Create with an errno, or Write
// once more than a number of bytes went through.
class FailingSink : public FileSink {
 public:
  FailingSink(int createError, qint64 bytesBeforeFailure, int writeError)
      : createError_(createError), budget_(bytesBeforeFailure), writeError_(writeError) {}
  int Create(const QString& path) override { return createError_ ? createError_ : disk_->Create(path); }
  int Write(const char* data, qint64 size) override {
    if (budget_ >= 0 && size > budget_) {
      disk_->Write(data, budget_);
      return writeError_;
    }
    return disk_->Write(data, size);
  }
  int Close() override { return disk_->Close(); }
  int Rename(const QString& from, const QString& to) override { return disk_->Rename(from, to); }
  void Remove(const QString& path) override { disk_->Remove(path); }

 private:
  std::unique_ptr<FileSink> disk_ = MakeDiskSink();
  int createError_;
  qint64 budget_;
  int writeError_;
};

}  // namespace tbx::test
