#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh test
bash tools/build.sh
build="${TBX_BUILD_DIR:-build}"
# The database tests read the throwaway PostgreSQL server's details from the
# environment; without a server they skip (and fail in CI, where CI=true).
pgenv="$(cd "$build" && pwd)/pgtest.env"
if bash tools/pgtest.sh start "$pgenv"; then
  trap 'bash tools/pgtest.sh stop "$pgenv"' EXIT
  # shellcheck disable=SC1090
  . "$pgenv"
else
  bash tools/pgtest.sh stop "$pgenv"
  echo "PostgreSQL-Testserver nicht gestartet: Tests mit PostgreSQL werden übersprungen" >&2
fi
# The package tests check the Debian package as users install it.
TBX_DEB="$(realpath "$(bash tools/package.sh)")"
export TBX_DEB
(cd "$build" && ctest --output-on-failure -j"$(nproc)" --timeout 900)
