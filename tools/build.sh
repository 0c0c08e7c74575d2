#!/usr/bin/env bash
# Configures and builds Tabellix into build/ (or $TBX_BUILD_DIR). The tests
# are built unless TBX_TESTS=OFF (the demos need only the programs and tools,
# and so none of the test packages).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${TBX_BUILD_DIR:-build}"
gen=()
[ -f "$build/CMakeCache.txt" ] || { command -v ninja >/dev/null && gen=(-G Ninja); }
cmake -S . -B "$build" "${gen[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTABELLIX_TESTS="${TBX_TESTS:-ON}" >&2
cmake --build "$build" -j"$(nproc)" >&2
