// Test helper for the Windows build: runs a console program and presses
// Ctrl+C for it after a while, so that a test under Wine can prove what the
// program does on Ctrl+C.
//   send_ctrl_c.exe MILLISECONDS PROGRAM.exe [ARGUMENTS...]
// Ends with the program's exit status; a program that ends before the time
// is up gets no event.
//
// A program whose output goes to a file (as under tools/wine-test.sh) has no
// console, and a console event needs one: the helper gives up the console it
// may have, makes a new one for itself and the program, and hands the program
// its own standard handles so the output still reaches the file. The event
// goes to every process on that console; the helper ignores it itself.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  const DWORD delay = static_cast<DWORD>(_wtoi(argv[1]));

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
  wchar_t* rest = std::wcsstr(line, argv[2]);
  if (!rest) return 2;
  if (rest > line && rest[-1] == L'"') --rest;

  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, rest, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) return 4;
  if (WaitForSingleObject(process.hProcess, delay) == WAIT_TIMEOUT) {
    SetConsoleCtrlHandler(nullptr, TRUE);
    GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 1;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}
