# Shared by the demo scripts (sourced, not run): sets up the machine, builds
# Tabellix, makes a fresh output folder and generates a sample tree in it,
# runs the batch program and reports. The caller sets prefix, count and seed.

demo_prepare() {  # PREFIX COUNT SEED -> sets build, out
  bash tools/setup.sh
  TBX_TESTS=OFF bash tools/build.sh
  build="$(cd "${TBX_BUILD_DIR:-build}" && pwd)"
  out="demo-out/$1$(date +%Y%m%d-%H%M%S)"
  mkdir -p "$out"
  out="$(cd "$out" && pwd)"
  "$build/tools/tbx-samplegen" tree "$out/Dokumente" --count "${TBX_DEMO_COUNT:-$2}" --seed "$3" \
    --manifest "$out/manifest.json" >/dev/null
}

# Runs tabellix-batch on $out/ZireVuz.ini and shows the log, the workbook
# WORKBOOK and its first rows. Tabellix speaks German and its dates follow
# the locale, so the demo runs with the German one (Qt brings its own locale
# data, nothing to install).
demo_run_and_report() {  # WORKBOOK
  local status=0
  env LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 "$build/app/tabellix-batch" "$out/ZireVuz.ini" || status=$?
  echo
  echo "Beispieldokumente: $out/Dokumente"
  echo "Konfiguration:     $out/ZireVuz.ini"
  for log in "$out"/Protokoll_*.log; do
    [ -e "$log" ] && echo "Protokoll:         $log ($(wc -l <"$log") Zeilen)"
  done
  case "$status" in
    0) echo "Arbeitsmappe:      $1"
       echo
       /usr/bin/python3 tools/show-workbook.py "$1" --rows 8 --width 22 ;;
    1) echo "Keine Arbeitsmappe geschrieben (Rückgabewert 1): siehe Protokoll." ;;
    *) echo "Laufzeitfehler (Rückgabewert $status): siehe Protokoll." ;;
  esac
  return "$status"
}
