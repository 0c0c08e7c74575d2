#!/usr/bin/env bash
# The run benchmark: tabellix-batch against ExifTool and the I/O floor on the
# same generated tree, warm and cold page cache side by side, with and
# without read-ahead, the longest wait between event rounds of the desktop
# window, plus a memory run on a tree as large as one workbook takes.
#
# Cold figures drop the page cache before each run, which needs root; they
# are skipped with a reason otherwise. Each is the fastest of three runs.
# The cold floors are one reader of the first 8 KiB of each document, and 16
# such readers at once.
#
#   bench/run/run_bench.sh [--count N] [--memory-count M] [--no-memory]
#                          [--copies C] [--no-million] [--repeat R] [--work DIR] [--keep]
#
# --count         documents of the speed tree (default 20000)
# --memory-count  documents of the memory tree (default 84000: the generator
#                 hides some and gives some an upper-case extension, which
#                 the run skips, so that about 65,000 remain for one workbook)
# --no-memory     skip the memory run
# --copies        hard-linked copies of the speed tree for the run at about a
#                 million documents (default 66: of each copy's 20000 documents
#                 15356 match, 66 copies are 1,013,496)
# --no-million    skip that run
# --repeat        runs of tabellix-batch and of the I/O floor; the fastest
#                 counts, as the machine may be shared (default 5)
# --work          folder for trees, configurations and results (default: a
#                 new temporary folder, removed at the end unless --keep)
#
# Needs a build (tools/build.sh; TBX_BUILD_DIR as there), GNU time at
# /usr/bin/time and exiftool (package libimage-exiftool-perl).
#
# Rates are documents per second of wall time and, because a loaded machine
# stretches wall time, per second of CPU time (user + system) too.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="${TBX_BUILD_DIR:-$root/build}"
batch="$build/app/tabellix-batch"
samplegen="$build/tools/tbx-samplegen"
iofloor="$build/bench/run/tbx-iofloor"
events="$build/bench/tbx-bench-events"

count=20000
memory_count=84000
memory=1
million=1
copies=66
repeat=5
work=""
keep=0
while [ $# -gt 0 ]; do
  case "$1" in
    --count) count="$2"; shift 2 ;;
    --memory-count) memory_count="$2"; shift 2 ;;
    --no-memory) memory=0; shift ;;
    --copies) copies="$2"; shift 2 ;;
    --no-million) million=0; shift ;;
    --repeat) repeat="$2"; shift 2 ;;
    --work) work="$2"; shift 2 ;;
    --keep) keep=1; shift ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done

for tool in "$batch" "$samplegen" "$iofloor" /usr/bin/time; do
  [ -x "$tool" ] || { echo "missing $tool (build first: tools/build.sh)" >&2; exit 2; }
done
command -v exiftool >/dev/null || { echo "missing exiftool (apt-get install libimage-exiftool-perl)" >&2; exit 2; }

if [ -z "$work" ]; then
  work="$(mktemp -d "${TMPDIR:-/tmp}/tbx-run-bench.XXXXXX")"
  [ "$keep" = 1 ] || trap 'rm -rf "$work"' EXIT
fi
mkdir -p "$work"
work="$(cd "$work" && pwd)"

# shellcheck source=../common.sh
. "$here/../common.sh"

# make_tree DIR N: a generated tree (kept when it is already there with N documents).
make_tree() {
  local dir="$1" n="$2"
  if [ -f "$dir.count" ] && [ "$(cat "$dir.count")" = "$n" ]; then return; fi
  rm -rf "$dir"
  "$samplegen" tree "$dir" --count "$n" --seed 2026 >/dev/null
  echo "$n" >"$dir.count"
}

