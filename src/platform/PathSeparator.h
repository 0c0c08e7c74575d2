#pragma once
// The one folder separator of the platform. Paths in the configuration, the
// log and the workbook use it where the Windows original wrote "\".
#include <QChar>
#include <QString>

namespace tbx {

#ifdef _WIN32
inline constexpr char16_t kPathSeparator = u'\\';
#else
inline constexpr char16_t kPathSeparator = u'/';
#endif

inline QString PathSeparatorText() { return QString(QChar(kPathSeparator)); }

}  // namespace tbx
