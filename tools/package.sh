#!/usr/bin/env bash
# Builds the Debian package in a release build: build-release/tabellix_<version>_<arch>.deb
# (or under $TBX_RELEASE_DIR). Prints the package's path on stdout.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
build="${TBX_RELEASE_DIR:-build-release}"
gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
[ -f "$build/CMakeCache.txt" ] && gen=()  # a build folder keeps its generator
# The prefix is given every time: the programs carry the paths of their
# installed files (the commented examples), and they must be the package's.
cmake -S . -B "$build" "${gen[@]}" -DCMAKE_BUILD_TYPE=Release -DTABELLIX_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr >&2
cmake --build "$build" -j"$(nproc)" --target tabellix tabellix-batch tabellix-props man_pages debian_changelog >&2
(cd "$build" && cpack -G DEB >&2)
ls -t "$build"/tabellix_*.deb | head -n 1
