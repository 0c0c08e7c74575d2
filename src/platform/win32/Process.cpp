#include "platform/Process.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

// windows.h (through SystemNames.h) must come before the shell headers.
#include "platform/win32/SystemNames.h"
#include <io.h>
#include <shellapi.h>

namespace tbx {
namespace {

std::atomic<bool> g_interrupted{false};

// Ctrl+C and Ctrl+Break ask for a stop, as SIGINT does on POSIX. Closing
// the console, logging off and shutting down end the process as soon as the
// handler returns, so it waits there while the run saves what it has; the
// process ends when the run is done (or when Windows stops waiting, after
// about five seconds for a closed console).
BOOL WINAPI OnConsoleEvent(DWORD event) {
  g_interrupted = true;
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) Sleep(INFINITE);
  return TRUE;
}

bool IsConsole(DWORD which) {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

// The console belongs to the window the user started the program in: its
// code page and modes are given back at the end, or the next program there
// would show its umlauts wrongly.
UINT g_consoleCodePage = 0;
DWORD g_errorMode = 0;
bool g_errorModeSet = false;

void RestoreConsole() {
  if (g_consoleCodePage) SetConsoleOutputCP(g_consoleCodePage);
  if (g_errorModeSet) SetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), g_errorMode);
}

}  // namespace

void PrepareStandardStreams() {
  // The desktop program has no console of its own: started from one, its
  // help and messages go there.
  if (GetStdHandle(STD_ERROR_HANDLE) == nullptr && AttachConsole(ATTACH_PARENT_PROCESS)) {
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
  }
  // Messages are written in the ANSI code page (QString::toLocal8Bit); the
  // console shows them in its own OEM code page unless told otherwise, and
  // "Prüfung" came out as "Pr³fung".
  if (IsConsole(STD_OUTPUT_HANDLE) || IsConsole(STD_ERROR_HANDLE)) {
    g_consoleCodePage = GetConsoleOutputCP();
    SetConsoleOutputCP(GetACP());
  }
  // The progress line redraws itself with terminal sequences, which the
  // console of Windows 10 and later understands once asked to.
  const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (GetConsoleMode(err, &g_errorMode)) {
    g_errorModeSet = true;
    SetConsoleMode(err, g_errorMode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
  }
  std::atexit(RestoreConsole);
  // Windows has no SIGPIPE: a write to a closed pipe fails like any other.
}

QStringList CommandLineArguments(int, char**) {
  // The wide command line: argv holds the ANSI forms, where a name outside
  // the code page has become "?".
  QStringList args;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return args;
  for (int i = 1; i < count; ++i) args << win32::FromWide(wide[i]);
  LocalFree(wide);
  return args;
}

QString NoDisplayReason() {
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return QString();
  USEROBJECTFLAGS flags{};
  const HWINSTA station = GetProcessWindowStation();
  if (station && GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr) &&
      !(flags.dwFlags & WSF_VISIBLE))
    return QStringLiteral("kein sichtbarer Desktop, etwa in einem Dienst oder einer geplanten Aufgabe");
  return QString();
}

bool StandardErrorIsTerminal() { return IsConsole(STD_ERROR_HANDLE); }

int TerminalColumns(std::FILE* stream) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  if (handle == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(handle, &info)) return 0;
  return info.srWindow.Right - info.srWindow.Left + 1;
}

void CatchInterrupts() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

bool InterruptRequested() { return g_interrupted; }

void EndAsInterrupted() { ExitProcess(STATUS_CONTROL_C_EXIT); }

}  // namespace tbx
