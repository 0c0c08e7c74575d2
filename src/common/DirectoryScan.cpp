#include "common/DirectoryScan.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/Config.h"
#include "common/PathHelpers.h"
#include "platform/FileSystem.h"
#include "platform/ProgressView.h"

namespace tbx {
namespace {

// POSIX lists a folder in no fixed order. Users know the order of NTFS
// listings, which compare names by their upper-case forms code point by code
// point; names equal that way keep the order of their exact code points.
struct SortKey {
  std::u32string upper;
  std::u32string exact;
  bool operator<(const SortKey& other) const {
    const int byUpper = upper.compare(other.upper);
    return byUpper != 0 ? byUpper < 0 : exact < other.exact;
  }
};

SortKey KeyOf(const QString& name) {
  SortKey key;
  key.exact = name.toStdU32String();
  key.upper.reserve(key.exact.size());
  for (char32_t c : key.exact) key.upper.push_back(static_cast<char32_t>(QChar::toUpper(c)));
  return key;
}

void SortLikeNtfs(std::vector<DirectoryEntry>& entries) {
  std::vector<std::pair<SortKey, size_t>> keyed;
  keyed.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) keyed.emplace_back(KeyOf(entries[i].name), i);
  std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
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
    const QString token = QLatin1Char(' ') + PathPart(fileName, ExtensionPart) + QLatin1Char(' ');
    return padded_.contains(token, Qt::CaseSensitive);
  }

 private:
  QString padded_;
  bool everything_;
};

}  // namespace

QStringList CollectFiles(const QString& folder, const QString& extensions) {
  const ExtensionFilter filter(extensions);
  ProgressView& progress = TheProgress();
  QStringList result;
  // An explicit stack of folders still to walk, the next one on top: a walk
  // in pre-order gives every folder's own matches before those of its
  // sub-folders, like a recursive walk, without a depth limit of the stack.
  // A start folder without its trailing separator would glue the names onto
  // the folder's own name; it is taken as the folder meant.
  std::vector<QString> pending{WithTrailingBackslash(folder)};
  std::vector<DirectoryEntry> entries;
  while (!pending.empty()) {
    const QString current = std::move(pending.back());
    pending.pop_back();
    progress.SetStatus(current);
    if (const int err = ListDirectory(current, entries)) throw FileSystemError(err, current);
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
