#!/usr/bin/env bash
# Installs what Tabellix needs on Debian 12. Idempotent and non-interactive;
# skips apt entirely when everything is there.
#   bash tools/setup.sh        building, running, the demos and the package
#   bash tools/setup.sh test   the same, and what the tests, benchmarks and
#                              fuzzing need on top of it
set -euo pipefail

packages=(
  cmake g++ ninja-build pkg-config
  qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc qt6-svg-dev qt6-translations-l10n
  libxlsxwriter-dev
  python3-xlrd python3-openpyxl sqlite3 xdg-utils
  dpkg-dev file
)
if [ "${1:-}" = test ]; then
  packages+=(
    libgtest-dev python3-olefile python3-pyte
    postgresql unixodbc odbc-postgresql libsqliteodbc
    xvfb xdotool imagemagick
    clang libclang-rt-14-dev
    libimage-exiftool-perl
    desktop-file-utils lintian man-db groff-base unzip
    libreoffice-calc-nogui gnumeric
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "Installing: ${missing[*]}" >&2
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi
