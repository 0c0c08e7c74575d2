#!/usr/bin/env bash
# Database mode as users run it: sets up the machine, builds Tabellix,
# generates a sample tree of CAD documents, builds a sample SQLite database
# with one record per document of the tree (tools/sampledb), runs
# tabellix-batch with examples/ZireVuz-db.ini pointed at both, and prints
# where the workbook is and what it holds.
#
#   tools/demo-db.sh [DOCUMENTS]     (default 200)
set -euo pipefail
cd "$(dirname "$0")/.."
count="${1:-200}"
bash tools/setup.sh
bash tools/build.sh
build="${TBX_BUILD_DIR:-build}"

out="demo-out/db-$(date +%Y%m%d-%H%M%S)"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

"$build/tools/tbx-samplegen" tree "$out/Dokumente" --count "$count" --seed 42 --manifest "$out/manifest.json"
# Every file name of the tree gets a record; a few fixed documents of the
# sample data have no file, which does no harm.
/usr/bin/python3 -c '
import json, os, sys
for entry in json.load(open(sys.argv[1], encoding="utf-8"))["files"]:
    print(os.path.basename(entry["path"]))
' "$out/manifest.json" >"$out/dateinamen.txt"
/usr/bin/python3 tools/sampledb/sampledb.py --sqlite "$out/beispiel.db" --names "$out/dateinamen.txt"

sed -e "s|^SourceDir=.*|SourceDir=$out/Dokumente|" \
    -e "s|^ExcelFile=.*|ExcelFile=Liste-DB.xls|" \
    -e "s|^DataSource=.*|DataSource=$out/beispiel.db|" \
    examples/ZireVuz-db.ini >"$out/ZireVuz.ini"

status=0
env LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 "$build/app/tabellix-batch" "$out/ZireVuz.ini" || status=$?

echo
echo "Konfiguration: $out/ZireVuz.ini"
echo "Datenbank:     $out/beispiel.db"
for log in "$out"/Protokoll_*.log; do
  [ -e "$log" ] && echo "Protokoll:     $log"
done
if [ "$status" -ne 0 ]; then
  echo "Rückgabewert $status: siehe Protokoll."
  exit "$status"
fi
echo "Arbeitsmappe:  $out/Liste-DB.xls"
echo "Die ersten Zeilen:"
/usr/bin/python3 -c '
import sys, xlrd
sheet = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)
print("  (%d Zeilen mit Kopfzeile)" % sheet.nrows)
for r in range(min(sheet.nrows, 9)):
    cells = [str(sheet.cell_value(r, c)) for c in range(1, sheet.ncols)]  # without the folder column
    print("  " + " | ".join(cells))
' "$out/Liste-DB.xls"
