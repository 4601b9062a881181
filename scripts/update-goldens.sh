#!/usr/bin/env bash
# Regenerates the expected files of the end-to-end goldens (tests/golden/<case>/):
# replays each case's steps with korvan2a in a scratch directory and stores the
# console output, the list of files, and every file a run created or changed, with
# the change log's time stamps masked, of an atlas page only the data block it
# carries (<page>.data), and a history database as its rows, listed by the
# sqlite3 shell (Debian package sqlite3), the runs' times masked. Review the
# result with `git diff`.
#
#   bash scripts/update-goldens.sh [CASE...]     (default: every case)
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
BUILD_DIR=${BUILD_DIR:-build}
GEN=()
command -v ninja >/dev/null 2>&1 && GEN=(-G Ninja)
[ -f "$BUILD_DIR/CMakeCache.txt" ] || cmake -S . -B "$BUILD_DIR" "${GEN[@]}" >/dev/null
cmake --build "$BUILD_DIR" --target korvan2a >/dev/null
korvan=$top/$BUILD_DIR/korvan2a

mask() {  # the change log's record headers without their time stamps
  sed -E 's/^\[[0-9]{2}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\] BEGIN KORVAN2 RECORD:/[yy-mm-dd hh:mm:ss] BEGIN KORVAN2 RECORD:/' "$1"
}

# The data block of the atlas page $1: what stands between the two parts of the
# page built into the program (up to the data, and the rest), which the build
# leaves beside its generated source (cmake/embed_atlas.cmake).
head_part=$top/$BUILD_DIR/generated/atlas_head.bin
tail_part=$top/$BUILD_DIR/generated/atlas_tail.bin
atlas_data() {
  local size head tail
  size=$(wc -c <"$1")
  head=$(wc -c <"$head_part")
  tail=$(wc -c <"$tail_part")
  if [ "$size" -lt $((head + tail)) ] || ! cmp -s <(head -c "$head" "$1") "$head_part" ||
    ! cmp -s <(tail -c "$tail" "$1") "$tail_part"; then
    echo "$1 is not the built-in atlas page around a data block" >&2
    return 1
  fi
  head -c $((size - tail)) "$1" | tail -c +$((head + 1))
}

# The history's rows, as tests/history/sql_rows.cpp (HistoryRows) lists them.
rows() {
  sqlite3 -batch -list "$1" "SELECT 'meta'; SELECT key, value FROM meta ORDER BY key;
    SELECT 'runs'; SELECT run, 'yyyy-mm-dd hh:mm:ss', sectors, known, ports, capture FROM runs ORDER BY run;
    SELECT 'ports'; SELECT * FROM ports ORDER BY run, sector;
    SELECT 'known'; SELECT * FROM known ORDER BY sector;
    SELECT 'warps'; SELECT * FROM warps ORDER BY sector, target;"
}

scratch=$(mktemp -d "${TMPDIR:-/tmp}/korvan-goldens.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

cases=("$@")
if [ ${#cases[@]} -eq 0 ]; then
  for dir in tests/golden/*/; do [ -f "$dir/case.txt" ] && cases+=("$(basename "$dir")"); done
fi

for name in "${cases[@]}"; do
  golden=$top/tests/golden/$name
  [ -f "$golden/case.txt" ] || { echo "no case $name" >&2; exit 1; }
  rm -rf "$golden"/run[0-9]* "$scratch/work" "$scratch/before"
  mkdir -p "$scratch/work"
  run=0
  while read -r verb rest; do
    case "$verb" in
      ''|'#'*) continue ;;
      files)
        read -r src sub <<<"$rest"
        mkdir -p "$scratch/work/$sub"
        find "$top/$src" -maxdepth 1 -type f -exec cp {} "$scratch/work/$sub" \;
        ;;
      run)
        run=$((run + 1))
        read -r -a args <<<"$rest"
        rm -rf "$scratch/before"
        cp -a "$scratch/work" "$scratch/before"
        set +e
        (cd "$scratch/work" && "$korvan" "${args[@]}" >"$golden/run$run.console" 2>"$scratch/stderr" </dev/null)
        code=$?
        set -e
        if [ $code -ne 0 ] || [ -s "$scratch/stderr" ]; then
          echo "$name run $run: exit code $code, standard error:" >&2
          cat "$scratch/stderr" >&2
          exit 1
        fi
        (cd "$scratch/work" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) >"$golden/run$run.files"
        while read -r file; do
          if [ -f "$scratch/before/$file" ] && cmp -s "$scratch/before/$file" "$scratch/work/$file"; then
            continue
          fi
          mkdir -p "$(dirname "$golden/run$run/$file")"
          case "$file" in
            *_changelog.txt) mask "$scratch/work/$file" >"$golden/run$run/$file" ;;
            *_atlas.html) atlas_data "$scratch/work/$file" >"$golden/run$run/$file.data" ;;
            *_history.db) rows "$scratch/work/$file" >"$golden/run$run/$file" ;;
            *) cp "$scratch/work/$file" "$golden/run$run/$file" ;;
          esac
        done <"$golden/run$run.files"
        ;;
      *) echo "$name: unknown step $verb" >&2; exit 1 ;;
    esac
  done <"$golden/case.txt"
  echo "tests/golden/$name: $run runs, $(du -sh "$golden" | cut -f1)"
done
