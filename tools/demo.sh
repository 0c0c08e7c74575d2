#!/usr/bin/env bash
# The main job as users run it: sets up the machine, builds Tabellix,
# generates a tree of sample CAD documents, writes a configuration beside it,
# runs tabellix-batch and shows where the workbook is and what it holds.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/demo-common.sh
demo_prepare "" 300 7

# Aliases (Titel, Autor, Dokumentnummer, Firma), a property of the CAD
# system's own set (Material), user-defined properties (Prüfer, Stückzahl), a
# length limit, a criterion, format patterns that the document numbers fit
# and the stock counts often miss, the creation date and the file type.
# TBX_DEMO_WORKBOOK=Liste.xlsx writes an .xlsx workbook, TBX_DEMO_ZELLTYPEN=ja
# numbers and dates as number and date cells.
workbook="${TBX_DEMO_WORKBOOK:-Liste.xls}"
cat >"$out/ZireVuz.ini" <<INI
[Config]
Pattern=par psm asm dft
Kopfzeile=ja
Zelltypen=${TBX_DEMO_ZELLTYPEN:-nein}

[Pfade]
SourceDir=$out/Dokumente
ExcelFile=$workbook

[MapProperties]
C=Titel
D=Autor#L12
E=Dokumentnummer
F=Projektname
G=Firma
H=Prüfer
I=Stückzahl
J=Material
K=Erstelldatum
L=%Dateityp

[Criteria]
Kategorie=bau

[Dokumentnummer]
Format0=!!-999-99999

[Stückzahl]
Format0=9999
INI

demo_run_and_report "$out/$workbook"
