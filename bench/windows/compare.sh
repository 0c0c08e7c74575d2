#!/usr/bin/env bash
# The Windows batch program under Wine against the Linux one on the same
# generated tree, warm, with the floor of each system beside it: a bare
# walk that opens every document and reads its first 8 KiB (bench/run's
# tbx-iofloor on Linux, iofloor.c here built for Windows). The Windows floor
# says what Wine itself costs per file, which no program under Wine can
# undercut.
#
#   bench/windows/compare.sh [--count N] [--repeat R] [--work DIR]
#
# --count   documents of the tree (default 20000; of them about 15,400 match)
# --repeat  runs of each program; the fastest counts (default 3)
# --work    folder for tree, configuration and results (default: a new
#           temporary folder, removed at the end)
#
# Needs the Linux build (tools/build.sh) and the Windows one
# (tools/build-windows.sh), Wine and GNU time. The Wine prefix is the
# Windows build's; its server is kept running between the runs, as on a
# desktop where Windows is already up.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
linux="${TBX_BUILD_DIR:-$root/build}"
windows="${TBX_WIN_BUILD_DIR:-$root/build-windows}"
count=20000
repeat=3
work=""
while [ $# -gt 0 ]; do
  case "$1" in
    --count) count="$2"; shift 2 ;;
    --repeat) repeat="$2"; shift 2 ;;
    --work) work="$2"; shift 2 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done
batch="$linux/app/tabellix-batch"
floor="$linux/bench/run/tbx-iofloor"
winbatch="$windows/dist/Tabellix/tabellix-batch.exe"
for tool in "$batch" "$floor" "$linux/tools/tbx-samplegen" "$winbatch" /usr/bin/time; do
  [ -e "$tool" ] || { echo "missing $tool (build first)" >&2; exit 2; }
done
if [ -z "$work" ]; then
  work="$(mktemp -d "${TMPDIR:-/tmp}/tbx-windows-bench.XXXXXX")"
  trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
fi
mkdir -p "$work"
work="$(cd "$work" && pwd)"

export WINEPREFIX="$windows/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
[ -d "$WINEPREFIX" ] || bash "$root/tools/wine-test.sh" --prefix "$WINEPREFIX" --fresh-prefix
# The server stays up for a minute after the last program; started apart
# from this script's output, which it would otherwise hold open.
wineserver -p 60 </dev/null >/dev/null 2>&1 || true

winfloor="$work/tbx-iofloor.exe"
x86_64-w64-mingw32-gcc -O2 -municode -o "$winfloor" "$here/iofloor.c"

# The configuration of bench/run, so that both benchmarks measure one run.
# shellcheck source=../common.sh
. "$here/../common.sh"
tree="$work/tree"
"$linux/tools/tbx-samplegen" tree "$tree" --count "$count" --seed 2026 >/dev/null
config="$work/run/ZireVuz.ini"
mkdir -p "$work/run"
write_config "$config" "$tree"
find "$tree" -type f -print0 | xargs -0 cat >/dev/null

# best SECONDS-FILE CMD...: the fastest wall time of $repeat runs, in seconds.
best() {
  local out="$1" fastest="" i s
  shift
  for ((i = 1; i <= repeat; ++i)); do
    rm -f "$work/run"/Liste*.xls "$work/run"/Protokoll_*.log
    /usr/bin/time -f "%e" -o "$out.time" "$@" >"$out.stdout" 2>"$out.stderr" </dev/null || {
      echo "failed: $*" >&2
      cat "$out.stderr" >&2
      exit 1
    }
    s="$(tail -1 "$out.time")"
    if [ -z "$fastest" ] || awk -v a="$s" -v b="$fastest" 'BEGIN { exit !(a < b) }'; then fastest="$s"; fi
  done
  echo "$fastest"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a / b }'; }
wintree="Z:${tree//\//\\}"
winconfig="Z:${config//\//\\}"

linux_s="$(best "$work/linux" env LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 "$batch" "$config")"
linux_floor_s="$(best "$work/linux-floor" "$floor" "$tree" "${extensions[@]}")"
windows_s="$(best "$work/windows" wine "$winbatch" "$winconfig")"
windows2_s="$(best "$work/windows2" env TABELLIX_READERS=2 wine "$winbatch" "$winconfig")"
floor1_s="$(best "$work/floor1" wine "$winfloor" "$wintree" 1 "${extensions[@]}")"
floor2_s="$(best "$work/floor2" wine "$winfloor" "$wintree" 2 "${extensions[@]}")"
version_s="$(best "$work/version" wine "$winbatch" --version)"
rows="$(grep -F "Geschriebene Zeilen" "$work/linux.stdout" | awk '{ print $NF }')"
winrows="$(grep -aF "Geschriebene Zeilen" "$work/windows.stdout" | awk '{ print $NF }' | tr -d '\r')"

echo "== $count files, $rows rows (Windows: $winrows), warm, fastest of $repeat"
printf "%-44s %8s %12s\n" "" "wall s" "x Linux"
printf "%-44s %8s %12s\n" "Linux tabellix-batch" "$linux_s" "1.0"
printf "%-44s %8s %12s\n" "Linux floor (1 reader)" "$linux_floor_s" "$(ratio "$linux_floor_s" "$linux_s")"
printf "%-44s %8s %12s\n" "Wine tabellix-batch.exe (default readers)" "$windows_s" "$(ratio "$windows_s" "$linux_s")"
printf "%-44s %8s %12s\n" "Wine tabellix-batch.exe (2 readers)" "$windows2_s" "$(ratio "$windows2_s" "$linux_s")"
printf "%-44s %8s %12s\n" "Wine floor, 1 thread" "$floor1_s" "$(ratio "$floor1_s" "$linux_s")"
printf "%-44s %8s %12s\n" "Wine floor, 2 threads" "$floor2_s" "$(ratio "$floor2_s" "$linux_s")"
printf "%-44s %8s %12s\n" "Wine tabellix-batch.exe --version" "$version_s" "$(ratio "$version_s" "$linux_s")"
echo "Wine tabellix-batch.exe / Wine floor (2 threads): $(ratio "$windows_s" "$floor2_s")x (goal: 3x the Linux time)"
