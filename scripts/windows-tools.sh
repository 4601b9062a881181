# Sourced by the scripts that build korvan2a.exe or run it under wine
# (windows-test.sh, package.sh, package-test.sh).
#
# WindowsTools [wine]: makes sure the MinGW-w64 cross compiler is there, and wine
# too when asked; installs the missing Debian packages when it may (root),
# otherwise says what to install and fails. Sets WINE to wine's program.
# WinePrefix: exports the wine settings the scripts run under, with a prefix of
# our own kept between runs (its first start takes several seconds), and starts
# it.
# SqliteSource: makes SQLite's source for the Windows build, which compiles it
# into korvan2a.exe, and sets SQLITE_SOURCE to its folder (see below).

# Installs the Debian packages named when it may (root); otherwise says what to
# install and fails.
InstallMissing() {
  [ $# -gt 0 ] || return 0
  if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null 2>&1; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >/dev/null
  else
    echo "please install the Debian packages: $* (sudo apt-get install $*)" >&2
    return 1
  fi
}

FindWine() {
  command -v wine64 2>/dev/null || { [ -x /usr/lib/wine/wine64 ] && echo /usr/lib/wine/wine64; } ||
    command -v wine 2>/dev/null || true
}

WindowsTools() {
  local missing=()
  command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || missing+=(g++-mingw-w64-x86-64-posix)
  if [ "${1:-}" = wine ] && [ -z "$(FindWine)" ]; then missing+=(wine64); fi
  InstallMissing "${missing[@]}" || return 1
  WINE=$(FindWine)
}

WinePrefix() {
  export WINEPREFIX=${KORVAN_WINEPREFIX:-$PWD/build-windows/wine-prefix}
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$(dirname "$WINEPREFIX")"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$WINE" wineboot --init >/dev/null 2>&1
  fi
  "$WINE" cmd /c exit >/dev/null 2>&1 || true
}

# Makes build-sqlite/source/ hold SQLite's sqlite3.c and sqlite3.h and its
# licence note (licence.txt), unless it does already, and sets SQLITE_SOURCE to
# that folder. They come from Debian's source package of sqlite3, with Debian's
# patches applied: `apt-get source` fetches it through deb-src entries for the
# Debian mirrors apt is configured with, in an apt state of its own under
# build-sqlite/ (the machine's apt setup is not changed), and the package's own
# tools, tclsh and a C compiler, join its files into sqlite3.c. Nothing else is
# downloaded.
SqliteSource() {
  local top=$PWD/build-sqlite
  SQLITE_SOURCE=$top/source
  [ -f "$SQLITE_SOURCE/sqlite3.c" ] && [ -f "$SQLITE_SOURCE/sqlite3.h" ] &&
    [ -f "$SQLITE_SOURCE/licence.txt" ] && return 0
  local missing=()
  command -v tclsh >/dev/null 2>&1 || missing+=(tcl)
  command -v dpkg-source >/dev/null 2>&1 || missing+=(dpkg-dev)
  command -v gcc >/dev/null 2>&1 || missing+=(gcc)
  command -v make >/dev/null 2>&1 || missing+=(make)
  InstallMissing "${missing[@]}" || return 1
  rm -rf "$top"
  mkdir -p "$top/apt/lists/partial" "$top/fetched"
  # deb-src twins of the Debian archives apt reads packages from.
  apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' 'Created-By: Packages' |
    sort -u | while read -r uri release component; do
      echo "deb-src $uri $release $component"
    done >"$top/apt/sources.list"
  [ -s "$top/apt/sources.list" ] || { echo "SqliteSource: apt names no Debian archive" >&2; return 1; }
  local apt=(apt-get -q -o Dir::Etc::SourceList="$top/apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o Dir::State::Lists="$top/apt/lists" -o Dir::Cache="$top/apt/cache")
  "${apt[@]}" update >/dev/null
  (cd "$top/fetched" && "${apt[@]}" source --download-only sqlite3 >/dev/null 2>&1) ||
    { echo "SqliteSource: apt-get source sqlite3 failed" >&2; return 1; }
  local dsc
  dsc=$(ls "$top"/fetched/sqlite3_*.dsc)
  dpkg-source -x "$dsc" "$top/tree" >/dev/null
  # The amalgamation: SQLite's configure and its make target sqlite3.c.
  (cd "$top/tree" && ./configure --disable-tcl >/dev/null && make sqlite3.c >/dev/null 2>&1) ||
    { echo "SqliteSource: making sqlite3.c failed (see $top/tree)" >&2; return 1; }
  mkdir -p "$SQLITE_SOURCE"
  cp "$top/tree/sqlite3.c" "$top/tree/sqlite3.h" "$SQLITE_SOURCE/"
  local version
  version=$(basename "$dsc" .dsc)
  {
    echo "korvan2a.exe holds SQLite $(cat "$top/tree/VERSION"), built from Debian's source package"
    echo "${version/_/ }. SQLite is in the public domain; its author's note:"
    echo
    cat "$top/tree/LICENSE.md"
  } >"$SQLITE_SOURCE/licence.txt"
}
