#pragma once
// Reader of sectioned profile files ("ZireVuz.ini") with the rules of the
// Windows profile functions that configurations were written for: section
// and key names match without regard to case, the first matching section and
// the first matching key in it win, blanks around a value and one pair of
// matching quotes are removed, lines beginning with ";" are comments, and
// results are cut the way a 32000-character buffer cuts them. Lines that are
// neither headers, key lines nor comments are skipped. Every read sees the
// file as it is now: the text of the last file read is reused only while the
// file system shows that very version of it.
#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

namespace tbx {

// The characters one read delivers at most, its terminating NUL included.
inline constexpr int kProfileBufferSize = 32000;

// The largest profile file read; anything bigger is no configuration file.
inline constexpr qint64 kProfileMaxFileBytes = 16 * 1024 * 1024;

// Profile text from file bytes: UTF-8 (a BOM skipped), or Windows-1252 when
// the bytes are not valid UTF-8, so files saved on Windows keep their umlauts.
QString DecodeProfileText(const QByteArray& bytes);

// The value of key in section, at most 31999 characters; "" when the file,
// section or key is absent, unreadable or no text file.
QString ReadProfileString(const QString& file, const QString& section, const QString& key);
QString ProfileStringFromText(const QString& text, const QString& section, const QString& key);

// One line of a profile as the reader understands it, for tools that report
// on a configuration by line number (1-based; a CR LF pair is one line end).
struct ProfileEntry {
  int line = 0;
  bool isSection = false;  // else a key line; comments and other lines are left out
  QString name;            // section or key name, blanks removed
  QString value;           // a key's value as a read delivers it
};
std::vector<ProfileEntry> ProfileEntries(const QString& text);

// While a pin of file lives, reads of that file on this thread see the
// version the pin read, without asking the file system again: a run's loop
// looks at its configuration once per document instead of once per read.
class ProfilePin {
 public:
  explicit ProfilePin(const QString& file);
  ~ProfilePin();
  ProfilePin(const ProfilePin&) = delete;
  ProfilePin& operator=(const ProfilePin&) = delete;

  // The version the pin read; pins of an unchanged file share it, so a
  // caller may keep values read under one pin while later pins give the same.
  std::shared_ptr<const void> Version() const;

 private:
  struct Pinned;
  Pinned* pinned_;
};

// The key names of section as the profile functions fill a buffer: each name
// followed by NUL, cut to 31998 characters when they do not fit (the last name
// then ends early); "" when the file or the section is absent or has no keys.
QString ReadProfileKeyNames(const QString& file, const QString& section);
QString ProfileKeyNamesFromText(const QString& text, const QString& section);

}  // namespace tbx
