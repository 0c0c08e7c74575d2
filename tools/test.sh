#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh
build="${TBX_BUILD_DIR:-build}"
cd "$build"
ctest --output-on-failure -j"$(nproc)" --timeout 900
