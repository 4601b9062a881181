#!/usr/bin/env bash
# Makes sure the build tools are there: cmake, a C++20 compiler, GoogleTest and
# SQLite's library (the program keeps the game's history in it);
# with "atlas", also what the atlas tests need: node, npm, Debian's chromium and
# the browser test's node packages (tests/atlas/package-lock.json, from the npm
# registry). Installs what is missing when it may (root); otherwise says what to
# install.
#
#   bash scripts/deps.sh [atlas]
set -euo pipefail
cd "$(dirname "$0")/.."
missing=()
command -v cmake >/dev/null 2>&1 || missing+=(cmake)
command -v g++ >/dev/null 2>&1 || missing+=(g++)
[ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
[ -f /usr/include/sqlite3.h ] || missing+=(libsqlite3-dev)
if [ "${1:-}" = atlas ]; then
  command -v node >/dev/null 2>&1 || missing+=(nodejs)
  command -v npm >/dev/null 2>&1 || missing+=(npm)
  [ -x "${CHROMIUM:-/usr/bin/chromium}" ] || missing+=(chromium)
fi
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null 2>&1; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  else
    echo "please install the Debian packages: ${missing[*]} (sudo apt-get install ${missing[*]})" >&2
    exit 1
  fi
fi
[ "${1:-}" = atlas ] || exit 0
# The browser driver, at the version the lock file names; installed again when
# the lock file changes.
stamp=tests/atlas/node_modules/.installed-from-lock
if ! cmp -s tests/atlas/package-lock.json "$stamp" 2>/dev/null; then
  npm ci --prefix tests/atlas --no-audit --no-fund --loglevel=error >/dev/null
  cp tests/atlas/package-lock.json "$stamp"
fi
