// Fuzz target: a whole document through the compound-file reader and the
// property-set parser, then every value decoded.
#include <memory>

#include "cfb/cfb.h"
#include "propset/propset.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  tbx::FilePropertySets sets;
  (void)sets.Open(std::make_unique<tbx::MemoryByteSource>(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))));
  for (int i = 0; i < sets.Count(); ++i)
    for (const tbx::FileProperty& p : sets.Item(i)->Properties()) p.Value();
  return 0;
}
