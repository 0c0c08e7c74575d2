#!/usr/bin/env bash
# Builds Tabellix for 64-bit Windows on Debian 12 (as root, or with sudo):
# cross-compiled with MinGW-w64 against a Qt 6.4.2 kit, tested under Wine.
# Idempotent and non-interactive; each step does only what is missing.
#
#   bash tools/build-windows.sh [all]   packages, Qt kit, cross build, the
#                                       portable folder and the Setup program
#   bash tools/build-windows.sh test    packages, kit, cross build, then the
#                                       Windows tests under Wine in a fresh
#                                       Wine prefix, then the installer test
#   bash tools/build-windows.sh STEP    one step: deps, kit, libs, build, dist, setup
#
#   build-windows/dist/Tabellix/             the portable folder
#   build-windows/Tabellix-<version>-Setup.exe   the installer
#
# The tests under Wine compare the Windows programs with the Linux build in
# build/ (tools/test.sh makes it first; TBX_LINUX_BUILD_DIR names another).
#
# Environment:
#   TBX_WIN_BUILD_DIR       build folder (build-windows)
#   TBX_LINUX_BUILD_DIR     the Linux build the Windows tests compare with (build)
#   TBX_CACHE_DIR           where the kit goes (~/.cache/tabellix)
#   TBX_QT_KIT_FROM_SOURCE=1  build the kit from Debian's source even when the
#                           prepared one is beside the repository
set -euo pipefail
cd "$(dirname "$0")/.."
top="$PWD"
build="${TBX_WIN_BUILD_DIR:-build-windows}"
mkdir -p "$build"
build="$(cd "$build" && pwd)"
cache="${TBX_CACHE_DIR:-$HOME/.cache/tabellix}"
kit="$cache/tabellix-qt6-mingw"
kit_archive="$top/../shared/windows/qt6.4.2-mingw-w64.tar.xz"
libs="$cache/tabellix-mingw-libs"
linux_build="${TBX_LINUX_BUILD_DIR:-$top/build}"
programs=(tabellix tabellix-batch tabellix-props)
# Two cores are shared with others on the build machines.
jobs=$(($(nproc) < 2 ? $(nproc) : 2))

say() { echo "build-windows.sh: $*" >&2; }
die() { say "$*"; exit 1; }
timed() {
  local step="$1" start=$SECONDS
  shift
  "$@"
  say "$step: $((SECONDS - start)) s"
}

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

apt_install() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  say "installiere ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# qt6-base-dev brings the host's Qt CMake packages (Qt6CoreTools, ...) that
# the kit's configuration finds through QT_HOST_PATH=/usr; the tools
# themselves (moc, rcc, uic) come from qt6-base-dev-tools.
step_deps() {
  apt_install g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools \
    qt6-base-dev qt6-base-dev-tools cmake ninja-build xz-utils dpkg-dev \
    wine wine64 xvfb googletest nsis locales libsqliteodbc unixodbc python3-xlrd
  # Wine takes the user's locale from the host's: the tests compare German
  # dates and numbers with the Linux build's.
  if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    $SUDO sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
    $SUDO locale-gen >&2
  fi
}

# Debian's sources of a package (a deb-src line for bookworm main).
ensure_deb_src() {
  if ! apt-cache showsrc "$1" 2>/dev/null | grep -q "^Package: $1"; then
    say "trage die Debian-Quellen (deb-src bookworm main) ein"
    $SUDO tee /etc/apt/sources.list.d/tabellix-deb-src.sources >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    $SUDO apt-get update -qq
  fi
}

# libxlsxwriter and the zlib it packs with, which Debian has for Linux only:
# built from Debian's own sources for MinGW, static, into the cache (about a
# minute, once per version).
step_libs() {
  local stamp="$libs/.tabellix-origin" want="libxlsxwriter 1.1.4, zlib 1.2.13"
  [ "$(cat "$stamp" 2>/dev/null)" = "$want" ] && return 0
  ensure_deb_src libxlsxwriter
  local work="$cache/mingw-libs-build" toolchain="$top/packaging/windows/mingw-w64.cmake"
  rm -rf "$work" "$libs"
  mkdir -p "$work" "$libs/include" "$libs/lib"
  (
    cd "$work"
    apt-get source --download-only libxlsxwriter zlib >&2
    tar -xzf libxlsxwriter_1.1.4.orig.tar.gz
    tar -xjf zlib_1.2.13.dfsg.orig.tar.bz2
    cmake -S zlib-1.2.13.dfsg -B zlib-build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release >&2
    cmake --build zlib-build --target zlibstatic -j"$jobs" >&2
    cp zlib-build/libzlibstatic.a "$libs/lib/libz.a"
    cp zlib-1.2.13.dfsg/zlib.h zlib-build/zconf.h "$libs/include/"
    cmake -S libxlsxwriter-RELEASE_1.1.4 -B lxw-build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$libs" -DBUILD_SHARED_LIBS=OFF \
      -DZLIB_LIBRARY="$libs/lib/libz.a" -DZLIB_INCLUDE_DIR="$libs/include" >&2
    cmake --build lxw-build -j"$jobs" >&2
    cmake --install lxw-build >&2
  )
  rm -rf "$work"
  echo "$want" >"$stamp"
  say "libxlsxwriter für MinGW gebaut: $libs"
}

