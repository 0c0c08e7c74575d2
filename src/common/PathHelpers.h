#pragma once
// Small text and path helpers shared by every part of a run.
#include <QString>
#include <QStringList>

#include "common/FirstMatch.h"
#include "platform/PathSeparator.h"

namespace tbx {

enum PathPartSelector : int {
  DirectoryPart = 2,  // folder part with trailing separator, or ""
  FileNamePart = 3,   // text after the last separator
  BaseNamePart = 4,   // file name without its last extension
  ExtensionPart = 5,  // text after the last "." of the whole path
};

// One part of a path; only sep separates folders.
QString PathPart(const QString& path, PathPartSelector part, QChar sep = QChar(kPathSeparator));

// Whether a directory lookup finds the path: mask 0 non-hidden plain files,
// 16 folders too; "*" and "?" in the last element are honoured; failures give false.
bool PathExists(const QString& path, int attributes);

// Whether path names a regular file (after links).
bool IsRegularFile(const QString& path);

// The absolute path with links, "." and ".." resolved as far as it exists,
// so that two names of one file compare equal.
QString CanonicalPath(const QString& path);

// Whether value fits pattern ("9" digit, "!" letter, "*" letter or digit, else literal).
bool MatchFormat(const QString& value, const QString& pattern);

// ASCII character-class tests; false for "".
bool IsDigitsOnly(QStringView text);
bool IsLettersOnly(QStringView text);

// "Tabellix 1.0.0".
QString TitleAndVersion();

// Upper bound minus lower bound of a list: count - 1, -1 when empty.
qint16 ArrayLastOffset(const QStringList& list);

}  // namespace tbx
