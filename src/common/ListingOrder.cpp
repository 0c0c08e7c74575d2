#include "common/ListingOrder.h"

#include <algorithm>
#include <utility>

namespace tbx {
namespace {

// The name with every code point mapped to its simple upper-case form.
QString UpperForm(const QString& name) {
  // Most names are ASCII: those are mapped in place without the Unicode tables.
  QString upper = name;
  char16_t* out = reinterpret_cast<char16_t*>(upper.data());
  bool ascii = true;
  for (qsizetype i = 0; i < upper.size() && ascii; ++i) {
    if (out[i] >= 0x80) ascii = false;
    else if (out[i] >= u'a' && out[i] <= u'z') out[i] = static_cast<char16_t>(out[i] - (u'a' - u'A'));
  }
  if (ascii) return upper;
  upper.clear();
  upper.reserve(name.size());
  for (qsizetype i = 0; i < name.size(); ++i) {
    char32_t c = name[i].unicode();
    if (QChar::isHighSurrogate(c) && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(name[i].unicode(), name[i + 1].unicode());
      ++i;
    }
    upper.append(QStringView(QChar::fromUcs4(QChar::toUpper(c))));
  }
  return upper;
}

// UTF-16 texts in the order of their code points: a surrogate (a code point
// beyond U+FFFF) sorts after every other unit, although U+E000..U+FFFF are
// numerically above it.
int CompareCodePoints(const QString& a, const QString& b) {
  const qsizetype n = std::min(a.size(), b.size());
  for (qsizetype i = 0; i < n; ++i) {
    char16_t x = a[i].unicode(), y = b[i].unicode();
    if (x == y) continue;
    if (x >= 0xD800 && y >= 0xD800) {
      x = x >= 0xE000 ? x - 0x800 : x + 0x2000;
      y = y >= 0xE000 ? y - 0x800 : y + 0x2000;
    }
    return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

void SortLikeNtfs(std::vector<DirectoryEntry>& entries) {
  std::vector<std::pair<QString, size_t>> keyed;
  keyed.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) keyed.emplace_back(UpperForm(entries[i].name), i);
  std::sort(keyed.begin(), keyed.end(), [&entries](const auto& a, const auto& b) {
    const int byUpper = CompareCodePoints(a.first, b.first);
    return byUpper != 0 ? byUpper < 0 : CompareCodePoints(entries[a.second].name, entries[b.second].name) < 0;
  });
  std::vector<DirectoryEntry> sorted;
  sorted.reserve(entries.size());
  for (const auto& k : keyed) sorted.push_back(std::move(entries[k.second]));
  entries.swap(sorted);
}

}  // namespace tbx
