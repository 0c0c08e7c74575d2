#include "xlsx/PackageNumbers.h"

#ifndef _WIN32
#include <locale.h>
#endif

namespace tbx::xlsx {

#ifdef _WIN32

PackageNumbers::PackageNumbers() = default;
PackageNumbers::~PackageNumbers() = default;

#else

namespace {

// Made once and never freed: threads may hold it until the program ends.
locale_t ClassicLocale() {
  static const locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return classic;
}

}  // namespace

PackageNumbers::PackageNumbers() {
  // Without the locale object (no memory for it) the thread keeps its own,
  // which is right wherever that one writes a decimal point.
  if (const locale_t classic = ClassicLocale()) previous_ = uselocale(classic);
}

PackageNumbers::~PackageNumbers() {
  if (previous_ != nullptr) uselocale(static_cast<locale_t>(previous_));
}

#endif

}  // namespace tbx::xlsx
