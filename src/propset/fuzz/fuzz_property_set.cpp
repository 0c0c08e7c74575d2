// Fuzz target: one property-set stream through the parser.
#include "propset/propset.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  std::vector<tbx::PropertySection> sections;
  (void)tbx::ParsePropertySetStream(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), &sections);
  for (const tbx::PropertySection& s : sections)
    for (const tbx::RawProperty& p : s.properties)
      tbx::DecodePropertyValue(s.stream, s.start, s.size, p.offset, s.codePage);
  return 0;
}
