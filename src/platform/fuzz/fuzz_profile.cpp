// Fuzz target for the profile reader: any bytes, decoded and searched for a
// value and a key list, must neither crash nor exceed the buffer rules.
#include <cstdint>
#include <cstdlib>

#include "common/ConfigKeys.h"
#include "platform/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = tbx::DecodeProfileText(QByteArray(reinterpret_cast<const char*>(data), int(size)));
  const QString value = tbx::ProfileStringFromText(text, QString::fromLatin1(tbx::ini::kConfig), QString::fromLatin1(tbx::ini::kGui));
  const QString keys = tbx::ProfileKeyNamesFromText(text, QString::fromLatin1(tbx::ini::kConfig).toLower());
  if (value.size() >= tbx::kProfileBufferSize || keys.size() >= tbx::kProfileBufferSize) std::abort();
  return 0;
}
