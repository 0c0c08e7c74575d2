#!/usr/bin/env bash
# Runs one Windows program under Wine as a test needs it: in the build's own
# Wine prefix, with the DLLs it loads reachable, its output in a file that is
# printed when it has ended, a time limit, and its exit status passed on.
# CTest calls it for every test of the Windows build (it is the build's
# CMAKE_CROSSCOMPILING_EMULATOR, see cmake/TabellixWindows.cmake).
#
#   tools/wine-test.sh [OPTIONS] PROGRAM.exe [ARGS...]
#   tools/wine-test.sh [--prefix DIR] --fresh-prefix
#
#   --prefix DIR      the Wine prefix (default $TBX_WINEPREFIX, else
#                     build-windows/wine-prefix); made on first use
#   --dlls DIR        a folder with DLLs of the program (Qt kit, MinGW runtime);
#                     repeatable, put on WINEPATH
#   --timeout SECONDS time limit for the program (default $TBX_WINE_TIMEOUT or
#                     280, below CTest's 300, so that Wine is cleaned up here)
#   --gui / --console a program with windows gets its own Xvfb and Qt's
#                     Windows platform plugin; by default a program that
#                     loads Qt6Gui.dll is taken for one
#   --fresh-prefix    remove the prefix and make it anew, then end
#
# Why it is done this way:
# - Output goes to a file, never into a pipe: Wine's helper processes
#   (wineserver, winedevice.exe) inherit the pipe and keep it open, so a
#   reader such as CTest would wait for them long after the program ended.
# - `wineserver -w` after every program: files the program wrote are only
#   certain to be there once the prefix's processes are gone.
# - Qt's offscreen and minimal plugins did not return from exec() under Wine
#   once a window had been shown; the Windows plugin under Xvfb does.
# - The prefix's shell folders (Documents, AppData, ...) are made real folders
#   inside it: Wine points them at the host's home folder, where a test must
#   not write. Wine's menu builder is off for the same reason (an installer's
#   Start-menu entry would become a desktop file in the host's home).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
prefix="${TBX_WINEPREFIX:-$here/../build-windows/wine-prefix}"
limit="${TBX_WINE_TIMEOUT:-280}"
dlls=()
gui=auto
fresh=0
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) prefix="$2"; shift 2 ;;
    --dlls) dlls+=("$2"); shift 2 ;;
    --timeout) limit="$2"; shift 2 ;;
    --gui) gui=yes; shift ;;
    --console) gui=no; shift ;;
    --fresh-prefix) fresh=1; shift ;;
    --) shift; break ;;
    -*) echo "wine-test.sh: unbekannte Option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done
if [ "$fresh" = 0 ] && [ $# -eq 0 ]; then
  echo "Aufruf: wine-test.sh [--prefix DIR] [--dlls DIR]... [--timeout S] [--gui|--console] PROGRAMM.exe [ARGUMENTE...]" >&2
  exit 2
fi

mkdir -p "$(dirname "$prefix")"
prefix="$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")"
export WINEPREFIX="$prefix" WINEDEBUG=-all
# A German Windows, as the users' machines are. Wine takes its locale from
# the host's and resets the prefix's regional settings whenever that
# changes, so every program of a prefix runs with the same one.
export LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8
# No Mono or Gecko (their install dialog would wait for a click), no menu builder.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Several tests may start at once on a missing prefix: one makes it, the
# others wait for it under the same lock.
make_prefix() {
  local lock="$prefix.lock"
  exec 9>"$lock"
  flock 9
  if [ "$fresh" = 1 ] || [ ! -f "$prefix/.tabellix-ready" ]; then
    [ -d "$prefix" ] && { wineserver -k 2>/dev/null || true; rm -rf "$prefix"; }
    local started=$SECONDS
    if ! wineboot --init </dev/null >"$prefix.log" 2>&1; then
      echo "wine-test.sh: Wine-Präfix $prefix nicht angelegt (siehe $prefix.log)" >&2
      exit 1
    fi
    # Wine's German short date is d.M.yyyy; German Windows writes
    # dd.MM.yyyy, as the Linux build does, with which the tests compare.
    wine reg add 'HKCU\Control Panel\International' /v sShortDate /d dd.MM.yyyy /f </dev/null >>"$prefix.log" 2>&1
    wineserver -w
    local link
    for link in "$prefix"/drive_c/users/*/*; do
      if [ -L "$link" ]; then rm "$link" && mkdir "$link"; fi
    done
    touch "$prefix/.tabellix-ready"
    echo "wine-test.sh: Wine-Präfix $prefix angelegt in $((SECONDS - started)) s" >&2
  fi
  exec 9>&-
}

make_prefix
[ "$fresh" = 1 ] && [ $# -eq 0 ] && exit 0

program="$1"
shift
if [ ! -f "$program" ]; then
  echo "wine-test.sh: $program nicht gefunden" >&2
  exit 2
fi

# Wine maps / to Z:, so a Unix folder is Z: and its path with backslashes.
for d in "${dlls[@]}"; do
  d="$(cd "$d" && pwd)"
  WINEPATH="Z:${d//\//\\}${WINEPATH:+;$WINEPATH}"
done
export WINEPATH="${WINEPATH:-}"

if [ "$gui" = auto ]; then
  # grep reads the whole listing: with -q it would stop at the first match,
  # objdump would die of SIGPIPE, and pipefail would call the program one
  # without windows.
  if x86_64-w64-mingw32-objdump -p "$program" | grep -i 'DLL Name: Qt6Gui\.dll' >/dev/null; then gui=yes; else gui=no; fi
fi

xvfb_pid=""
out=""
cleanup() {
  [ -n "$xvfb_pid" ] && { kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; }
  [ -n "$out" ] && rm -f "$out"
  return 0
}
trap cleanup EXIT

if [ "$gui" = yes ]; then
  # -displayfd lets the server take a free display and say which.
  displayfile="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$displayfile" </dev/null >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
  display="$(head -n 1 "$displayfile")"
  rm -f "$displayfile"
  if [ -z "$display" ]; then
    echo "wine-test.sh: Xvfb nicht gestartet" >&2
    exit 1
  fi
  export DISPLAY=":$display" QT_QPA_PLATFORM=windows
else
  unset DISPLAY
fi

out="$(mktemp "${TMPDIR:-/tmp}/wine-test.XXXXXX")"
set +e
timeout --kill-after=10 "$limit" wine "$program" "$@" </dev/null >"$out" 2>&1
status=$?
set -e
if ! timeout 60 wineserver -w; then
  wineserver -k 2>/dev/null || true
fi
# Windows programs end their lines with CR LF.
tr -d '\r' <"$out"
if [ "$status" = 124 ] || [ "$status" = 137 ]; then
  echo "wine-test.sh: $(basename "$program") nach $limit s abgebrochen" >&2
  wineserver -k 2>/dev/null || true
fi
exit "$status"
