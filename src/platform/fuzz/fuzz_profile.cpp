// Fuzz target for the profile reader: any bytes, decoded and searched for a
// value and a key list, must neither crash nor exceed the buffer rules.
#include <cstdint>
#include <cstdlib>

#include "platform/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = tbx::DecodeProfileText(QByteArray(reinterpret_cast<const char*>(data), int(size)));
  const QString value = tbx::ProfileStringFromText(text, QStringLiteral("Abschnitt"), QStringLiteral("Schluessel"));
  const QString keys = tbx::ProfileKeyNamesFromText(text, QStringLiteral("abschnitt"));
  if (value.size() >= tbx::kProfileBufferSize || keys.size() >= tbx::kProfileBufferSize) std::abort();
  return 0;
}
