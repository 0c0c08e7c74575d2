// libFuzzer target for the profile reader: any bytes, decoded and searched
// for a value and a key list, must neither crash nor exceed the buffer rules.
//   clang++ -g -O1 -fsanitize=fuzzer,address,undefined -I src $(pkg-config --cflags Qt6Core) -fPIC \
//     tests/platform/fuzz/fuzz_inifile.cpp src/platform/IniFile.cpp src/platform/FileSystem.cpp \
//     src/platform/RunError.cpp $(pkg-config --libs Qt6Core) -o fuzz_inifile
#include <cstdint>
#include <cstdlib>

#include "platform/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = tbx::DecodeProfileText(QByteArray(reinterpret_cast<const char*>(data), int(size)));
  const QString value = tbx::ProfileStringFromText(text, QStringLiteral("Config"), QStringLiteral("GUI"));
  const QString keys = tbx::ProfileKeyNamesFromText(text, QStringLiteral("config"));
  if (value.size() >= tbx::kProfileBufferSize || keys.size() >= tbx::kProfileBufferSize) std::abort();
  return 0;
}
