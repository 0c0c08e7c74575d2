#pragma once
// Control characters as readers can see them. File names may hold ESC, BEL,
// CR or LF; written raw into a log they would add lines of their own that
// look like the program's, and on a terminal they would move the cursor,
// clear the screen or retitle the window.
#include <QString>

namespace tbx {

// Every control character except the tab (and line feeds when
// keepLineFeeds: messages of several lines) written as \n, \r or \xNN;
// other text as it is.
QString EscapeControlCharacters(const QString& text, bool keepLineFeeds = false);

}  // namespace tbx
