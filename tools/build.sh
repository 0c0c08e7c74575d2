#!/usr/bin/env bash
# Configures and builds Tabellix into build/ (or $TBX_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${TBX_BUILD_DIR:-build}"
gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" "${gen[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
fi
cmake --build "$build" -j"$(nproc)" >&2
