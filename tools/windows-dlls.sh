#!/usr/bin/env bash
# Prints, one path a line, every DLL that the given Windows programs and
# plugins load and that Windows itself does not bring: their imports, read
# from the PE headers, followed recursively and looked up in the folders
# named with --dir (the Qt kit's bin/, the MinGW runtime). There is no
# windeployqt for this kit, and a guessed list breaks silently when Qt or the
# compiler changes, so the headers decide.
#   tools/windows-dlls.sh --dir DIR [--dir DIR...] FILE.exe|FILE.dll...
# An import found in no folder must be a DLL that Windows has; Wine's own
# builtin DLLs stand in for that list. Anything else is an error (status 1),
# because a program that misses a DLL only says so on the user's machine.
set -euo pipefail

dirs=()
while [ $# -gt 0 ]; do
  case "$1" in
    --dir) dirs+=("$2"); shift 2 ;;
    --) shift; break ;;
    -*) echo "windows-dlls.sh: unbekannte Option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "Aufruf: windows-dlls.sh --dir ORDNER... DATEI..." >&2; exit 2; }

objdump=x86_64-w64-mingw32-objdump
wine_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows

# Windows file names ignore case; the PE headers and the files on disk do not
# always agree (KERNEL32.dll, kernel32.dll).
find_in() {
  local name="$1" dir hit
  shift
  for dir in "$@"; do
    hit="$(find "$dir" -maxdepth 1 -iname "$name" -print -quit 2>/dev/null)"
    [ -n "$hit" ] && { printf '%s\n' "$hit"; return 0; }
  done
  return 1
}

imports_of() {
  "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'
}

declare -A seen=()
queue=("$@")
status=0
while ((${#queue[@]})); do
  file="${queue[0]}"
  queue=("${queue[@]:1}")
  while IFS= read -r name; do
    key="${name,,}"
    [ -n "${seen[$key]:-}" ] && continue
    seen[$key]=1
    if path="$(find_in "$name" "${dirs[@]}")"; then
      printf '%s\n' "$path"
      queue+=("$path")
    elif [[ "$key" == api-ms-win-* || "$key" == ext-ms-* ]] || [ -n "$(find_in "$name" "$wine_dlls")" ]; then
      :  # part of Windows
    else
      echo "windows-dlls.sh: $file braucht $name, in keinem der Ordner ${dirs[*]}" >&2
      status=1
    fi
  done < <(imports_of "$file")
done
exit "$status"
