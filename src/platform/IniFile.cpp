#include "platform/IniFile.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/NativeNames.h"

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
  result.value = value;
  return result;
}

// The file as the reads see it: each section's first occurrence with its
// key lines in file order. Later sections of the same name are never read.
struct ProfileSection {
  QString name;
  std::vector<std::pair<QString, QString>> keys;  // name as written, value
};
using ParsedProfile = std::vector<ProfileSection>;

ParsedProfile ParseProfile(const QString& text) {
  ParsedProfile sections;
  ProfileSection* current = nullptr;
  const QStringView all(text);
  qsizetype pos = 0;
  while (pos < all.size()) {
    qsizetype end = pos;
    while (end < all.size() && all[end] != u'\n' && all[end] != u'\r') ++end;
    const ProfileLine line = ParseLine(all.mid(pos, end - pos));
    pos = end + 1;
    if (line.kind == ProfileLine::Section) {
      current = nullptr;
      const bool seen = std::any_of(sections.begin(), sections.end(), [&](const ProfileSection& s) {
        return line.name.compare(s.name, Qt::CaseInsensitive) == 0;
      });
      if (!seen) current = &sections.emplace_back(ProfileSection{line.name.toString(), {}});
    } else if (line.kind == ProfileLine::Key && current) {
      current->keys.emplace_back(line.name.toString(), line.value.toString());
    }
  }
  return sections;
}

const ProfileSection* FindSection(const ParsedProfile& profile, const QString& section) {
  for (const ProfileSection& s : profile)
    if (s.name.compare(section, Qt::CaseInsensitive) == 0) return &s;
  return nullptr;
}

QString ValueIn(const ParsedProfile& profile, const QString& section, const QString& key) {
  if (const ProfileSection* s = FindSection(profile, section)) {
    for (const auto& [name, value] : s->keys)
      if (name.compare(key, Qt::CaseInsensitive) == 0) return value.left(kProfileBufferSize - 1);
  }
  return QString();
}

QString KeyNamesIn(const ParsedProfile& profile, const QString& section) {
  // The buffer holds the names, a NUL behind each, and one more NUL at the
  // end; when they do not fit, the profile functions deliver the first
  // size - 2 characters.
  QString names;
  const ProfileSection* s = FindSection(profile, section);
  if (!s) return names;
  for (const auto& entry : s->keys) {
    names += entry.first;
    names += QChar(0);
    if (names.size() + 1 > kProfileBufferSize) {
      names.truncate(kProfileBufferSize - 2);
      break;
    }
  }
  return names;
}

// A run reads the configuration again for every criterion and format check
// of every document; the last file read is kept parsed while the file system
// vouches that it has not changed, so that those reads cost one stat call.
struct CachedProfile {
  QString path;
  FileIdentity identity;
  std::shared_ptr<const ParsedProfile> profile;
};

// The innermost pin of this thread (see ProfilePin).
struct PinnedProfile {
  QString path;
  std::shared_ptr<const ParsedProfile> profile;
  PinnedProfile* outer;
};
thread_local PinnedProfile* innermostPin = nullptr;

std::shared_ptr<const ParsedProfile> ReadProfile(const QString& file) {
  for (const PinnedProfile* pin = innermostPin; pin; pin = pin->outer)
    if (pin->path == file) return pin->profile;
  static std::mutex mutex;
  static CachedProfile cache;
  static const auto empty = std::make_shared<const ParsedProfile>();
  FileIdentity identity;
  if (IdentifyFile(file, identity) != 0) return empty;
  {
    const std::lock_guard<std::mutex> lock(mutex);
    if (identity.settled && cache.path == file && cache.identity.SameVersion(identity)) return cache.profile;
  }
  QByteArray bytes;
  if (ReadFileBounded(file, kProfileMaxFileBytes, bytes) != 0) return empty;
  auto profile = std::make_shared<const ParsedProfile>(ParseProfile(DecodeProfileText(bytes)));
  if (identity.settled) {
    const std::lock_guard<std::mutex> lock(mutex);
    cache = CachedProfile{file, identity, profile};
  }
  return profile;
}

}  // namespace

struct ProfilePin::Pinned : PinnedProfile {};

ProfilePin::ProfilePin(const QString& file) : pinned_(new Pinned{{file, ReadProfile(file), innermostPin}}) {
  innermostPin = pinned_;
}

std::shared_ptr<const void> ProfilePin::Version() const { return pinned_->profile; }

ProfilePin::~ProfilePin() {
  innermostPin = pinned_->outer;
  delete pinned_;
}

QString DecodeProfileText(const QByteArray& bytes) {
  QByteArray body = bytes;
  if (body.startsWith("\xEF\xBB\xBF")) body.remove(0, 3);
  return DecodeNativeName(body);
}

std::vector<ProfileEntry> ProfileEntries(const QString& text) {
  std::vector<ProfileEntry> entries;
  const QStringView all(text);
  int number = 1;
  qsizetype pos = 0;
  while (pos < all.size()) {
    qsizetype end = pos;
    while (end < all.size() && all[end] != u'\n' && all[end] != u'\r') ++end;
    const ProfileLine line = ParseLine(all.mid(pos, end - pos));
    if (line.kind != ProfileLine::Other)
      entries.push_back({number, line.kind == ProfileLine::Section, line.name.toString(),
                         line.value.left(kProfileBufferSize - 1).toString()});
    if (end + 1 < all.size() && all[end] == u'\r' && all[end + 1] == u'\n') ++end;
    pos = end + 1;
    ++number;
  }
  return entries;
}

QString ProfileStringFromText(const QString& text, const QString& section, const QString& key) {
  return ValueIn(ParseProfile(text), section, key);
}

QString ProfileKeyNamesFromText(const QString& text, const QString& section) {
  return KeyNamesIn(ParseProfile(text), section);
}

QString ReadProfileString(const QString& file, const QString& section, const QString& key) {
  return ValueIn(*ReadProfile(file), section, key);
}

QString ReadProfileKeyNames(const QString& file, const QString& section) {
  return KeyNamesIn(*ReadProfile(file), section);
}

}  // namespace tbx
