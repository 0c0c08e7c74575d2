#include "platform/FileSystem.h"

#include "platform/Injection.h"
#include "platform/SystemCalls.h"

namespace tbx {
namespace {

std::function<QDateTime(const QString&)>& CreationTimeSource() {
  static std::function<QDateTime(const QString&)> source;
  return source;
}

}  // namespace

void SetCreationTimeSourceForTests(std::function<QDateTime(const QString&)> source) {
  CreationTimeSource() = std::move(source);
}

int FileCreationTime(const QString& path, QDateTime& created) {
  created = QDateTime();
  if (int e = InjectedFailure(FsCall::CreationTime)) return e;
  if (const auto& source = CreationTimeSource()) {
    created = source(path);
    return 0;
  }
  return SystemCreationTime(path, created);
}

}  // namespace tbx