# The kit is ready when its toolchain file is there and it came from the
# archive it was checked against (or was built here).
kit_origin() { cat "$kit/.tabellix-origin" 2>/dev/null || true; }

step_kit() {
  if [ -f "$kit_archive" ] && [ "${TBX_QT_KIT_FROM_SOURCE:-0}" != 1 ]; then
    unpack_kit
  elif [ -f "$kit/lib/cmake/Qt6/qt.toolchain.cmake" ] && [ -n "$(kit_origin)" ] &&
    { [ "${TBX_QT_KIT_FROM_SOURCE:-0}" != 1 ] || [[ "$(kit_origin)" == source:* ]]; }; then
    :  # made before: from Debian's source, or from an archive no longer beside us
  else
    build_kit_from_source
  fi
}

unpack_kit() {
  local want have
  want="$(awk '{print $1; exit}' "$kit_archive.sha256" 2>/dev/null || true)"
  [ -n "$want" ] || die "$kit_archive.sha256 fehlt: das Qt-Paket wird nicht ungeprüft ausgepackt"
  [ -f "$kit/lib/cmake/Qt6/qt.toolchain.cmake" ] && [ "$(kit_origin)" = "sha256:$want" ] && return 0
  have="$(sha256sum "$kit_archive" | awk '{print $1}')"
  [ "$have" = "$want" ] || die "Prüfsumme von $kit_archive stimmt nicht ($have statt $want)"
  mkdir -p "$cache"
  local tmp
  tmp="$(mktemp -d "$cache/unpack.XXXXXX")"
  tar -xJf "$kit_archive" -C "$tmp"
  [ -f "$tmp/tabellix-qt6-mingw/lib/cmake/Qt6/qt.toolchain.cmake" ] || die "$kit_archive enthält kein tabellix-qt6-mingw/"
  echo "sha256:$want" >"$tmp/tabellix-qt6-mingw/.tabellix-origin"
  rm -rf "$kit"
  mv "$tmp/tabellix-qt6-mingw" "$kit"
  rmdir "$tmp"
  say "Qt-Paket ausgepackt nach $kit"
}

# The same kit from Debian's own qt6-base source (about 35 minutes on two
# cores, once): the options and the fix-ups of ../shared/windows/README.md.
build_kit_from_source() {
  apt_install qt6-base-dev qt6-base-dev-tools dpkg-dev
  ensure_deb_src qt6-base
  local work="$cache/qt6-base-build"
  rm -rf "$work"
  mkdir -p "$work"
  (
    cd "$work"
    apt-get source --download-only qt6-base >&2
    tar -xJf qt6-base_6.4.2+dfsg.orig.tar.xz
    cp "$top/packaging/windows/mingw-w64.cmake" .
    mkdir build
    cd build
    # Debian leaves out src/3rdparty/wintab (tablet input, which Tabellix does
    # not use) and the bundled SQLite: no tablet events, no QSQLITE.
    ../qtbase-everywhere-src-6.4.2/configure -release -prefix /opt/tabellix-qt6-mingw \
      -xplatform win32-g++ -qt-host-path /usr -nomake examples -nomake tests \
      -no-opengl -no-dbus -no-feature-network -no-feature-printsupport \
      -sql-odbc -no-sql-sqlite -no-sql-psql -no-sql-mysql \
      -qt-zlib -qt-pcre -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz \
      -- -DCMAKE_TOOLCHAIN_FILE="$work/mingw-w64.cmake" \
      -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DFEATURE_tabletevent=OFF -G Ninja >&2
    cmake --build . --parallel "$jobs" >&2
    DESTDIR="$work/stage" cmake --install . >&2
  )
  local staged="$work/stage/opt/tabellix-qt6-mingw"
  find "$staged" -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
  rm -rf "$staged/doc"
  cp "$top/packaging/windows/mingw-w64.cmake" "$staged/"
  # The kit must find its compiler settings wherever it is unpacked.
  sed -i 's|^set(__qt_initially_configured_toolchain_file .*|set(__qt_initially_configured_toolchain_file "${CMAKE_CURRENT_LIST_DIR}/../../../mingw-w64.cmake")|' \
    "$staged/lib/cmake/Qt6/qt.toolchain.cmake"
  grep -q 'CMAKE_CURRENT_LIST_DIR}/../../../mingw-w64.cmake' "$staged/lib/cmake/Qt6/qt.toolchain.cmake" \
    || die "qt.toolchain.cmake nicht angepasst"
  echo "source:qt6-base 6.4.2" >"$staged/.tabellix-origin"
  rm -rf "$kit"
  mv "$staged" "$kit"
  rm -rf "$work"
  say "Qt-Paket aus den Debian-Quellen gebaut: $kit"
}

