#!/usr/bin/env bash
# The Setup program under Wine, in a fresh prefix of its own:
#   tests/windows/test-installer.sh SETUP.exe [PORTABLE_FOLDER]
# (the folder defaults to dist/Tabellix beside the Setup program). Checks a
# silent install into Program Files (every file of the portable folder, the
# uninstaller, its Apps & Features entry, the Start-menu entry), the installed
# batch program's --version and a run from %APPDATA%\Tabellix\ZireVuz.ini
# (documents made by the Linux build's tbx-samplegen), an update over it that keeps the user's
# configuration, a silent uninstall that removes every program file and
# nothing of the user's, and an install into another folder with /D=.
set -euo pipefail
[ $# -ge 1 ] || { echo "Aufruf: test-installer.sh SETUP.exe [PORTABLER_ORDNER]" >&2; exit 2; }
top="$(cd "$(dirname "$0")/../.." && pwd)"
setup="$(realpath "$1")"
dist="$(realpath "${2:-$(dirname "$setup")/dist/Tabellix}")"
version="$(sed -n 's/^project(Tabellix VERSION \([0-9][0-9.]*\).*/\1/p' "$top/CMakeLists.txt")"
work="$(dirname "$setup")/installer-test"
prefix="$work/prefix"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tabellix'
shortcut="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tabellix.lnk"
passed=0
failed=0

check() {
  local what="$1"
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FEHLER: $what" >&2
  fi
}

wine_run() { bash "$top/tools/wine-test.sh" --prefix "$prefix" --console --timeout 120 "$@"; }
# reg.exe prints the value's line: "    NAME    REG_SZ    VALUE".
reg_value() {
  wine_run "$prefix/drive_c/windows/system32/reg.exe" query "$key" /v "$1" 2>/dev/null |
    sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}
unix_of() { local p="${1#[Cc]:}"; printf '%s' "$prefix/drive_c${p//\\//}"; }

all_files_installed() {
  local folder="$1" f
  while IFS= read -r -d '' f; do
    cmp -s "$dist/$f" "$folder/$f" || { echo "  $f fehlt oder weicht ab" >&2; return 1; }
  done < <(cd "$dist" && find . -type f -print0)
}
no_program_file_left() {
  local folder="$1" f
  [ ! -e "$folder/Uninstall.exe" ] || return 1
  while IFS= read -r -d '' f; do
    [ ! -e "$folder/$f" ] || { echo "  $f ist noch da" >&2; return 1; }
  done < <(cd "$dist" && find . -type f -print0)
}
no_registry_entry() { ! wine_run "$prefix/drive_c/windows/system32/reg.exe" query "$key" >/dev/null 2>&1; }
batch_version_runs() {
  local out
  out="$(wine_run "$1/tabellix-batch.exe" --version)" && [[ "$out" == *"$version"* ]]
}
user_file_kept() { [ "$(cat "$1/ZireVuz.ini" 2>/dev/null)" = "[Config]" ]; }
folder_gone() { [ ! -e "$1" ]; }

rm -rf "$work"
mkdir -p "$work"
bash "$top/tools/wine-test.sh" --prefix "$prefix" --fresh-prefix
instdir="$prefix/drive_c/Program Files/Tabellix"

check "stilles Setup endet mit 0" wine_run "$setup" /S
check "alle Dateien in C:\\Program Files\\Tabellix" all_files_installed "$instdir"
check "Uninstall.exe installiert" test -f "$instdir/Uninstall.exe"
check "Startmenü-Eintrag" test -f "$shortcut"
check "UninstallString" test "$(reg_value UninstallString)" = '"C:\Program Files\Tabellix\Uninstall.exe"'
check "DisplayVersion $version" test "$(reg_value DisplayVersion)" = "$version"
check "installiertes tabellix-batch.exe --version" batch_version_runs "$instdir"

# A run of the installed program from the user's configuration in
# %APPDATA%\Tabellix: the workbook named without a folder and the log beside
# it, the program folder left as installed.
appdata="$(echo "$prefix"/drive_c/users/*/AppData/Roaming | awk '{print $1}')"
mkdir -p "$appdata/Tabellix" "$work/Dokumente"
"${TBX_LINUX_BUILD_DIR:-$top/build}/tools/tbx-samplegen" document "$work/Dokumente/Welle.par" --kind par >/dev/null
printf '[Config]\r\nPattern=par\r\n[Pfade]\r\nSourceDir=Z:%s\r\nExcelFile=Liste.xls\r\n[MapProperties]\r\nC=Titel\r\n' \
  "${work//\//\\}\\Dokumente" >"$appdata/Tabellix/ZireVuz.ini"
installed_run() {
  wine_run "$instdir/tabellix-batch.exe" >/dev/null &&
    [ -f "$appdata/Tabellix/Liste.xls" ] && ls "$appdata/Tabellix"/Protokoll_*.log >/dev/null 2>&1
}
check "Lauf aus %APPDATA%\\Tabellix\\ZireVuz.ini" installed_run
check "Programmordner ohne Protokoll" test -z "$(ls "$instdir"/Protokoll_*.log 2>/dev/null)"

# The user's configuration beside the programs (the portable layout).
printf '[Config]' >"$instdir/ZireVuz.ini"
check "Update über die installierte Version" wine_run "$setup" /S
check "nach dem Update alle Dateien da" all_files_installed "$instdir"
check "nach dem Update ZireVuz.ini erhalten" user_file_kept "$instdir"

check "stille Deinstallation endet mit 0" wine_run "$instdir/Uninstall.exe" /S
check "keine Programmdatei übrig" no_program_file_left "$instdir"
check "ZireVuz.ini des Benutzers bleibt" user_file_kept "$instdir"
check "Eintrag in Apps & Features entfernt" no_registry_entry
check "Startmenü-Eintrag entfernt" test ! -e "$shortcut"

# Another folder; /D= comes last and unquoted, spaces and all. Wine quotes
# an argument with spaces when it makes the command line, and NSIS takes no
# quoted /D=, so the line goes through cmd.exe as a user would type it.
check "Setup mit /D=" wine_run "$prefix/drive_c/windows/system32/cmd.exe" /c "Z:${setup//\//\\} /S /D=C:\Tabellix Test"
other="$prefix/drive_c/Tabellix Test"
check "alle Dateien in C:\\Tabellix Test" all_files_installed "$other"
check "InstallLocation C:\\Tabellix Test" test "$(reg_value InstallLocation)" = 'C:\Tabellix Test'
uninstaller="$(reg_value UninstallString)"
uninstaller="${uninstaller//\"/}"
check "Deinstallation aus der Registry" wine_run "$(unix_of "$uninstaller")" /S
check "Ordner C:\\Tabellix Test entfernt" folder_gone "$other"

echo "test-installer.sh: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
