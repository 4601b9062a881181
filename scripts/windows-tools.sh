# Sourced by the scripts that build korvan2a.exe or run it under wine
# (windows-test.sh, package.sh, package-test.sh).
#
# WindowsTools [wine]: makes sure the MinGW-w64 cross compiler is there, and wine
# too when asked; installs the missing Debian packages when it may (root),
# otherwise says what to install and fails. Sets WINE to wine's program.
# WinePrefix: exports the wine settings the scripts run under, with a prefix of
# our own kept between runs (its first start takes several seconds), and starts
# it.

FindWine() {
  command -v wine64 2>/dev/null || { [ -x /usr/lib/wine/wine64 ] && echo /usr/lib/wine/wine64; } ||
    command -v wine 2>/dev/null || true
}

WindowsTools() {
  local missing=()
  command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || missing+=(g++-mingw-w64-x86-64-posix)
  if [ "${1:-}" = wine ] && [ -z "$(FindWine)" ]; then missing+=(wine64); fi
  if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null 2>&1; then
      apt-get update -qq
      DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    else
      echo "please install the Debian packages: ${missing[*]} (sudo apt-get install ${missing[*]})" >&2
      return 1
    fi
  fi
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
