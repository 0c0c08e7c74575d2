#!/usr/bin/env bash
# The main job as users run it: sets up the machine, builds Tabellix,
# generates a tree of sample CAD documents, writes a configuration beside it,
# runs tabellix-batch and shows where the workbook is and what it holds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh
build="$(cd "${TBX_BUILD_DIR:-build}" && pwd)"

out="demo-out/$(date +%Y%m%d-%H%M%S)"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

"$build/tools/tbx-samplegen" tree "$out/Dokumente" --count "${TBX_DEMO_COUNT:-300}" --seed 7 \
  --manifest "$out/manifest.json" >/dev/null

# Aliases (Titel, Autor, Dokumentnummer, Firma), user-defined properties
# (Prüfer, Stückzahl), a length limit, a quote, a criterion, format patterns,
# the creation date and the file type.
cat >"$out/ZireVuz.ini" <<INI
[Config]
Pattern=par psm asm dft
Kopfzeile=ja

[Pfade]
SourceDir=$out/Dokumente
ExcelFile=Liste.xls

[MapProperties]
C=Titel
D=Autor#L12
E=Dokumentnummer
F=Projektname
G=Firma
H=Prüfer
I=Stückzahl
J=Material#Q
K=Erstelldatum
L=%Dateityp

[Criteria]
Kategorie=bau

[Dokumentnummer]
Format0=!!-999-99999

[Stückzahl]
Format0=9999
INI

# Tabellix speaks German; its dates follow the locale, so the demo runs with
# the German one (Qt brings its own locale data, nothing to install).
status=0
env LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 "$build/app/tabellix-batch" "$out/ZireVuz.ini" || status=$?

echo
echo "Beispieldokumente: $out/Dokumente"
echo "Konfiguration:     $out/ZireVuz.ini"
for log in "$out"/Protokoll_*.log; do
  [ -e "$log" ] && echo "Protokoll:         $log ($(wc -l <"$log") Zeilen)"
done
case "$status" in
  0) echo "Arbeitsmappe:      $out/Liste.xls"
     echo
     /usr/bin/python3 tools/show-workbook.py "$out/Liste.xls" --rows 8 ;;
  1) echo "Keine Arbeitsmappe geschrieben (Rückgabewert 1): siehe Protokoll." ;;
  *) echo "Laufzeitfehler (Rückgabewert $status): siehe Protokoll." ;;
esac
exit "$status"
