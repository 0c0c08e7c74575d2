#include "common/Profile.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/FileChangeWatch.h"
#include "platform/FileSystem.h"
#include "text/Encodings.h"

namespace tbx {
namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

QStringView TrimBlanks(QStringView s) {
  qsizetype begin = 0, end = s.size();
  while (begin < end && IsBlank(s[begin])) ++begin;
  while (end > begin && IsBlank(s[end - 1])) --end;
  return s.mid(begin, end - begin);
}

struct ProfileLine {
  enum Kind { Other, Section, Key } kind = Other;
  QStringView name;
  QStringView value;
};

ProfileLine ParseLine(QStringView line) {
  // A NUL ends a line's text, as it ends the C strings the profile format comes from.
  const qsizetype nul = line.indexOf(QChar(0));
  if (nul >= 0) line = line.left(nul);
  const QStringView t = TrimBlanks(line);
  ProfileLine result;
  if (t.isEmpty() || t[0] == u';') return result;
  if (t[0] == u'[') {
    const qsizetype close = t.indexOf(u']');
    result.kind = ProfileLine::Section;
    result.name = TrimBlanks(t.mid(1, close < 0 ? -1 : close - 1));
    return result;
  }
  const qsizetype eq = t.indexOf(u'=');
  if (eq <= 0) return result;
  result.name = TrimBlanks(t.left(eq));
  if (result.name.isEmpty()) return result;
  result.kind = ProfileLine::Key;
  QStringView value = TrimBlanks(t.mid(eq + 1));
  if (value.size() >= 2 && (value[0] == u'"' || value[0] == u'\'') && value.back() == value[0])
    value = value.mid(1, value.size() - 2);
  result.value = value.left(kProfileBufferSize - 1);
  return result;
}

QString Folded(QStringView name) { return name.toString().toCaseFolded(); }

// The last file read, kept parsed while the file system vouches that it has
// not changed.
struct CachedProfile {
  std::mutex mutex;
  QString path;
  FileIdentity identity;
  std::shared_ptr<const Profile> profile;
  // While the system tells of no change to the file, it is looked at only
  // once a second: for what a watch cannot see, a folder above it renamed
  // or an edit on another machine sharing it (whose file systems keep the
  // attributes they report for about as long).
  std::unique_ptr<FileChangeWatch> watch;
  std::chrono::steady_clock::time_point lookedAt;
  int watchings = 0;  // ProfileWatching objects alive; without one no watch is made
};

CachedProfile& Cache() {
  static CachedProfile cache;
  return cache;
}

constexpr std::chrono::seconds kLookAgainAfter{1};

}  // namespace

const ProfileKey* ProfileSection::Key(const QString& name) const {
  for (const ProfileKey& k : keys)
    if (k.name.compare(name, Qt::CaseInsensitive) == 0) return &k;
  return nullptr;
}

Profile Profile::Parse(const QString& text) {
  Profile profile;
  // Key lines go to the section last opened; the vectors grow only when a
  // section opens, which points keys at the new one.
  std::vector<ProfileKey>* keys = &profile.keysBeforeSections;
  const QStringView all(text);
  int number = 1;
  qsizetype pos = 0;
  while (pos < all.size()) {
    qsizetype end = pos;
    while (end < all.size() && all[end] != u'\n' && all[end] != u'\r') ++end;
    const ProfileLine line = ParseLine(all.mid(pos, end - pos));
    if (line.kind == ProfileLine::Section) {
      ProfileSection section{line.name.toString(), number, {}};
      const QString folded = Folded(line.name);
      const bool added = !profile.index_.contains(folded);
      if (added) profile.index_.insert(folded, profile.sections.size());
      std::vector<ProfileSection>& into = added ? profile.sections : profile.ignoredSections;
      into.push_back(std::move(section));
      keys = &into.back().keys;
    } else if (line.kind == ProfileLine::Key) {
      keys->push_back(ProfileKey{line.name.toString(), line.value.toString(), number});
    }
    if (end + 1 < all.size() && all[end] == u'\r' && all[end + 1] == u'\n') ++end;
    pos = end + 1;
    ++number;
  }
  return profile;
}