step_build() {
  if [ -f "$build/CMakeCache.txt" ] && ! grep -q "^CMAKE_HOME_DIRECTORY:INTERNAL=$top\$" "$build/CMakeCache.txt"; then
    rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
  fi
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$kit/lib/cmake/Qt6/qt.toolchain.cmake" -DTBX_WINDOWS_LIBS_DIR="$libs" \
    -DTBX_LINUX_BUILD_DIR="$linux_build" >&2
  cmake --build "$build" -j"$jobs" >&2
}

version() {
  sed -n 's/^project(Tabellix VERSION \([0-9][0-9.]*\).*/\1/p' "$top/CMakeLists.txt"
}

find_program_exe() { [ -f "$build/app/$1.exe" ] && echo "$build/app/$1.exe"; }

mingw_runtime_dir() {
  dirname "$(realpath "$(x86_64-w64-mingw32-g++-posix -print-file-name="$1")")"
}

step_dist() {
  local exes=() p exe
  for p in "${programs[@]}"; do
    exe="$(find_program_exe "$p")"
    [ -n "$exe" ] || die "$p.exe ist nicht gebaut (in $build): bash tools/build-windows.sh build"
    exes+=("$exe")
  done
  local dist="$build/dist/Tabellix"
  rm -rf "$dist"
  mkdir -p "$dist/platforms" "$dist/styles" "$dist/sqldrivers" "$dist/examples"
  for exe in "${exes[@]}"; do
    x86_64-w64-mingw32-strip --strip-unneeded -o "$dist/$(basename "$exe")" "$exe"
  done
  # Plugins Qt loads at run time (none of them is an import of the programs):
  # the Windows platform, the native look, and ODBC for database mode.
  cp "$kit/plugins/platforms/qwindows.dll" "$dist/platforms/"
  cp "$kit/plugins/styles/qwindowsvistastyle.dll" "$dist/styles/"
  cp "$kit/plugins/sqldrivers/qsqlodbc.dll" "$dist/sqldrivers/"
  local dlls
  dlls="$(bash "$top/tools/windows-dlls.sh" --dir "$kit/bin" \
    --dir "$(mingw_runtime_dir libstdc++-6.dll)" --dir "$(mingw_runtime_dir libwinpthread-1.dll)" \
    "$dist"/*.exe "$dist"/*/*.dll)"
  # Debian's MinGW runtime comes with its symbols (libstdc++-6.dll: 23 MB
  # instead of 2).
  while IFS= read -r p; do x86_64-w64-mingw32-strip --strip-unneeded -o "$dist/$(basename "$p")" "$p"; done <<<"$dlls"
  cp "$top/examples/ZireVuz.ini" "$top/examples/ZireVuz-db.ini" "$dist/examples/"
  cp "$top/LICENSE" "$dist/LICENSE.txt"
  say "portabler Ordner: $dist ($(du -sh "$dist" | cut -f1))"
}

setup_exe() { echo "$build/Tabellix-$(version)-Setup.exe"; }

step_setup() {
  [ -d "$build/dist/Tabellix" ] || step_dist
  bash "$top/packaging/windows/make-setup.sh" "$build/dist/Tabellix" "$(version)" "$(setup_exe)" >/dev/null
  say "Setup: $(setup_exe) ($(du -h "$(setup_exe)" | cut -f1))"
}

step_test() {
  [ -x "$linux_build/app/tabellix-batch" ] && [ -x "$linux_build/tools/tbx-samplegen" ] ||
    die "die Windows-Tests vergleichen mit dem Linux-Build in $linux_build: cmake -S . -B build && cmake --build build"
  # A fresh prefix for this run; the tests of the run share it.
  timed "Wine-Präfix" bash "$top/tools/wine-test.sh" --prefix "$build/wine-prefix" --fresh-prefix
  timed "portabler Ordner" step_dist
  timed "Setup" step_setup
  # Wine now and then fails to create a window ("Failed to create platform
  # window"): a test gets three tries; one that fails for a reason of its
  # own fails all three.
  (cd "$build" && ctest --output-on-failure -j"$jobs" --timeout 300 --repeat until-pass:3)
}

what="${1:-all}"
case "$what" in
  deps) timed deps step_deps ;;
  kit) timed kit step_kit ;;
  libs) timed libs step_libs ;;
  build) step_kit; step_libs; timed build step_build ;;
  dist) step_kit; timed dist step_dist ;;
  setup) step_kit; timed setup step_setup ;;
  all | test)
    timed "Pakete" step_deps
    timed "Qt-Paket" step_kit
    timed "libxlsxwriter" step_libs
    timed "Cross-Build" step_build
    if [ "$what" = test ]; then
      step_test
    else
      timed "portabler Ordner" step_dist
      timed "Setup" step_setup
    fi
    ;;
  *) die "unbekannter Schritt $what (all, test, deps, kit, libs, build, dist, setup)" ;;
esac
