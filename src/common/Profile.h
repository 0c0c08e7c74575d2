#pragma once
// Reader of sectioned profile files ("ZireVuz.ini") with the rules of the
// Windows profile functions that configurations were written for: section
// and key names match without regard to case, the first matching section and
// the first matching key in it win, blanks around a value and one pair of
// matching quotes are removed, lines beginning with ";" are comments, and
// results are cut the way a 32000-character buffer cuts them. Lines that are
// neither headers, key lines nor comments are skipped. The reads of a run
// and the configuration check see the same parse, so the two cannot differ
// about which line counts.
#include <QByteArray>
#include <QHash>
#include <QString>
#include <memory>
#include <vector>

namespace tbx {

// The characters one read delivers at most, its terminating NUL included.
inline constexpr int kProfileBufferSize = 32000;

// The largest profile file read; anything bigger is no configuration file.
inline constexpr qint64 kProfileMaxFileBytes = 16 * 1024 * 1024;

// One key line (line numbers 1-based; a CR LF pair is one line end).
struct ProfileKey {
  QString name;   // blanks removed
  QString value;  // as a read delivers it: blanks and one pair of quotes removed, cut to the buffer
  int line = 0;
};

struct ProfileSection {
  QString name;
  int line = 0;
  std::vector<ProfileKey> keys;  // every key line in file order, repeated names included

  // The key a read of name finds: the first of that name (any case); nullptr when none.
  const ProfileKey* Key(const QString& name) const;
};

// A whole file as the reads see it.
struct Profile {
  std::vector<ProfileSection> sections;         // each section's first occurrence, in file order
  std::vector<ProfileSection> ignoredSections;  // later sections of a name already seen: never read
  std::vector<ProfileKey> keysBeforeSections;   // key lines above the first header: never read

  static Profile Parse(const QString& text);

  // The section a read of name finds; nullptr when none.
  const ProfileSection* Section(const QString& name) const;
  // The value of key in section, at most 31999 characters; "" when absent.
  QString Value(const QString& section, const QString& key) const;
  // The key names of section as the profile functions fill a buffer: each
  // name followed by NUL, cut to 31998 characters when they do not fit (the
  // last name then ends early); "" when the section is absent or has no keys.
  QString KeyNames(const QString& section) const;

 private:
  QHash<QString, size_t> index_;  // case-folded name -> position in sections
};

// One version of a profile file, parsed once and shared by every read of
// that version. Immutable, so any thread may read it; the run's loop takes
// one per document, so an edit during a run counts from the next document on.
class ProfileSnapshot {
 public:
  ProfileSnapshot();
  // The file it was read from ("" for the empty snapshot).
  const QString& File() const { return file_; }
  const Profile& Parsed() const { return *parsed_; }
  QString Value(const QString& section, const QString& key) const { return parsed_->Value(section, key); }
  QString KeyNames(const QString& section) const { return parsed_->KeyNames(section); }
  // Whether both show one version of the file, so values read from one
  // still hold for the other.
  bool SameVersion(const ProfileSnapshot& other) const { return parsed_ == other.parsed_; }

 private:
  friend ProfileSnapshot LoadProfile(const QString& file);
  ProfileSnapshot(QString file, std::shared_ptr<const Profile> parsed)
      : file_(std::move(file)), parsed_(std::move(parsed)) {}
  QString file_;
  std::shared_ptr<const Profile> parsed_;
};

// The file as it is now; an absent, unreadable or oversized file reads as
// empty. The text of the last file read is reused only while the file
// system shows that very version of it: a read costs one stat call, or on
// Linux none while a ProfileWatching is alive and the system tells of no
// change to the file (it is still looked at once a second, see
// FileChangeWatch).
ProfileSnapshot LoadProfile(const QString& file);

// Held by a loop that loads the configuration before every document, on
// any thread: while one is alive LoadProfile may trust a watch on the file.
// The last one to end stops the watch, well before the program's end
// closes it (see FileChangeWatch::Stop).
class ProfileWatching {
 public:
  ProfileWatching();
  ~ProfileWatching();
  ProfileWatching(const ProfileWatching&) = delete;
  ProfileWatching& operator=(const ProfileWatching&) = delete;
};

// Single reads of the file as it is now.
QString ReadProfileString(const QString& file, const QString& section, const QString& key);
QString ReadProfileKeyNames(const QString& file, const QString& section);

}  // namespace tbx
