#!/usr/bin/env bash
# Hostile conditions, run on the real executable (optimised build):
#
# 1. A full disk: the second run of a 20000-sector game over the first run's
#    files, in a small tmpfs that fills up part way, at several sizes. Each run
#    must end with exit code 2 and the "error:  " line, and every file that
#    existed before must be unchanged or exactly what a successful run writes
#    (the change log up to its last complete record), with no temporary file
#    left. Needs root for mount; when tmpfs cannot be mounted the script says so
#    and fails.
# 2. Hostile captures: 100 MB of random bytes, one line of 50 MB, NUL bytes,
#    lines of nothing but CR, a port capture of a million lines, a route of
#    50 MB (an extra file given with /m:). Each run must
#    complete with the counts the readers define, in memory within a small
#    multiple of the longest line above an empty run, and in time linear in the
#    input. Peak memory and time are printed for each.
#
#   scripts/hostile.sh            exit code 0 when every check holds
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
bash scripts/deps.sh
if [ ! -x /usr/bin/time ]; then
  if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null 2>&1; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq time >/dev/null
  else
    echo "hostile.sh: please install the Debian package time" >&2
    exit 1
  fi
fi

# The test build's directory (optimised, with debug information) serves: its
# settings are kept as scripts/test.sh made them.
build=${HOSTILE_BUILD_DIR:-build}
GEN=()
command -v ninja >/dev/null 2>&1 && GEN=(-G Ninja)
cmake -S . -B "$build" "${GEN[@]}" >/dev/null
cmake --build "$build" --target korvan2a generate_game hostile_input -j 2 >/dev/null
korvan=$top/$build/korvan2a

work=$(mktemp -d "${TMPDIR:-/tmp}/korvan2a-hostile.XXXXXX")
mnt=$work/mnt
mkdir -p "$mnt"
cleanup() {
  mountpoint -q "$mnt" 2>/dev/null && umount "$mnt"
  rm -rf "$work"
}
trap cleanup EXIT

status=0
fail() {
  echo "hostile.sh: FAILED: $*" >&2
  status=1
}

# --- 1. a full disk ---------------------------------------------------------

# The change log with its record time stamps blanked, so records of two runs compare.
untimed() { sed -E 's/\[[0-9]{2}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\]/[time]/g' "$1"; }

