#include "platform/IniFile.h"

#include <QStringDecoder>

#include "platform/FileSystem.h"

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

QString FromWindows1252(const QByteArray& bytes) {
  QString text(bytes.size(), Qt::Uninitialized);
  QChar* out = text.data();
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    out[i] = (b >= 0x80 && b < 0xA0) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
  }
  return text;
}

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

// Calls visit(line) for every key line of the first section named section,
// until visit returns false.
template <class Visit>
void ForEachKeyLine(const QString& text, const QString& section, Visit visit) {
  bool inSection = false, sectionSeen = false;
  qsizetype pos = 0;
  const QStringView all(text);
  while (pos < all.size()) {
    qsizetype end = pos;
    while (end < all.size() && all[end] != u'\n' && all[end] != u'\r') ++end;
    const ProfileLine line = ParseLine(all.mid(pos, end - pos));
    pos = end + 1;
    if (line.kind == ProfileLine::Section) {
      if (inSection) return;  // only the first matching section counts
      inSection = !sectionSeen && line.name.compare(section, Qt::CaseInsensitive) == 0;
      sectionSeen = sectionSeen || inSection;
    } else if (line.kind == ProfileLine::Key && inSection) {
      if (!visit(line)) return;
    }
  }
}

QString ReadText(const QString& file) {
  QByteArray bytes;
  if (ReadFileBounded(file, kProfileMaxFileBytes, bytes) != 0) return QString();
  return DecodeProfileText(bytes);
}

}  // namespace

QString DecodeProfileText(const QByteArray& bytes) {
  QByteArray body = bytes;
  if (body.startsWith("\xEF\xBB\xBF")) body.remove(0, 3);
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(body);
  if (!utf8.hasError()) return text;
  return FromWindows1252(body);
}

QString ProfileStringFromText(const QString& text, const QString& section, const QString& key) {
  QString value;
  ForEachKeyLine(text, section, [&](const ProfileLine& line) {
    if (line.name.compare(key, Qt::CaseInsensitive) != 0) return true;
    value = line.value.left(kProfileBufferSize - 1).toString();
    return false;
  });
  return value;
}

QString ProfileKeyNamesFromText(const QString& text, const QString& section) {
  // The buffer holds the names, a NUL behind each, and one more NUL at the
  // end; when they do not fit, the profile functions deliver the first
  // size - 2 characters.
  constexpr qsizetype kRoom = kProfileBufferSize - 2;
  QString names;
  ForEachKeyLine(text, section, [&](const ProfileLine& line) {
    names += line.name;
    names += QChar(0);
    if (names.size() + 1 <= kProfileBufferSize) return true;
    names.truncate(kRoom);
    return false;
  });
  return names;
}

QString ReadProfileString(const QString& file, const QString& section, const QString& key) {
  return ProfileStringFromText(ReadText(file), section, key);
}

QString ReadProfileKeyNames(const QString& file, const QString& section) {
  return ProfileKeyNamesFromText(ReadText(file), section);
}

}  // namespace tbx
