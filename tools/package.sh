#!/usr/bin/env bash
# Builds the Debian package in a release build: build-release/tabellix_<version>_<arch>.deb
# (or under $TBX_RELEASE_DIR). Prints the package's path on stdout.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
build="${TBX_RELEASE_DIR:-build-release}"
gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" "${gen[@]}" -DCMAKE_BUILD_TYPE=Release -DTABELLIX_TESTS=OFF >&2
fi
cmake --build "$build" -j"$(nproc)" --target tabellix tabellix-batch tabellix-props man_pages debian_changelog >&2
(cd "$build" && cpack -G DEB >&2)
ls -t "$build"/tabellix_*.deb | head -n 1