# timed OUT CMD...: runs CMD under GNU time; OUT.time gets its figures.
timed() {
  local out="$1"; shift
  /usr/bin/time -v -o "$out.time" "$@" >"$out.stdout" 2>"$out.stderr"
}
figure() {  # figure TIMEFILE LABEL: one number from GNU time's report
  grep -F "$2" "$1" | head -1 | sed 's/.*: //'
}
wall_seconds() {
  figure "$1" "Elapsed (wall clock)" | awk -F: '{ s = 0; for (i = 1; i <= NF; ++i) s = s * 60 + $i; print s }'
}
cpu_seconds() {
  awk -v u="$(figure "$1" "User time")" -v s="$(figure "$1" "System time")" 'BEGIN { print u + s }'
}
peak_mb() {
  awk -v k="$(figure "$1" "Maximum resident set size")" 'BEGIN { printf "%.1f", k / 1024 }'
}
rate() {  # rate DOCUMENTS SECONDS
  awk -v n="$1" -v s="$2" 'BEGIN { if (s <= 0) s = 0.005; printf "%.0f", n / s }'
}
ratio() {
  awk -v a="$1" -v b="$2" 'BEGIN { if (b <= 0) print "-"; else printf "%.2f", a / b }'
}

warm() {
  find "$1" -type f -print0 | xargs -0 cat >/dev/null
  "$iofloor" "$1" "${extensions[@]}" >/dev/null
}

# run_batch CONFIG OUT: one run of tabellix-batch with fresh workbook and log,
# in the German locale its users have (Qt brings the locale data itself).
run_batch() {
  local dir
  dir="$(dirname "$1")"
  rm -f "$dir"/Liste*.xls "$dir"/Protokoll_*.log
  timed "$2" env LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 "$batch" "$1" </dev/null
}

# fastest BY RUNS OUT CMD...: of RUNS runs of CMD OUT.try, the one with the
# least BY (cpu_seconds or wall_seconds) kept as OUT.*
fastest() {
  local by="$1" runs="$2" out="$3" best="" i
  shift 3
  for ((i = 1; i <= runs; ++i)); do
    "$@" "$out.try"
    local took
    took="$("$by" "$out.try.time")"
    if [ -z "$best" ] || awk -v a="$took" -v b="$best" 'BEGIN { exit !(a < b) }'; then
      best="$took"
      for f in time stdout stderr; do mv "$out.try.$f" "$out.$f"; done
    fi
  done
}
# best_of OUT CMD...: the fastest of $repeat runs (by CPU time) in OUT.*
best_of() {
  local out="$1"
  shift
  fastest cpu_seconds "$repeat" "$out" "$@"
}
floor_run() { timed "$1" "$iofloor" "$tree" "${extensions[@]}"; }
batch_run() { run_batch "$config" "$1"; }
single_run() { TABELLIX_READERS=0 run_batch "$config" "$1"; }
# The run without a log shows what making and writing its lines costs.
quiet_run() { run_batch "$quiet_config" "$1"; }

echo "== Speed: $count documents (folder $work)"
tree="$work/tree"
make_tree "$tree" "$count"
config="$work/speed/ZireVuz.ini"
mkdir -p "$work/speed"
write_config "$config" "$tree"
quiet_config="$work/speed-nolog/ZireVuz.ini"
mkdir -p "$work/speed-nolog"
write_config "$quiet_config" "$tree" nein
warm "$tree"
exiftool -ver >/dev/null

best_of "$work/floor" floor_run
floor_docs="$(cat "$work/floor.stdout")"

best_of "$work/batch" batch_run
batch_status=0
grep -q "Gefundene Dokumente" "$work/batch.stdout" || batch_status=1
batch_docs="$(grep -F "Gefundene Dokumente" "$work/batch.stdout" | awk '{ print $NF }')"
batch_rows="$(grep -F "Geschriebene Zeilen" "$work/batch.stdout" | awk '{ print $NF }')"
if [ "$batch_status" != 0 ]; then
  echo "tabellix-batch failed:" >&2
  cat "$work/batch.stderr" >&2
  exit 1
fi
best_of "$work/batch-nolog" quiet_run
best_of "$work/batch-single" single_run
quiet_docs="$(grep -F "Gefundene Dokumente" "$work/batch-nolog.stdout" | awk '{ print $NF }')"

