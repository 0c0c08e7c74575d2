/* The I/O floor of a run on Windows: walk a folder tree with the same wide
 * calls as the batch program and read the first 8 KiB of every file whose
 * extension is listed, on THREADS threads (the walk comes first, then the
 * reads). Nothing that opens every document can be faster on the same
 * system, so under Wine it tells what Wine itself costs per file.
 * Usage: tbx-iofloor.exe FOLDER THREADS [EXT...] ; prints the count. */
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>
#include <windows.h>

static wchar_t **g_paths;
static LONG g_count, g_capacity, g_next, g_read;
static wchar_t **g_ext;
static int g_exts;

static int wanted(const wchar_t *name) {
  const wchar_t *dot = wcsrchr(name, L'.');
  if (g_exts == 0) return 1;
  if (!dot) return 0;
  for (int i = 0; i < g_exts; ++i)
    if (_wcsicmp(dot + 1, g_ext[i]) == 0) return 1;
  return 0;
}

static void add(const wchar_t *path) {
  if (g_count == g_capacity) {
    g_capacity = g_capacity ? 2 * g_capacity : 1024;
    g_paths = realloc(g_paths, sizeof *g_paths * (size_t)g_capacity);
    if (!g_paths) exit(1);
  }
  g_paths[g_count++] = _wcsdup(path);
}

static void walk(const wchar_t *folder, int depth) {
  wchar_t pattern[4096];
  if (depth > 64 || _snwprintf(pattern, 4096, L"%ls\\*", folder) < 0) return;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW(pattern, FindExInfoBasic, &data, FindExSearchNameMatch, NULL,
                                 FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const wchar_t *name = data.cFileName;
    if (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
    if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))) continue;
    wchar_t path[4096];
    if (_snwprintf(path, 4096, L"%ls\\%ls", folder, name) < 0) continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      walk(path, depth + 1);
    else if (wanted(name))
      add(path);
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

static DWORD WINAPI reader(void *unused) {
  (void)unused;
  char buf[8192];
  for (LONG i; (i = InterlockedIncrement(&g_next) - 1) < g_count;) {
    HANDLE h = CreateFileW(g_paths[i], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                           OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE) continue;
    DWORD got = 0;
    if (ReadFile(h, buf, sizeof buf, &got, NULL)) InterlockedIncrement(&g_read);
    CloseHandle(h);
  }
  return 0;
}

int wmain(int argc, wchar_t **argv) {
  if (argc < 3) {
    fwprintf(stderr, L"usage: %ls FOLDER THREADS [EXT...]\n", argv[0]);
    return 2;
  }
  int threads = _wtoi(argv[2]);
  if (threads < 1 || threads > 64) threads = 1;
  g_ext = argv + 3;
  g_exts = argc - 3;
  walk(argv[1], 0);
  HANDLE started[64];
  for (int t = 0; t < threads; ++t) started[t] = CreateThread(NULL, 0, reader, NULL, 0, NULL);
  WaitForMultipleObjects((DWORD)threads, started, TRUE, INFINITE);
  printf("%ld\n", (long)g_read);
  return 0;
}
