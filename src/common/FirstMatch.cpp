#include "common/FirstMatch.h"

#include <cerrno>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/PathSeparator.h"

namespace tbx {
namespace {

// Whether an entry of this kind answers the lookup's attribute mask. "." and
// ".." are listed with folders, as they always were, although their names
// may count as hidden.
bool Answers(const QString& name, EntryKind kind, bool hidden, int attributes) {
  const bool dots = name == QLatin1String(".") || name == QLatin1String("..");
  if (!dots && hidden) return false;
  if (kind == EntryKind::File) return true;
  return kind == EntryKind::Directory && (attributes & kAttrDirectory);
}

}  // namespace

bool WildcardMatch(const QString& name, const QString& pattern) {
  // "*.*" has always meant every name, with or without a dot.
  if (pattern == QLatin1String("*.*")) return true;
  // Without recursion, so a hostile pattern such as "*a*a*a*b" cannot make
  // the lookup exponential.
  qsizetype n = 0, p = 0, starP = -1, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      starP = p++;
      starN = n;
    } else if (starP >= 0) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

int FindFirstEntry(const QString& path, int attributes, QString& name) {
  name.clear();
  if (path.isEmpty()) return ENOENT;
  const qsizetype cut = path.lastIndexOf(QChar(kPathSeparator));
  const QString folder = cut < 0 ? QString() : path.left(cut + 1);
  QString last = path.mid(cut + 1);

  if (last.isEmpty() || last.contains(u'*') || last.contains(u'?')) {
    // A folder path asks for its entries, the first of which is "." on every
    // file system, so a folder with mask 16 is found even when it is empty.
    if (last.isEmpty()) last = QStringLiteral("*");
    std::vector<DirectoryEntry> entries;
    if (int e = ListDirectory(folder, entries)) return e;
    if (attributes & kAttrDirectory) {
      for (const char* dots : {".", ".."}) {
        if (WildcardMatch(QLatin1String(dots), last)) {
          name = QLatin1String(dots);
          return 0;
        }
      }
    }
    for (const DirectoryEntry& entry : entries) {
      if (Answers(entry.name, entry.kind, entry.hidden, attributes) && WildcardMatch(entry.name, last)) {
        name = entry.name;
        return 0;
      }
    }
    return 0;
  }

  PathInfo info;
  if (int e = InspectPath(path, true, info)) return e;
  if (Answers(last, info.kind, info.hidden, attributes)) name = last;
  return 0;
}

}  // namespace tbx
