#include "platform/NativeNames.h"

#include <QHash>
#include <QStringList>
#include <QStringDecoder>
#include <mutex>
#include <shared_mutex>

namespace tbx {
namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five codes it
// leaves unassigned map to themselves, as Windows' own conversion does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

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

// Text in Windows-1252, the code page of the systems these files come from.
QString FromWindows1252(const QByteArray& bytes) {
  QString text(bytes.size(), Qt::Uninitialized);
  QChar* out = text.data();
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    out[i] = (b >= 0x80 && b < 0xA0) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
  }
  return text;
}

}  // namespace

QString DecodeNativeName(const QByteArray& bytes, bool* utf8) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder.decode(bytes);
  if (utf8) *utf8 = !decoder.hasError();
  return decoder.hasError() ? FromWindows1252(bytes) : text;
}

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
  for (const QByteArray& name : bytes.split('/')) names << DecodeNativeName(name);
  const QString text = names.join(u'/');
  RememberNativePath(text, bytes);
  return text;
}

}  // namespace tbx
