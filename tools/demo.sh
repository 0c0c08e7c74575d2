#!/usr/bin/env bash
# The main job as users run it: sets up the machine, builds Tabellix, writes a
# sample configuration into a fresh folder under demo-out/, runs tabellix-batch
# on it and prints the run log and where everything is.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh
build="${TBX_BUILD_DIR:-build}"

out="demo-out/$(date +%Y%m%d-%H%M%S)"
mkdir -p "$out/Dokumente"
out="$(cd "$out" && pwd)"

# The sample configuration with its paths pointed into the fresh folder.
sed -e "s|^SourceDir=.*|SourceDir=$out/Dokumente|" \
    -e "s|^ExcelFile=.*|ExcelFile=Liste.xls|" \
    examples/ZireVuz.ini >"$out/ZireVuz.ini"

# Tabellix speaks German; its log dates follow the locale, so the demo runs
# with the German one (Qt brings its own locale data, nothing to install).
status=0
env LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 "$build/app/tabellix-batch" "$out/ZireVuz.ini" || status=$?

echo
echo "Konfiguration: $out/ZireVuz.ini"
for log in "$out"/Protokoll_*.log; do
  [ -e "$log" ] || continue
  echo "Protokoll:     $log"
  echo "----------------------------------------------------------------------"
  cat "$log"
  echo "----------------------------------------------------------------------"
done
case "$status" in
  0) echo "Arbeitsmappe geschrieben: $out/Liste.xls" ;;
  1) echo "Keine Arbeitsmappe geschrieben (Rückgabewert 1): siehe Protokoll." ;;
  *) echo "Laufzeitfehler (Rückgabewert $status): siehe Protokoll." ;;
esac
