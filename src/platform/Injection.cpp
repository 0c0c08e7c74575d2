#include "platform/Injection.h"

#include <array>
#include <atomic>
#include <mutex>

namespace tbx {
namespace {

struct Failure {
  int err = 0;
  qint64 afterBytes = 0;
  int times = -1;  // -1: every call
};

constexpr size_t kCalls = static_cast<size_t>(FsCall::Replace) + 1;

struct Table {
  std::mutex mutex;
  std::array<Failure, kCalls> failures{};
  std::atomic<bool> any{false};  // lets the calls of a real run skip the lock
};

Table& TheTable() {
  static Table table;
  return table;
}

}  // namespace

void InjectFileSystemErrorForTests(FsCall call, int err, qint64 afterBytes, int times) {
  Table& t = TheTable();
  const std::lock_guard<std::mutex> lock(t.mutex);
  t.failures[static_cast<size_t>(call)] = Failure{err, afterBytes, err == 0 ? -1 : times};
  bool any = false;
  for (const Failure& f : t.failures) any = any || f.err != 0;
  t.any = any;
}

void ClearInjectedFileSystemErrors() {
  for (size_t c = 0; c < kCalls; ++c) InjectFileSystemErrorForTests(static_cast<FsCall>(c), 0);
}

int InjectedFailure(FsCall call) {
  Table& t = TheTable();
  if (!t.any) return 0;
  const std::lock_guard<std::mutex> lock(t.mutex);
  Failure& f = t.failures[static_cast<size_t>(call)];
  if (f.err == 0 || f.times == 0) return 0;
  if (f.times > 0) --f.times;
  return f.err;
}

int InjectedWriteFailure(qint64 written, qint64 size, qint64& allowed) {
  allowed = size;
  Table& t = TheTable();
  if (!t.any) return 0;
  const std::lock_guard<std::mutex> lock(t.mutex);
  Failure& f = t.failures[static_cast<size_t>(FsCall::Write)];
  if (f.err == 0 || f.times == 0 || written + size <= f.afterBytes) return 0;
  if (f.times > 0) --f.times;
  allowed = qMax<qint64>(0, f.afterBytes - written);
  return f.err;
}

}  // namespace tbx
