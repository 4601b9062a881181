#!/usr/bin/env bash
# Builds korvan2a and runs it on a game in a scratch directory, then lists the
# files the run left there.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
GEN=()
command -v ninja >/dev/null 2>&1 && GEN=(-G Ninja)
cmake -S . -B build-run "${GEN[@]}" -DKORVAN_TESTS=OFF >/dev/null
cmake --build build-run --target korvan2a -j "$(nproc)"
work=$(mktemp -d "${TMPDIR:-/tmp}/korvan2a-sample.XXXXXX")
echo "running korvan2a in $work"
(cd "$work" && "$OLDPWD/build-run/korvan2a" /g:game)
echo
echo "the run's files are in $work:"
ls -l "$work"