# ExifTool also takes hidden files and upper-case extensions, which the run
# skips, so it reads more documents; each rate counts the program's own.
exif_args=(-r. -csv -charset filename=utf8)
for e in "${extensions[@]}"; do exif_args+=(-ext "$e"); done
for p in "${properties[@]}"; do exif_args+=("-$p"); done
timed "$work/exiftool" exiftool "${exif_args[@]}" "$tree" || true
exif_docs="$(/usr/bin/python3 -c 'import csv, sys; print(sum(1 for _ in csv.reader(open(sys.argv[1], encoding="utf-8", errors="replace"))) - 1)' "$work/exiftool.stdout")"
exif_values="$(/usr/bin/python3 -c '
import csv, sys
rows = list(csv.DictReader(open(sys.argv[1], encoding="utf-8", errors="replace")))
print(sum(1 for r in rows for k, v in r.items() if k != "SourceFile" and v))' "$work/exiftool.stdout")"

printf '%-16s %10s %10s %12s %12s %10s\n' "" documents "wall s" "docs/s wall" "docs/s CPU" "peak MB"
line() {  # line LABEL DOCUMENTS OUT
  local wall cpu
  wall="$(wall_seconds "$3.time")"
  cpu="$(cpu_seconds "$3.time")"
  printf '%-16s %10s %10s %12s %12s %10s\n' "$1" "$2" "$wall" "$(rate "$2" "$wall")" "$(rate "$2" "$cpu")" \
    "$(peak_mb "$3.time")"
}
line "tabellix-batch" "$batch_docs" "$work/batch"
line "  without log" "$quiet_docs" "$work/batch-nolog"
line "  one reader" "$batch_docs" "$work/batch-single"
line "exiftool" "$exif_docs" "$work/exiftool"
line "I/O floor" "$floor_docs" "$work/floor"
echo "tabellix-batch rows written: $batch_rows; exiftool values found: $exif_values"

batch_wall="$(rate "$batch_docs" "$(wall_seconds "$work/batch.time")")"
batch_cpu="$(rate "$batch_docs" "$(cpu_seconds "$work/batch.time")")"
exif_wall="$(rate "$exif_docs" "$(wall_seconds "$work/exiftool.time")")"
exif_cpu="$(rate "$exif_docs" "$(cpu_seconds "$work/exiftool.time")")"
floor_wall="$(rate "$floor_docs" "$(wall_seconds "$work/floor.time")")"
floor_cpu="$(rate "$floor_docs" "$(cpu_seconds "$work/floor.time")")"
echo "tabellix-batch / exiftool:  $(ratio "$batch_wall" "$exif_wall")x wall, $(ratio "$batch_cpu" "$exif_cpu")x CPU (goal >= 20)"
echo "tabellix-batch / I/O floor: $(ratio "$batch_wall" "$floor_wall") of the floor's rate, wall (goal >= 0.5)"
auto=$((4 * $(nproc))); ((auto < 4)) && auto=4; ((auto > 16)) && auto=16
echo "readers: ${TABELLIX_READERS:-$auto (automatic: 4 per core, 4 to 16)}; cores: $(nproc)"

echo "== Cold page cache: $count documents"
drop_caches() { sync && echo 3 >/proc/sys/vm/drop_caches; }
if [ "$(id -u)" != 0 ] || ! [ -w /proc/sys/vm/drop_caches ]; then
  echo "skipped: dropping the page cache needs root and a writable /proc/sys/vm/drop_caches"
