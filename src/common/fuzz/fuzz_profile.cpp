// Fuzz target for the profile reader: any bytes, decoded and searched for a
// value and a key list, must neither crash nor exceed the buffer rules.
#include <cstdint>
#include <cstdlib>

#include "common/Profile.h"
#include "text/Encodings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const tbx::Profile profile =
      tbx::Profile::Parse(tbx::DecodeTextFile(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size))));
  const QString value = profile.Value(QStringLiteral("Abschnitt"), QStringLiteral("Schluessel"));
  const QString keys = profile.KeyNames(QStringLiteral("abschnitt"));
  if (value.size() >= tbx::kProfileBufferSize || keys.size() >= tbx::kProfileBufferSize) std::abort();
  return 0;
}
