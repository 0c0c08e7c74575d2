#include "platform/posix/NativeNames.h"

#include <QHash>
#include <QStringList>
#include <mutex>
#include <shared_mutex>

#include "text/Encodings.h"

namespace tbx {
namespace {

// Paths (without a trailing "/") whose bytes are not the UTF-8 form of their
// text. Only such paths are kept, so a tree of UTF-8 names costs nothing; the
// document readers look paths up from several threads.
struct Registry {
  std::shared_mutex mutex;
  QHash<QString, QByteArray> bytes;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

QString WithoutTrailingSlash(const QString& path) {
  return path.size() > 1 && path.endsWith(u'/') ? path.left(path.size() - 1) : path;
}

}  // namespace

QByteArray NativePath(const QString& path) {
  Registry& r = TheRegistry();
  std::shared_lock lock(r.mutex);
  if (r.bytes.isEmpty()) return path.toUtf8();
  // The nearest remembered folder of path gives the leading bytes; the rest
  // (a temporary file beside a workbook, say) is new and written as UTF-8.
  QString head = WithoutTrailingSlash(path);
  for (;;) {
    if (const auto it = r.bytes.constFind(head); it != r.bytes.cend())
      return *it + path.mid(head.size()).toUtf8();
    const qsizetype cut = head.lastIndexOf(u'/');
    if (cut <= 0) return path.toUtf8();
    head.truncate(cut);
  }
}

void RememberNativePath(const QString& text, const QByteArray& bytes) {
  if (text.toUtf8() == bytes) return;
  QByteArray kept = bytes;
  if (kept.size() > 1 && kept.endsWith('/')) kept.chop(1);
  Registry& r = TheRegistry();
  std::unique_lock lock(r.mutex);
  r.bytes.insert(WithoutTrailingSlash(text), kept);
}

QString PathFromNative(const QByteArray& bytes) {
  // Name by name: one folder in Latin-1 must not turn the UTF-8 names below it
  // into Windows-1252 look-alikes.
  QStringList names;
  for (const QByteArray& name : bytes.split('/')) names << DecodeUtf8OrWindows1252(name);
  const QString text = names.join(u'/');
  RememberNativePath(text, bytes);
  return text;
}

}  // namespace tbx
