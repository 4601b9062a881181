#!/usr/bin/env bash
# Builds korvan2a and every test, then runs them: the program's tests, and the
# atlas page's tests under node and in headless Chromium. Installs the Debian
# packages (and the atlas test's node packages) it needs when they are missing
# and it may (root); otherwise says what to install.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
SANITIZE=${KORVAN_SANITIZE:-OFF}
# The atlas tests (node, chromium) run in the plain build only.
if [ "$SANITIZE" = ON ]; then bash scripts/deps.sh; else bash scripts/deps.sh atlas; fi
GEN=()
command -v ninja >/dev/null 2>&1 && GEN=(-G Ninja)
cmake -S . -B "$BUILD_DIR" "${GEN[@]}" -DKORVAN_TESTS=ON -DKORVAN_WERROR=ON -DKORVAN_SANITIZE="$SANITIZE" >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)"
