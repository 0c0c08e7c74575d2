#include "common/PathHelpers.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <limits>

#include "common/Config.h"
#include "common/ProgramInfo.h"
#include "platform/FileSystem.h"
#include "common/ProgramInfo.h"

namespace tbx {
namespace {

// The text after the last occurrence of c, or "" when c is missing or last.
qsizetype CutAfterLast(const QString& text, QChar c) {
  const qsizetype at = text.lastIndexOf(c);
  return (at < 0 || at == text.size() - 1) ? -1 : at;
}

bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool IsAsciiLetter(QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// Only blanks count for the length test of a format check; tabs are characters.
QStringView TrimSpaces(QStringView s) {
  qsizetype begin = 0, end = s.size();
  while (begin < end && s[begin] == u' ') ++begin;
  while (end > begin && s[end - 1] == u' ') --end;
  return s.mid(begin, end - begin);
}

bool FitsPatternChar(QChar pattern, QStringView valueChar) {
  switch (pattern.unicode()) {
    case u'9': return IsDigitsOnly(valueChar);
    case u'!': return IsLettersOnly(valueChar);
    case u'*': return IsLettersOnly(valueChar) || IsDigitsOnly(valueChar);
    default: return valueChar.size() == 1 && valueChar[0] == pattern;
  }
}

}  // namespace

QString PathPart(const QString& path, PathPartSelector part, QChar sep) {
  switch (part) {
    case DirectoryPart: {
      const qsizetype at = path.lastIndexOf(sep);
      return at < 0 ? QString() : WithTrailingBackslash(path.left(at + 1), sep);
    }
    case FileNamePart: {
      const qsizetype at = CutAfterLast(path, sep);
      return at < 0 ? path : path.mid(at + 1);
    }
    case BaseNamePart: {
      const QString name = PathPart(path, FileNamePart, sep);
      const qsizetype dot = CutAfterLast(name, u'.');
      return dot < 0 ? name : name.left(dot);
    }
    case ExtensionPart: {
      // The whole path is searched, so a dot in a folder name counts too:
      // callers pass file names when they want the file's own extension.
      const qsizetype dot = CutAfterLast(path, u'.');
      return dot < 0 ? QString() : path.mid(dot + 1);
    }
  }
  return QString();
}

bool PathExists(const QString& path, int attributes) {
  QString name;
  return FindFirstEntry(path, attributes, name) == 0 && !name.isEmpty();
}

bool IsRegularFile(const QString& path) {
  PathInfo info;
  return InspectPath(path, true, info) == 0 && info.kind == EntryKind::File;
}

QString CanonicalPath(const QString& path) {
  const QFileInfo info(path);
  if (info.exists()) return QDir::toNativeSeparators(info.canonicalFilePath());
  // A file still to be made: its folder resolved, its name as written.
  const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
  return QDir::toNativeSeparators(folder.isEmpty() ? info.absolutePath() : folder) + kPathSeparator + info.fileName();
}

bool MatchFormat(const QString& value, const QString& pattern) {
  const QStringView trimmed = TrimSpaces(value);
  bool result = trimmed.size() == pattern.size();
  if (!trimmed.isEmpty()) {
    // The untrimmed value is compared, so a leading blank fails the check
    // while blanks behind the pattern's length are never looked at.
    for (qsizetype i = 0; i < pattern.size(); ++i) {
      const QStringView valueChar = QStringView(value).mid(i, i < value.size() ? 1 : 0);
      if (!FitsPatternChar(pattern[i], valueChar)) result = false;
    }
  }
  return result;
}

bool IsDigitsOnly(QStringView text) {
  if (text.isEmpty()) return false;
  for (QChar c : text)
    if (!IsAsciiDigit(c)) return false;
  return true;
}

bool IsLettersOnly(QStringView text) {
  if (text.isEmpty()) return false;
  for (QChar c : text)
    if (!IsAsciiLetter(c)) return false;
  return true;
}

QString TitleAndVersion() {
  return QStringLiteral("%1 %2.%3.%4")
      .arg(QString::fromLatin1(kProgramTitle))
      .arg(VersionMajor())
      .arg(VersionMinor())
      .arg(VersionRevision());
}

qint16 ArrayLastOffset(const QStringList& list) {
  if (list.isEmpty()) return -1;
  // A 16-bit result cannot say more than 32767; such lists only need "not empty".
  constexpr qsizetype kMax = std::numeric_limits<qint16>::max();
  return static_cast<qint16>(std::min(list.size() - 1, kMax));
}

}  // namespace tbx
