#!/usr/bin/env bash
# Both workbook writers side by side, as a run with the German locale uses
# them: the .xls writer at its largest part (65,000 rows) and the .xlsx writer
# at the same size and at 1,000,000 rows in one workbook, each with text
# cells only and with a number and a date column (Zelltypen=ja). Every
# writer runs in a process of its own, so each peak memory is its own.
#   bash bench/xlsxwrite/compare.sh [BUILD_DIR]     (default: build)
# The workbooks and libxlsxwriter's row files go to a scratch folder, removed
# at the end; a million-row .xlsx takes about half a gigabyte there.
set -euo pipefail
bench="${1:-build}/bench/xlsxwrite/bench_xlsxwrite"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export TMPDIR="$scratch" LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8

printf '%-7s %-6s %8s %11s %11s %12s %9s\n' writer cells rows "µs/row" "cpu µs/row" "cpu ×.xls" "peak MB"
for cells in text typed; do
  xls_per_row=""
  for run in "xls 65000" "xlsx 65000" "xlsx 1000000"; do
    read -r format rows <<<"$run"
    extra=()
    [ "$cells" = typed ] && extra=(typed)
    line="$("$bench" "$rows" "$scratch/bench.$format" "${extra[@]}")"
    per_row="$(sed -E 's/.*, ([0-9.]+) us per row.*/\1/' <<<"$line")"
    cpu="$(sed -E 's/.*cpu ([0-9.]+) us per row.*/\1/' <<<"$line")"
    peak="$(sed -E 's/.*peak memory ([0-9.]+) MB.*/\1/' <<<"$line")"
    [ -z "$xls_per_row" ] && xls_per_row="$cpu"
    ratio="$(LC_ALL=C awk -v a="$cpu" -v b="$xls_per_row" 'BEGIN { printf "%.2f", a / b }')"
    printf '%-7s %-6s %8s %11s %11s %12s %9s\n' ".$format" "$cells" "$rows" "$per_row" "$cpu" "$ratio" "$peak"
    # The last row of a million must be in the package, with its cells.
    if [ "$rows" = 1000000 ]; then
      last="$(unzip -p "$scratch/bench.xlsx" xl/worksheets/sheet1.xml | tail -c 4000 | grep -o '<row r="[0-9]*"' | tail -1)"
      [ "$last" = '<row r="1000001"' ] || { echo "letzte Zeile fehlt: $last" >&2; exit 1; }
    fi
    rm -f "$scratch/bench.$format"
  done
done
