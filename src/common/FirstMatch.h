#pragma once
// The classic first-match directory lookup that PathExists is built on: the
// first entry a path with wildcards matches under an attribute mask.
#include <QString>

namespace tbx {

// Attribute masks of the lookup: plain files only, or folders too.
inline constexpr int kAttrNormal = 0;
inline constexpr int kAttrDirectory = 16;

// name receives the first entry that path matches under the attribute mask
// (kAttrNormal: non-hidden plain files; kAttrDirectory: folders too), "" when
// none does; the result is the errno of a listing or look-up that failed.
// "*" and "?" are honoured in the last path element; a path ending in the
// separator asks for the entries of that folder.
[[nodiscard]] int FindFirstEntry(const QString& path, int attributes, QString& name);

// Whether name fits a pattern of "*" and "?" ("*.*" fits every name).
bool WildcardMatch(const QString& name, const QString& pattern);

}  // namespace tbx
