#!/usr/bin/env bash
# Database mode as users run it: sets up the machine, builds Tabellix,
# generates a sample tree of CAD documents, builds a sample SQLite database
# with one record per document of the tree (tools/sampledb), runs
# tabellix-batch with examples/ZireVuz-db.ini pointed at both, and prints
# where the workbook is and what it holds.
# TBX_DEMO_COUNT sets the number of documents (default 200).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/demo-common.sh
demo_prepare db- 200 42

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

echo "Datenbank:         $out/beispiel.db"
demo_run_and_report "$out/Liste-DB.xls"
