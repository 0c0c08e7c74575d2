#include "platform/SystemCalls.h"

// windows.h (through SystemNames.h) must come before the shell headers.
#include "platform/win32/SystemNames.h"
#include <shellapi.h>

namespace tbx {

bool OpenWithSystem(const QString& path) {
  // The application associated with the file's type, as a double click in
  // Explorer starts it. The shell wants the plain form of the path.
  std::wstring native = win32::SystemPath(path);
  if (native.rfind(L"\\\\?\\UNC\\", 0) == 0) native = L"\\\\" + native.substr(8);
  else if (native.rfind(L"\\\\?\\", 0) == 0) native = native.substr(4);
  const HINSTANCE result = ShellExecuteW(nullptr, L"open", native.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace tbx
