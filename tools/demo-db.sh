#!/usr/bin/env bash
# Database mode as users run it: sets up the machine, builds Tabellix,
# generates a sample tree of CAD documents, builds a sample SQLite database
# with one record per document of the tree (tools/sampledb), runs
# tabellix-batch with examples/ZireVuz-db.ini pointed at both, and prints
# where the workbook is and what it holds.
# TBX_DEMO_COUNT sets the number of documents (default 200).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh
build="$(cd "${TBX_BUILD_DIR:-build}" && pwd)"

out="demo-out/db-$(date +%Y%m%d-%H%M%S)"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

"$build/tools/tbx-samplegen" tree "$out/Dokumente" --count "${TBX_DEMO_COUNT:-200}" --seed 42 \
  --manifest "$out/manifest.json" >/dev/null
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
echo
/usr/bin/python3 tools/show-workbook.py "$out/Liste-DB.xls" --rows 10 --width 20
