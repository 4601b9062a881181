#!/usr/bin/env bash
# Builds the two release packages with CPack, from Release builds of their own:
#
#   out/korvan2a_<version>_<arch>.deb   the Linux build (build-package/): the
#                                       program, README, players' guide,
#                                       licence, sample game
#   out/korvan2a-<version>-win64.zip    the MinGW-w64 cross build
#                                       (build-package-windows/): korvan2a.exe,
#                                       the players' guide, licence, SQLite's
#                                       licence note, sample game
#
# The version is the one in CMakeLists.txt. Installs the Debian packages it
# needs when they are missing and it may (root); otherwise says what to
# install. scripts/package-test.sh installs and runs what this makes.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
bash scripts/deps.sh
source scripts/windows-tools.sh
WindowsTools
SqliteSource
GEN=()
command -v ninja >/dev/null 2>&1 && GEN=(-G Ninja)
mkdir -p out

# Linux: installed under /usr, the licence where Debian keeps it.
cmake -S . -B build-package "${GEN[@]}" -DCMAKE_BUILD_TYPE=Release -DKORVAN_TESTS=OFF \
  -DKORVAN_WERROR=ON -DKORVAN_STATIC=ON -DKORVAN_DEBIAN_DOCS=ON -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build build-package --target korvan2a -j "$(nproc)"
# The package depends on the C library and SQLite (dpkg-shlibdeps): the program
# must need no other shared library, the C++ runtime being linked in.
if ldd build-package/korvan2a | grep -vE '^\s*(linux-vdso|/lib64/ld-linux|lib(c|m|sqlite3)\.so)' >&2; then
  echo "package.sh: build-package/korvan2a needs the shared libraries above" >&2
  exit 1
fi
rm -rf build-package/packages
(cd build-package && cpack -G DEB >/dev/null)

cmake -S . -B build-package-windows "${GEN[@]}" --no-warn-unused-cli \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release -DKORVAN_WERROR=ON \
  -DKORVAN_SQLITE_SOURCE="$SQLITE_SOURCE" >/dev/null
cmake --build build-package-windows --target korvan2a -j "$(nproc)"
rm -rf build-package-windows/packages
(cd build-package-windows && cpack -G ZIP >/dev/null)

for package in build-package/packages/*.deb build-package-windows/packages/*.zip; do
  [ -f "$package" ] || { echo "package.sh: cpack made no package" >&2; exit 1; }
  cp "$package" out/
  echo "$top/out/$(basename "$package")"
done
