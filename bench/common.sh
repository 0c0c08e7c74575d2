# What the benchmarks share: the documents' extensions, the properties
# mapped and the configuration of a run over a generated tree. Sourced.

# The eight properties ExifTool reads as well: five standard ones and three
# user-defined ones that the generator writes into every document.
properties=(Title Author Subject Keywords Company Gewicht Sachnummer Freigegeben)
extensions=(par psm asm dft)

# write_config FILE TREE [LOG]: columns C.. for the properties, one criterion that
# every readable document passes (so both programs read the same documents)
# and two format patterns for one column.
write_config() {
  local file="$1" tree="$2" log="${3:-ja}" column=C
  {
    echo "[Config]"
    echo "WriteLog=$log"
    echo "maxRange=65000"
    echo "Pattern=${extensions[*]}"
    echo "Kopfzeile=ja"
    echo "[Pfade]"
    echo "SourceDir=$tree"
    echo "ExcelFile=Liste.xls"
    echo "[MapProperties]"
    for p in "${properties[@]}"; do
      echo "$column=$p"
      column="$(echo "$column" | tr 'A-Y' 'B-Z')"
    done
    echo "[Criteria]"
    echo "Application Name=Solid Edge"
    echo "[Gewicht]"
    echo "Format0=99,99"
    echo "Format1=999,99"
  } >"$file"
}
