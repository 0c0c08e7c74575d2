#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test: the Linux
# build's, then the Windows build's under Wine.
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
status=0
(cd "$build" && ctest --output-on-failure -j"$(nproc)" --timeout 900) || status=$?
# The Windows build: cross-built, its tests run under Wine and compared with
# this build's runs on the same files (TBX_WINDOWS=0 leaves it out).
if [ "${TBX_WINDOWS:-1}" != 0 ]; then
  TBX_LINUX_BUILD_DIR="$(cd "$build" && pwd)" bash tools/build-windows.sh test || status=$?
fi
exit "$status"
