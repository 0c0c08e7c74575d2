#include "common/DirectoryScan.h"

#include <algorithm>
#include <vector>

#include "common/Config.h"
#include "common/PathHelpers.h"
#include "common/RunLog.h"
#include "interaction/ProgressView.h"
#include "platform/FileSystem.h"

namespace tbx {
namespace {

// POSIX lists a folder in no fixed order. Users know the order of NTFS
// listings, which compare names by their upper-case forms code point by code
// point; names equal that way keep the order of their exact code points.

// The name with every code point mapped to its simple upper-case form.
QString UpperForm(const QString& name) {
  // Most names are ASCII: those are mapped in place without the Unicode tables.
  QString upper = name;
  char16_t* out = reinterpret_cast<char16_t*>(upper.data());
  bool ascii = true;
  for (qsizetype i = 0; i < upper.size() && ascii; ++i) {
    if (out[i] >= 0x80) ascii = false;
    else if (out[i] >= u'a' && out[i] <= u'z') out[i] = static_cast<char16_t>(out[i] - (u'a' - u'A'));
  }
  if (ascii) return upper;
  upper.clear();
  upper.reserve(name.size());
  for (qsizetype i = 0; i < name.size(); ++i) {
    char32_t c = name[i].unicode();
    if (QChar::isHighSurrogate(c) && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(name[i].unicode(), name[i + 1].unicode());
      ++i;
    }
    upper.append(QStringView(QChar::fromUcs4(QChar::toUpper(c))));
  }
  return upper;
}

// UTF-16 texts in the order of their code points: a surrogate (a code point
// beyond U+FFFF) sorts after every other unit, although U+E000..U+FFFF are
// numerically above it.
int CompareCodePoints(const QString& a, const QString& b) {
  const qsizetype n = std::min(a.size(), b.size());
  for (qsizetype i = 0; i < n; ++i) {
    char16_t x = a[i].unicode(), y = b[i].unicode();
    if (x == y) continue;
    if (x >= 0xD800 && y >= 0xD800) {
      x = x >= 0xE000 ? x - 0x800 : x + 0x2000;
      y = y >= 0xE000 ? y - 0x800 : y + 0x2000;
    }
    return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

void SortLikeNtfs(std::vector<DirectoryEntry>& entries) {
  std::vector<std::pair<QString, size_t>> keyed;
  keyed.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) keyed.emplace_back(UpperForm(entries[i].name), i);
  std::sort(keyed.begin(), keyed.end(), [&entries](const auto& a, const auto& b) {
    const int byUpper = CompareCodePoints(a.first, b.first);
    return byUpper != 0 ? byUpper < 0 : CompareCodePoints(entries[a.second].name, entries[b.second].name) < 0;
  });
  std::vector<DirectoryEntry> sorted;
  sorted.reserve(entries.size());
  for (const auto& k : keyed) sorted.push_back(std::move(entries[k.second]));
  entries.swap(sorted);
}

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

}  // namespace

QStringList CollectFiles(ProgressView& progress, const QString& folder, const QString& extensions) {
  const ExtensionFilter filter(extensions);
  QStringList result;
  // An explicit stack of folders still to walk, the next one on top: a walk
  // in pre-order gives every folder's own matches before those of its
  // sub-folders, like a recursive walk, without a depth limit of the stack.
  // A start folder without its trailing separator would glue the names onto
  // the folder's own name; it is taken as the folder meant.
  const QString start = WithTrailingBackslash(folder);
  std::vector<QString> pending{start};
  std::vector<DirectoryEntry> entries;
  while (!pending.empty()) {
    const QString current = std::move(pending.back());
    pending.pop_back();
    progress.SetStatus(current);
    if (const int err = ListDirectory(current, entries)) {
      // One folder the user may not read, or whose path is longer than the
      // system allows, must not cost the whole run; only a start folder
      // that cannot be listed ends it.
      if (current == start) throw FileSystemError(err, current);
      LogMessage(QStringLiteral("FEHLER: Verzeichnis wird übersprungen: ") + current + QStringLiteral(": ") +
                 ErrnoDescription(err));
      continue;
    }
    SortLikeNtfs(entries);
    const size_t firstChild = pending.size();
    for (const DirectoryEntry& entry : entries) {
      progress.ProcessEvents();
      if (entry.hidden()) continue;
      if (entry.kind == EntryKind::Directory) {
        // A link to a folder is not entered: it may lead back up the tree
        // and make the walk endless.
        if (!entry.isLink) pending.push_back(WithTrailingBackslash(current + entry.name));
      } else if (entry.kind == EntryKind::File && filter.Selects(entry.name)) {
        result.append(current + entry.name);
      }
    }
    // Sub-folders are walked in listing order: the first one on top.
    std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(firstChild), pending.end());
  }
  return result;
}

}  // namespace tbx