const ProfileSection* Profile::Section(const QString& name) const {
  const auto it = index_.constFind(name.toCaseFolded());
  return it == index_.cend() ? nullptr : &sections[*it];
}

QString Profile::Value(const QString& section, const QString& key) const {
  const ProfileSection* s = Section(section);
  const ProfileKey* k = s ? s->Key(key) : nullptr;
  return k ? k->value : QString();
}

QString Profile::KeyNames(const QString& section) const {
  // The buffer holds the names, a NUL behind each, and one more NUL at the
  // end; when they do not fit, the profile functions deliver the first
  // size - 2 characters.
  QString names;
  const ProfileSection* s = Section(section);
  if (!s) return names;
  for (const ProfileKey& k : s->keys) {
    names += k.name;
    names += QChar(0);
    if (names.size() + 1 > kProfileBufferSize) {
      names.truncate(kProfileBufferSize - 2);
      break;
    }
  }
  return names;
}

ProfileSnapshot::ProfileSnapshot() : parsed_(std::make_shared<const Profile>()) {}

ProfileWatching::ProfileWatching() {
  const std::lock_guard<std::mutex> lock(Cache().mutex);
  ++Cache().watchings;
}

ProfileWatching::~ProfileWatching() {
  CachedProfile& cache = Cache();
  const std::lock_guard<std::mutex> lock(cache.mutex);
  if (--cache.watchings == 0 && cache.watch) cache.watch->Stop();
}

ProfileSnapshot LoadProfile(const QString& file) {
  CachedProfile& cache = Cache();
  static const auto empty = std::make_shared<const Profile>();
  const auto now = std::chrono::steady_clock::now();
  bool watchHolds = false;
  bool watching = false;
  {
    const std::lock_guard<std::mutex> lock(cache.mutex);
    watchHolds = cache.watch && cache.path == file && !cache.watch->MayHaveChanged();
    if (watchHolds && now - cache.lookedAt < kLookAgainAfter) return ProfileSnapshot(file, cache.profile);
    watching = cache.watchings > 0;
  }
  FileIdentity identity;
  if (IdentifyFile(file, identity) != 0) return ProfileSnapshot(file, empty);
  // A watch that has seen no change stays through the look once a second.
  // A new one is made only for a version that will be kept (one changed in
  // the last seconds is read every time), as making and closing a watch
  // costs more than a look (see FileChangeWatch::Stop), and before another
  // look, so that a change right after it is told.
  std::unique_ptr<FileChangeWatch> watch;
  if (watching && !watchHolds && identity.settled) {
    watch = std::make_unique<FileChangeWatch>(file);
    if (IdentifyFile(file, identity) != 0) return ProfileSnapshot(file, empty);
  }
  {
    const std::lock_guard<std::mutex> lock(cache.mutex);
    if (identity.settled && cache.path == file && cache.identity.SameVersion(identity)) {
      if (watch) cache.watch = std::move(watch);
      cache.lookedAt = now;
      return ProfileSnapshot(file, cache.profile);
    }
  }
  QByteArray bytes;
  if (ReadFileBounded(file, kProfileMaxFileBytes, bytes) != 0) return ProfileSnapshot(file, empty);
  auto profile = std::make_shared<const Profile>(Profile::Parse(DecodeTextFile(bytes)));
  if (identity.settled) {
    const std::lock_guard<std::mutex> lock(cache.mutex);
    cache.path = file;
    cache.identity = identity;
    cache.profile = profile;
    cache.watch = std::move(watch);
    cache.lookedAt = now;
  }
  return ProfileSnapshot(file, std::move(profile));
}

QString ReadProfileString(const QString& file, const QString& section, const QString& key) {
  return LoadProfile(file).Value(section, key);
}

QString ReadProfileKeyNames(const QString& file, const QString& section) {
  return LoadProfile(file).KeyNames(section);
}

}  // namespace tbx
