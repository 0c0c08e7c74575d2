#include "platform/FileChangeWatch.h"

#include <unistd.h>

#include <cerrno>

#include "platform/posix/NativeNames.h"

#ifdef Q_OS_LINUX
#include <sys/inotify.h>

namespace tbx {
namespace {

// Everything that may give the file other contents or put another file in
// its place, in the folder and on the file (its link's target) itself.
constexpr uint32_t kChanges = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVED_FROM | IN_MOVED_TO | IN_CREATE |
                              IN_DELETE | IN_DELETE_SELF | IN_MOVE_SELF;

}  // namespace

FileChangeWatch::FileChangeWatch(const QString& path) {
  const QByteArray native = NativePath(path);
  const qsizetype slash = native.lastIndexOf('/');
  const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : native.left(slash);
  name_ = native.mid(slash + 1);
  const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) return;
  folderWatch_ = ::inotify_add_watch(fd, folder.constData(), kChanges | IN_ONLYDIR);
  if (folderWatch_ < 0 || name_.isEmpty()) {
    ::close(fd);
    return;
  }
  // A missing file has no watch of its own; its creation shows in the folder.
  fileWatch_ = ::inotify_add_watch(fd, native.constData(), kChanges);
  handle_ = fd;
}

FileChangeWatch::~FileChangeWatch() {
  if (handle_ >= 0) ::close(handle_);
}

void FileChangeWatch::Stop() {
  changed_ = true;
  if (handle_ < 0) return;
  for (int* watch : {&folderWatch_, &fileWatch_}) {
    if (*watch >= 0) ::inotify_rm_watch(handle_, *watch);
    *watch = -1;
  }
}

bool FileChangeWatch::MayHaveChanged() {
  if (handle_ < 0 || changed_) return true;
  alignas(inotify_event) char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(handle_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && errno == EAGAIN) return false;
    if (got <= 0) return changed_ = true;
    for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += ssize_t(sizeof(inotify_event) + event->len);
      // Other files of the folder, such as the day's log beside the
      // configuration, say nothing about this one. Everything else does,
      // a lost event (IN_Q_OVERFLOW) and a watch gone (IN_IGNORED) included.
      if (event->wd == folderWatch_ && event->len > 0 && name_ != event->name) continue;
      return changed_ = true;
    }
  }
}

}  // namespace tbx

#else

namespace tbx {

FileChangeWatch::FileChangeWatch(const QString&) {}
FileChangeWatch::~FileChangeWatch() = default;
bool FileChangeWatch::MayHaveChanged() { return true; }
void FileChangeWatch::Stop() {}

}  // namespace tbx

#endif
