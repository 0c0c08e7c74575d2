#!/usr/bin/env bash
# Makes the Setup program from a portable folder:
#   packaging/windows/make-setup.sh DIST_FOLDER VERSION SETUP.exe
# The installer copies exactly the files of the folder, and its uninstaller
# removes exactly those, so both lists are written from the folder here
# rather than kept by hand in tabellix.nsi.
set -euo pipefail
[ $# -eq 3 ] || { echo "Aufruf: make-setup.sh PORTABLER_ORDNER VERSION SETUP.exe" >&2; exit 2; }
here="$(cd "$(dirname "$0")" && pwd)"
dist="$(cd "$1" && pwd)"
version="$2"
out="$(cd "$(dirname "$3")" && pwd)/$(basename "$3")"
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "make-setup.sh: Version $version ist nicht x.y.z" >&2; exit 2; }
[ -f "$dist/LICENSE.txt" ] || { echo "make-setup.sh: $dist/LICENSE.txt fehlt" >&2; exit 1; }

lists="$(dirname "$out")/nsis"
mkdir -p "$lists"
files="$lists/files"

# NSIS reads $ as the start of a variable (file names rarely have one), so
# only the names are escaped, not the $INSTDIR put before them.
nsis_escape() { printf '%s' "${1//\$/\$\$}"; }
windows_sub() { local s="${1#.}"; s="${s//\//\\}"; nsis_escape "$s"; }

{
  while IFS= read -r -d '' dir; do
    printf 'SetOutPath "$INSTDIR%s"\n' "$(windows_sub "$dir")"
    while IFS= read -r -d '' f; do
      printf 'File "%s"\n' "$(nsis_escape "$dist/${f#./}")"
    done < <(cd "$dist" && find "$dir" -mindepth 1 -maxdepth 1 -type f -print0 | sort -z)
  done < <(cd "$dist" && find . -type d -print0 | sort -z)
} >"$files.install.nsh"

{
  while IFS= read -r -d '' f; do
    printf 'Delete "$INSTDIR%s"\n' "$(windows_sub "$f")"
  done < <(cd "$dist" && find . -type f -print0 | sort -z)
  # Deepest folders first; the top folder is left to tabellix.nsi.
  while IFS= read -r -d '' dir; do
    printf 'RMDir "$INSTDIR%s"\n' "$(windows_sub "$dir")"
  done < <(cd "$dist" && find . -mindepth 1 -type d -print0 | sort -rz)
} >"$files.uninstall.nsh"

# -WX: a warning (a missing file, an unused string) fails the build.
makensis -V2 -WX -NOCD -DVERSION="$version" -DDIST="$dist" -DFILES="$files" -DOUTFILE="$out" \
  "$here/tabellix.nsi" >&2
echo "$out"
