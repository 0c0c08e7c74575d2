// Test helper for the Windows build: runs a console program and presses
// Ctrl+C for it once a file (its run log) holds a text, so that a test under
// Wine can prove what the program does on Ctrl+C in the middle of its work,
// however fast the machine is.
//   send_ctrl_c.exe FILE TEXT PROGRAM.exe [ARGUMENTS...]
// Ends with the program's exit status; a program that ends before the text
// shows gets no event.
//
// A program whose output goes to a file (as under tools/wine-test.sh) has no
// console, and a console event needs one: the helper gives up the console it
// may have, makes a new one for itself and the program, and hands the program
// its own standard handles so the output still reaches the file. The event
// goes to every process on that console; the helper ignores it itself.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

// Whether the file holds text (in the ANSI code page, as the log is written).
bool FileHolds(const wchar_t* file, const std::string& text) {
  HANDLE h = CreateFileW(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  std::string content;
  char buffer[65536];
  DWORD n = 0;
  while (ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n > 0) content.append(buffer, n);
  CloseHandle(h);
  return content.find(text) != std::string::npos;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) return 2;
  const wchar_t* file = argv[1];
  const int size = WideCharToMultiByte(CP_ACP, 0, argv[2], -1, nullptr, 0, nullptr, nullptr);
  std::string text(size_t(size > 0 ? size - 1 : 0), '\0');
  WideCharToMultiByte(CP_ACP, 0, argv[2], -1, text.data(), size, nullptr, nullptr);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  FreeConsole();
  if (!AllocConsole()) return 3;

  // The program's command line is this one's from the program's name on, as
  // the caller quoted it.
  wchar_t* line = GetCommandLineW();
  wchar_t* rest = std::wcsstr(line, argv[3]);
  if (!rest) return 2;
  if (rest > line && rest[-1] == L'"') --rest;

  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, rest, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) return 4;
  while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT) {
    if (FileHolds(file, text)) {
      SetConsoleCtrlHandler(nullptr, TRUE);
      GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
      break;
    }
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 1;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}
