#!/usr/bin/env bash
# Builds korvan2a and runs it twice on a copy of the shipped sample game in a
# scratch directory, with the atlas: the first capture, then a later capture
# with the map comparison on (/mm:7). Prints each command line as it can be
# pasted into a shell, where the reports and the atlas are, and that the scratch
# directory may be deleted.
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
korvan=$top/build-run/korvan2a
args=(/g:sample /n:300 /al:286 /ry:113 /sd:155 "/d:275;81;80" /m:sample.ztm /atlas+)

# The words as a shell reads them back: quoted where a character would mean
# something to the shell (the ";" of /d: would end the command).
Quoted() {
  local word out=()
  for word in "$@"; do
    if [[ $word =~ ^[A-Za-z0-9_./:+=%@,-]+$ ]]; then
      out+=("$word")
    else
      out+=("'${word//\'/\'\\\'\'}'")
    fi
  done
  echo "${out[*]}"
}

echo "== a copy of the sample game in $work: a scratch folder of its own, which"
echo "   you may delete when you are done (rm -r $(Quoted "$work"))"
echo
echo "== the first capture:"
echo "   cd $(Quoted "$work")"
echo "   $(Quoted "$korvan" "${args[@]}")"
"$korvan" "${args[@]}"
echo
echo "== a later capture, compared with the first run's map:"
echo "   cp $(Quoted "$top")/examples/sample/second/sample.* ."
echo "   $(Quoted "$korvan" "${args[@]}" /mm:7)"
cp "$top"/examples/sample/second/sample.* "$work"/
"$korvan" "${args[@]}" /mm:7
echo
echo "== the change log, $work/sample_changelog.txt:"
cat sample_changelog.txt
echo "== the reports, reference copies and backups are in $work:"
ls "$work"
echo
echo "== open the atlas in a browser: file://$work/sample_atlas.html"
echo "== $work is a scratch copy: delete it when you are done (rm -r $(Quoted "$work"))"
