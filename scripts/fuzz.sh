#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, seeds their corpora from generated games and the
# sample game, and runs each target for the given time.
#
#   scripts/fuzz.sh [seconds] [target...]     (default 20 seconds, every target)
#
# FUZZ_RUNS=N stops each target after N executions, or after the given seconds
# when that comes first (0 or no seconds: no time limit). FUZZ_JOBS=2 runs two
# targets at a time. Corpora and crash inputs are kept in build-fuzz/
# (corpus/<target>/, artifacts/<target>/); a crash or a failed check ends the
# script with a non-zero exit code after the other targets have run.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
seconds=
if [[ ${1:-} =~ ^[0-9]+$ ]]; then seconds=$1; shift; fi
[ -z "$seconds" ] && { [ -n "${FUZZ_RUNS:-}" ] && seconds=0 || seconds=20; }
build=${FUZZ_BUILD_DIR:-build-fuzz}

if ! command -v clang++ >/dev/null 2>&1 ||
   ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null 2>&1; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang libclang-rt-14-dev >/dev/null
  else
    echo "fuzz.sh: please install clang and libclang-rt-14-dev" >&2
    exit 1
  fi
fi

GEN=()
command -v ninja >/dev/null 2>&1 && GEN=(-G Ninja)
CXX=clang++ cmake -S . -B "$build" "${GEN[@]}" -DKORVAN_FUZZ=ON -DKORVAN_TESTS=OFF \
  -DKORVAN_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j 2 >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(sector_file port_file route_file fig_file log_file notes_file map_compare command_line
           capture_run)
fi

# --- seed corpora -----------------------------------------------------------
# A seed is the header the targets expect (byte 0 the universe size: n - 1 below
# 251, 250 for 300 sectors; byte 1 the options) followed by a game's file.
seeds=$build/seeds
corpus=$build/corpus
if [ ! -f "$seeds/.done" ]; then
  rm -rf "$seeds"
  mkdir -p "$seeds/games"
  for profile in realistic hostile chain star wide; do
    for size in 100 300; do
      "$build/generate_game" --out "$seeds/games/$profile-$size" --game sample \
        --sectors "$size" --seed 9 --profile "$profile" >/dev/null
    done
  done
  mkdir -p "$seeds/games/sample" && cp examples/sample/sample* "$seeds/games/sample/"
  # A run on each game gives a map file and a notes report to seed from.
  for d in "$seeds"/games/*; do
    case $d in *-100) n=100 ;; *) n=300 ;; esac
    (cd "$d" && "$top/$build/korvan2a" /g:sample /n:$n /al:50 /ry:60 /sd:70 "/d:2;3" /m:sample.ztm \
      >/dev/null 2>&1) || { echo "fuzz.sh: seed run failed in $d" >&2; exit 1; }
  done
  work_corpus_capture=$corpus/capture_run
  mkdir -p "$work_corpus_capture"
  seed() {  # seed TARGET NAME SIZEBYTE OPTIONS FILE
    mkdir -p "$corpus/$1"
    { printf "\\$(printf %03o "$3")\\$(printf %03o "$4")"; cat "$5"; } >"$corpus/$1/$2"
  }
  for d in "$seeds"/games/*; do
    g=$(basename "$d")
    case $g in *-100) b=99 ;; *) b=250 ;; esac
    for o in 0 1 2; do seed sector_file "$g-$o" $b $o "$d/sample.sct"; done
    seed sector_file "$g-ref" $b 3 "$d/sample_ref.sct"
    for o in 0 1 2; do seed port_file "$g-$o" $b $o "$d/sample.prt"; done
    # capture_run: universes of 64 sectors (byte 63), the captures joined by "~~";
    # one run, and two runs the second of which compares the first's map.
    for o in 0 4; do
      { printf "\\077\\$(printf %03o $o)"; cat "$d/sample.sct"; printf '\n~~\n'; cat "$d/sample.prt"; } \
        >"$work_corpus_capture/$g-$o"
    done
    for o in 0 1; do seed route_file "$g-$o" $b $o "$d/sample.ztm"; done
    seed fig_file "$g" $b 0 "$d/sample_figs.txt"
    seed log_file "$g" $b 3 "$d/sample_log.txt"
    seed notes_file "$g" $b 17 "$d/sample_notes.txt"
    mkdir -p "$corpus/map_compare"
    for pick in 0 1; do
      { printf "\\$(printf %03o $pick)"; cat "$d/sample.map"; } >"$corpus/map_compare/$g-$pick"
    done
  done
  # The notes as the player keeps them, before a run rewrote them.
  seed notes_file sample-player 250 0 examples/sample/sample_notes.txt
  mkdir -p "$corpus/command_line"
  printf '/g:sample\0/n:300\0/al:286\0/ry:113\0/sd:155\0/d:275;81;80\0/m:sample.ztm' \
    >"$corpus/command_line/sample"
  printf '/g:sub/game\0/p:sub\0/mm:7\0/b-\0/r+\0/pause-\0/s+' >"$corpus/command_line/paths"
  printf '/?\0/x:5' >"$corpus/command_line/usage"
  printf '/g:game\0/n:20000\0/al:20001' >"$corpus/command_line/special"
  printf '/g:c:\\data\\game\0/m:sub\\x.ztm' >"$corpus/command_line/backslash"
  touch "$seeds/.done"
fi

# --- runs -------------------------------------------------------------------
# Allocation stacks are not recorded: several times faster, and a crash input
# is reproduced with full reports by running the target on it. A 16 MB
# quarantine still holds the blocks freed by the last few dozen executions, and
# keeps memory from growing by the default 256 MB of freed blocks.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0:quarantine_size_mb=16}
limit=(-max_total_time="$seconds")
[ -n "${FUZZ_RUNS:-}" ] && limit+=(-runs="$FUZZ_RUNS")
mkdir -p "$build/logs"
run_target() {
  local t=$1
  mkdir -p "$top/$corpus/$t" "$top/$build/artifacts/$t"
  # -timeout catches inputs that take far longer than their size warrants.
  if "$top/$build/fuzz_$t" "${limit[@]}" -max_len=4096 -timeout=20 -detect_leaks=0 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$top/$build/artifacts/$t/" \
      "$top/$corpus/$t" >"$top/$build/logs/$t.log" 2>&1; then
    echo "fuzz_$t: ok, $(grep -a 'stat::number_of_executed_units' "$top/$build/logs/$t.log" |
      awk '{print $2}') executions"
  else
    echo "fuzz_$t: FAILED (log $build/logs/$t.log, inputs in $build/artifacts/$t/)"
    grep -a -m5 -E 'ERROR|check failed|runtime error' "$top/$build/logs/$t.log" || true
    return 1
  fi
}

status=0
jobs=${FUZZ_JOBS:-1}
running=0
for t in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || status=1  # a slot frees when any target ends
    running=$((running - 1))
  fi
  run_target "$t" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || status=1
  running=$((running - 1))
done
exit $status
