#!/usr/bin/env bash
# Builds korvan2a and runs it twice on a copy of the shipped sample game in a
# scratch directory, with the atlas: the first capture, then a later capture
# with the map comparison on (/mm:7). Prints where the reports and the atlas are.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
bash scripts/deps.sh
GEN=()
command -v ninja >/dev/null 2>&1 && GEN=(-G Ninja)
cmake -S . -B build-run "${GEN[@]}" -DKORVAN_TESTS=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-run --target korvan2a -j "$(nproc)" >/dev/null
work=$(mktemp -d "${TMPDIR:-/tmp}/korvan2a-sample.XXXXXX")
cp examples/sample/sample* "$work"/
cd "$work"
args=(/g:sample /n:300 /al:286 /ry:113 /sd:155 "/d:275;81;80" /m:sample.ztm /atlas+)

echo "== first capture: korvan2a ${args[*]}"
"$top/build-run/korvan2a" "${args[@]}"
echo
echo "== a later capture, compared with the first run's map: korvan2a ${args[*]} /mm:7"
cp "$top"/examples/sample/second/sample.* "$work"/
"$top/build-run/korvan2a" "${args[@]}" /mm:7
echo
echo "== the change log, $work/sample_changelog.txt:"
cat sample_changelog.txt
echo "== the reports, reference copies and backups are in $work:"
ls "$work"
echo
echo "== open the atlas in a browser: file://$work/sample_atlas.html"