else
  list="$work/documents.list"
  find "$tree" -type f \( -name '*.par' -o -name '*.psm' -o -name '*.asm' -o -name '*.dft' \) -print0 >"$list"
  # cold_run CMD... OUT: CMD timed into OUT with the page cache dropped
  # before it, and without the workbook and log of an earlier run.
  cold_run() {
    local out="${!#}"
    rm -f "$work/speed"/Liste*.xls "$work/speed"/Protokoll_*.log
    drop_caches
    timed "$out" "${@:1:$#-1}"
  }
  # cold OUT CMD...: the fastest of three cold runs (one run alone varied by
  # half with the disk's other users).
  cold() {
    local out="$1"
    shift
    fastest wall_seconds 3 "$out" cold_run "$@"
  }
  cold "$work/cold-floor1" "$iofloor" "$tree" "${extensions[@]}"
  cold "$work/cold-floor16" sh -c "xargs -0 -P16 -n 64 head -q -c 8192 <'$list' >/dev/null"
  cold "$work/cold-batch" env LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 "$batch" "$config"
  cold "$work/cold-single" env TABELLIX_READERS=0 LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 "$batch" "$config"
  printf '%-28s %10s\n' "" "wall s"
  for x in "1-reader floor:cold-floor1" "16-reader floor:cold-floor16" "tabellix-batch:cold-batch" \
           "tabellix-batch, one reader:cold-single"; do
    printf '%-28s %10s\n' "${x%%:*}" "$(wall_seconds "$work/${x##*:}.time")"
  done
  echo "tabellix-batch / 16-reader floor: $(ratio "$(wall_seconds "$work/cold-batch.time")" \
    "$(wall_seconds "$work/cold-floor16.time")")x the time (goal <= 1.5)"
fi

echo "== Desktop window during a run with read-ahead"
rm -f "$work/speed"/Liste*.xls "$work/speed"/Protokoll_*.log
env LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 "$events" "$config" || true

if [ "$memory" = 1 ]; then
  echo "== Memory: tree of $memory_count generated documents"
  tree="$work/tree-memory"
  make_tree "$tree" "$memory_count"
  config="$work/memory/ZireVuz.ini"
  mkdir -p "$work/memory"
  write_config "$config" "$tree"
  warm "$tree"
  run_batch "$config" "$work/memory-batch"
  docs="$(grep -F "Gefundene Dokumente" "$work/memory-batch.stdout" | awk '{ print $NF }')"
  books="$(grep -F "Arbeitsmappen" "$work/memory-batch.stdout" | awk '{ print $2 }')"
  echo "tabellix-batch: $docs documents, $books workbook file(s), peak $(peak_mb "$work/memory-batch.time") MB" \
    "(goal < 200 MB), $(rate "$docs" "$(wall_seconds "$work/memory-batch.time")") docs/s wall"
fi

if [ "$million" = 1 ]; then
  # Hard links make a tree of a million documents from the speed tree in
  # seconds and without the disk space; the run reads each link as a document.
  echo "== Scale: $copies hard-linked copies of the $count-document tree"
  tree="$work/tree-million"
  if ! [ -f "$tree.copies" ] || [ "$(cat "$tree.copies")" != "$copies" ]; then
    rm -rf "$tree"
    mkdir -p "$tree"
    for ((i = 1; i <= copies; ++i)); do cp -al "$work/tree" "$tree/Kopie_$i"; done
    echo "$copies" >"$tree.copies"
  fi
  config="$work/million/ZireVuz.ini"
  mkdir -p "$work/million"
  write_config "$config" "$tree"
  warm "$tree"
  run_batch "$config" "$work/million-batch"
  docs="$(grep -F "Gefundene Dokumente" "$work/million-batch.stdout" | awk '{ print $NF }')"
  books="$(grep -F "Arbeitsmappen" "$work/million-batch.stdout" | awk '{ print $2 }')"
  wall="$(wall_seconds "$work/million-batch.time")"
  echo "tabellix-batch: $docs documents, $books workbook file(s), $wall s, peak $(peak_mb "$work/million-batch.time") MB" \
    "(goal < 150 MB), $(rate "$docs" "$wall") docs/s wall against $batch_wall at $batch_docs documents" \
    "($(ratio "$(rate "$docs" "$wall")" "$batch_wall") of that rate: time grows linearly when it is near 1)"
fi