# check_nothing_lost BEFORE AFTER NOW LABEL: every file of BEFORE is in NOW,
# unchanged or as in AFTER; the change log keeps its records and gains at most
# a beginning of this run's record; nothing else is in NOW but AFTER's files.
check_nothing_lost() {
  local before=$1 after=$2 now=$3 label=$4 f name size
  for f in "$before"/*; do
    name=$(basename "$f")
    if [ ! -f "$now/$name" ]; then
      fail "$label: $name is missing"
    elif [ "$name" = game_changelog.txt ]; then
      size=$(stat -c %s "$f")
      cmp -s -n "$size" "$f" "$now/$name" || fail "$label: the change log lost a record"
      tail -c +"$((size + 1))" "$now/$name" >"$work/tail.now"
      tail -c +"$((size + 1))" "$after/$name" >"$work/tail.after"
      untimed "$work/tail.now" >"$work/tail.now.u"
      untimed "$work/tail.after" >"$work/tail.after.u"
      cmp -s -n "$(stat -c %s "$work/tail.now.u")" "$work/tail.now.u" "$work/tail.after.u" ||
        fail "$label: the change log gained what is not this run's record"
    elif ! cmp -s "$f" "$now/$name" && ! cmp -s "$after/$name" "$now/$name"; then
      fail "$label: $name is neither the old file nor the new one ($(stat -c %s "$now/$name") bytes)"
    fi
  done
  for f in "$now"/*; do
    name=$(basename "$f")
    [ -e "$before/$name" ] && continue
    if [ ! -f "$after/$name" ] || ! cmp -s "$after/$name" "$f"; then
      fail "$label: $name is left behind"
    fi
  done
}

echo "== a full disk: the second run of a 20000-sector game in a small tmpfs"
"$top/$build/generate_game" --out "$work/game" --game game --sectors 20000 --seed 5 >/dev/null
read -r -a args < <(cut -d' ' -f2- "$work/game/game.cmd" | tr -d '\r')
args+=(/mm:7)
(cd "$work/game" && "$korvan" "${args[@]}" >/dev/null) || fail "the first run failed"
"$top/$build/generate_game" --out "$work/game" --game game --sectors 20000 --seed 5 --second >/dev/null
cp -a "$work/game" "$work/before"
(cd "$work/game" && "$korvan" "${args[@]}" >/dev/null) || fail "the second run failed on disk"
mv "$work/game" "$work/after"

if ! mount -t tmpfs -o size=64m tmpfs "$mnt" 2>"$work/mount.err"; then
  echo "!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!" >&2
  echo "hostile.sh: CANNOT MOUNT A TMPFS: $(cat "$work/mount.err")" >&2
  echo "hostile.sh: the full-disk test did NOT run (it needs root and mount)." >&2
  echo "!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!" >&2
  status=1
else
  # The space the file set takes before the run, and the smallest tmpfs in
  # which the run succeeds (found by bisection; a run needs room for each new
  # file beside the old one until the rename).
  cp -a "$work/before/." "$mnt/"
  used_before=$(df -B1 --output=used "$mnt" | tail -1)
  umount "$mnt"
  # try_size SIZE: runs the second run in a fresh tmpfs of SIZE bytes; sets rc.
  try_size() {
    mount -t tmpfs -o size="$1" tmpfs "$mnt"
    cp -a "$work/before/." "$mnt/"
    rc=0
    (cd "$mnt" && "$korvan" "${args[@]}" >"$work/out" 2>"$work/err") || rc=$?
  }
  low=$(( (used_before + 4095) / 4096 ))  # pages: the run fails here
  high=$((low + 16384))                    # 64 MB more: the run succeeds here
  while [ $((high - low)) -gt 1 ]; do
    mid=$(( (low + high) / 2 ))
    try_size $((mid * 4096))
    umount "$mnt"
    if [ "$rc" -eq 0 ]; then high=$mid; else low=$mid; fi
  done
  needed=$((high * 4096))
  echo "   file set: $used_before bytes before the run; the run needs a tmpfs of $needed bytes"
  for percent in 1 20 40 60 80 99; do
    size=$(( (used_before + (needed - 4096 - used_before) * percent / 100 + 4095) / 4096 * 4096 ))
    try_size "$size"
    label="tmpfs of $size bytes"
    [ "$rc" -eq 2 ] || fail "$label: exit code $rc, not 2"
    [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q '^error:  .*No space left on device$' "$work/err" ||
      fail "$label: the error line is $(cat "$work/err")"
    check_nothing_lost "$work/before" "$work/after" "$mnt" "$label"
    echo "   $label: exit code $rc, $(cat "$work/err")"
    umount "$mnt"
  done
fi

# --- 2. hostile captures ----------------------------------------------------

echo "== hostile captures (peak memory, time)"
# run_case NAME FILE: runs a 20000-sector game whose only input is FILE; sets
# rss (kB) and seconds, and checks the exit code.
run_case() {
  local dir=$work/h-$1
  shift
  rc=0
  (cd "$dir" && /usr/bin/time -f '%M %e' -o "$dir/time" "$korvan" /g:h /n:20000 "$@" >"$dir/out" \
    2>"$dir/err") || rc=$?
  [ "$rc" -eq 0 ] || fail "$1: exit code $rc: $(cat "$dir/err")"
  read -r rss seconds <"$dir/time"
}

# The baseline: an empty capture (a run with no input at all refuses to start).
mkdir -p "$work/h-empty"
: >"$work/h-empty/h.sct"
run_case empty
base_rss=$rss
echo "   an empty game: $rss kB, $seconds s"

declare -A seconds_of
# check_case NAME KIND FILE SIZE [SEED]
check_case() {
  local name=$1 kind=$2 file=$3 size=$4 seed=${5:-1} dir=$work/h-$1 count longest unit line bytes
  local extra
  mkdir -p "$dir"
  read -r count longest < <("$top/$build/hostile_input" "$kind" "$dir/$file" "$size" "$seed")
  bytes=$(stat -c %s "$dir/$file")
  extra=()
  [[ $file == *.ztm ]] && extra=(/m:"$file")
  run_case "$name" "${extra[@]}"
  unit=sectors
  [[ $file == *.prt ]] && unit=ports
  line=" $file: $count $unit read."
  grep -qxF "$line"$'\r' "$dir/h_changelog.txt" ||
    fail "$name: the change log does not say \"$line\": $(grep -a "$file" "$dir/h_changelog.txt")"
  # Memory: the empty run, plus a small multiple of the longest line, plus the
  # reader's block of 1 MB and what the lines fill into the Universe.
  local limit=$((base_rss + 3 * longest / 1024 + 16 * 1024))
  [ "$rss" -le "$limit" ] || fail "$name: peak memory $rss kB above $limit kB"
  seconds_of[$name]=$seconds
  printf '   %-16s %4d MB: %7d kB peak (%+7d kB), %6s s; %s %s read, longest line %d bytes\n' \
    "$name" "$((bytes / 1000000))" "$rss" "$((rss - base_rss))" "$seconds" "$count" "$unit" \
    "$longest"
  rm -f "$dir/$file"
}

check_case random-100MB random h.sct 100000000 1
check_case random-50MB random h.sct 50000000 2
check_case one-line-50MB long h.sct 50000000
check_case nul-bytes-20MB nul h.sct 20000000 3
check_case cr-only-20MB cr h.sct 20000000 4
check_case ports-1M-lines ports h.prt 1000000 5
check_case route-50MB route h.ztm 50000000 6

# Linear time: twice the bytes take about twice as long (with room for a busy machine).
awk -v a="${seconds_of[random-100MB]}" -v b="${seconds_of[random-50MB]}" \
  'BEGIN { exit !(a <= 3 * b + 0.5) }' ||
  fail "100 MB of random bytes took ${seconds_of[random-100MB]} s, 50 MB ${seconds_of[random-50MB]} s"

if [ "$status" -eq 0 ]; then echo "hostile.sh: every check holds"; fi
exit $status
