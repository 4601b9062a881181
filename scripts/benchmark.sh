#!/usr/bin/env bash
# Times whole runs of korvan2a on generated games (README, "Speed"): builds
# Release, generates the games, and reports the median of RUNS timed runs after
# one warm-up run: wall time, processor time, peak resident memory and page
# faults; the atlas in headless Chromium; then the time of each phase. Every timed run starts from a fresh copy
# of its game directory (the copy is not timed).
#
#   bash scripts/benchmark.sh [RUNS]      (default 7)
#
# The machine should be otherwise idle: check `uptime` first and repeat.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
runs=${1:-7}
build=$top/build-bench

GEN=()
command -v ninja >/dev/null 2>&1 && GEN=(-G Ninja)
cmake -S . -B "$build" "${GEN[@]}" -DCMAKE_BUILD_TYPE=Release -DKORVAN_TESTS=OFF \
  -DKORVAN_WERROR=OFF >/dev/null
cmake --build "$build" --target korvan2a generate_game time_run phase_times >/dev/null
korvan=$build/korvan2a
timer=$build/time_run

work=$(mktemp -d "${TMPDIR:-/tmp}/korvan-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The command line of a generated game, without the program name.
game_args() { sed 's/^korvan2a //' "$1/game.cmd" | tr -d '\r'; }

generate() {  # generate NAME SECTORS PROFILE [--second]
  "$build/generate_game" --out "$work/$1" --game game --sectors "$2" --seed 1 \
    --profile "$3" "${@:4}" >/dev/null
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
div() { awk -v a="$1" -v b="$2" -v f="$3" 'BEGIN { printf f, a / b }'; }

# timed LABEL COMMAND...: one warm-up run, then $runs timed runs of COMMAND
# (time_run's arguments), each after `prepare`. Prints the medians of wall time
# (and the best wall time), processor time, peak resident memory and page
# faults, and keeps the wall median in $wall_us.
timed() {
  local label=$1
  shift
  local out=$work/times.txt
  : >"$out"
  for ((i = 0; i <= runs; i++)); do
    prepare
    local t
    t=$("$timer" "$@")
    [ "$i" -gt 0 ] && echo "$t" >>"$out"
  done
  wall_us=$(cut -d' ' -f1 "$out" | median)
  local best
  best=$(cut -d' ' -f1 "$out" | sort -n | head -1)
  printf '| %-36s | %7s | %7s | %7s | %6s | %6s |\n' "$label" "$(div "$wall_us" 1000 %.1f)" \
    "$(div "$best" 1000 %.1f)" \
    "$(div "$(cut -d' ' -f2 "$out" | median)" 1000 %.1f)" \
    "$(div "$(cut -d' ' -f3 "$out" | median)" 1024 %.1f)" "$(cut -d' ' -f4 "$out" | median)"
}

# measure LABEL START_DIR ARGS...: korvan2a in a fresh copy of START_DIR.
measure() {
  local label=$1
  start=$2
  shift 2
  prepare() { rm -rf "$work/run" && cp -r "$start" "$work/run"; }
  timed "$label" -C "$work/run" "$korvan" "$@"
}

# measure_copy LABEL DIR: the cp -r of DIR, the floor of a run that reads and
# writes every byte of its directory once.
measure_copy() {
  prepare() { rm -rf "$work/copy"; }
  timed "$1" cp -r "$2" "$work/copy"
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "load before: $(uptime | sed 's/.*load average: //')"
echo "generating the games..."
generate g20000 20000 realistic
generate g20000-second 20000 realistic --second
generate g10000 10000 realistic
generate g5000 5000 realistic
generate chain 20000 chain
generate star 20000 star
generate wide 20000 wide

# The game directory as a first run leaves it, and as a second run finds it.
args20000=$(game_args "$work/g20000")
cp -r "$work/g20000" "$work/after-first"
(cd "$work/after-first" && "$korvan" $args20000 >/dev/null)
cp -r "$work/after-first" "$work/before-second"
cp "$work/g20000-second/"* "$work/before-second/"

echo
echo "median of $runs runs after a warm-up run:"
echo
echo "| run                                  | wall ms | best ms |  cpu ms | rss MB | faults |"
echo "|--------------------------------------|--------:|--------:|--------:|-------:|-------:|"
measure "realistic 20000, first capture" "$work/g20000" $args20000
realistic=$wall_us
measure "realistic 20000, second run /mm:7" "$work/before-second" $args20000 /mm:7
second=$wall_us
measure "realistic 20000, first run /atlas+" "$work/g20000" $args20000 /atlas+
with_atlas=$wall_us
measure "realistic 20000, second run /atlas+" "$work/before-second" $args20000 /mm:7 /atlas+
second_atlas=$wall_us
# The page of the second run, which carries the changes against the map too.
cp "$work/run/game_atlas.html" "$work/atlas.html"
measure "realistic 10000" "$work/g10000" $(game_args "$work/g10000")
half=$wall_us
measure "realistic 5000" "$work/g5000" $(game_args "$work/g5000")
worst=0
for profile in chain star wide; do
  measure "$profile 20000" "$work/$profile" $(game_args "$work/$profile")
  [ "$wall_us" -gt "$worst" ] && worst=$wall_us
done
measure_copy "cp -r of the run's directory (floor)" "$work/after-first"
floor=$wall_us

echo
ratio() { div "$1" "$2" %.2f; }
echo "realistic 20000 / cp -r floor:       $(ratio "$realistic" "$floor")  (target <= 3)"
echo "second run / cp -r floor:            $(ratio "$second" "$floor")"
echo "time at 20000 / time at 10000:       $(ratio "$realistic" "$half")  (target <= 2.3)"
echo "slowest adversarial / realistic:     $(ratio "$worst" "$realistic")  (target <= 3)"
echo "with /atlas+ / without:              $(ratio "$with_atlas" "$realistic")  (target <= 1.25)"
echo "second run, with /atlas+ / without:  $(ratio "$second_atlas" "$second")  (target <= 1.25)"

# The atlas of the realistic 20000 game's second run in headless Chromium:
# its size, the first view, and the views bench/atlas_page.mjs times.
echo
bash scripts/deps.sh atlas
node bench/atlas_page.mjs "$work/atlas.html" "$runs"

# Per phase: the same run through bench/phase_times, which runs the driver
# (RunPhases) with an observer that clocks each phase.
echo
echo "phases of the realistic 20000 first run (median of $runs runs after a warm-up):"
echo
phases=$work/phases
mkdir -p "$phases"
for ((i = 0; i <= runs; i++)); do
  rm -rf "$work/run"
  cp -r "$work/g20000" "$work/run"
  (cd "$work/run" && "$build/phase_times" $args20000 >"$phases/$i.txt")
done
# The phase timer must do the real run's work: same files, byte for byte.
mask() { sed -E 's/^\[[0-9-]+ [0-9:]+\]/[time]/' "$1"; }
for file in "$work/after-first"/*; do
  name=$(basename "$file")
  case "$name" in
    *_changelog.txt) cmp -s <(mask "$file") <(mask "$work/run/$name") ;;
    *) cmp -s "$file" "$work/run/$name" ;;
  esac || { echo "phase_times wrote a different $name" >&2; exit 1; }
done
echo "| phase            |  ms  | faults |"
echo "|------------------|-----:|-------:|"
while read -r phase _; do
  us=$(for ((i = 1; i <= runs; i++)); do grep "^$phase " "$phases/$i.txt" | cut -d' ' -f2; done | median)
  faults=$(for ((i = 1; i <= runs; i++)); do grep "^$phase " "$phases/$i.txt" | cut -d' ' -f3; done | median)
  printf '| %-16s | %4s | %6s |\n' "$phase" "$(div "$us" 1000 %.1f)" "$faults"
done <"$phases/0.txt"
echo
echo "load after: $(uptime | sed 's/.*load average: //')"
