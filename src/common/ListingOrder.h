#pragma once
// The order of a folder's entries. POSIX lists a folder in no fixed order;
// users know the order of NTFS listings, which compare names by their
// upper-case forms code point by code point, names equal that way keeping
// the order of their exact code points.
#include <vector>

#include "platform/FileSystem.h"

namespace tbx {

// Sorts entries into the order of an NTFS listing.
void SortLikeNtfs(std::vector<DirectoryEntry>& entries);

}  // namespace tbx
