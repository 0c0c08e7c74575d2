#include "text/ControlCharacters.h"

#include <algorithm>

namespace tbx {
namespace {

// C1 controls count too: terminals take U+009B as the start of a command.
bool IsControl(QChar c) {
  const char16_t u = c.unicode();
  return (u < 0x20 && u != u'\t') || u == 0x7F || (u >= 0x80 && u < 0xA0);
}

}  // namespace

QString EscapeControlCharacters(const QString& text, bool keepLineFeeds) {
  const auto escaped = [&](QChar c) { return IsControl(c) && !(keepLineFeeds && c == u'\n'); };
  if (std::none_of(text.begin(), text.end(), escaped)) return text;
  QString out;
  out.reserve(text.size() + 8);
  for (QChar c : text) {
    if (!escaped(c)) out += c;
    else if (c == u'\n') out += QStringLiteral("\\n");
    else if (c == u'\r') out += QStringLiteral("\\r");
    else out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
  }
  return out;
}

}  // namespace tbx
