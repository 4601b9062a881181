#!/usr/bin/env bash
# Cross-builds korvan2a.exe with MinGW-w64 and checks it under wine: every
# end-to-end golden (tests/golden/) replayed by the Linux test code
# (tests/app/golden_test.cpp) with korvan2a.exe, byte for byte against the
# checked-in files, once more with full Windows paths, and a player's mistakes
# (tests/app/mistakes_test.cpp) by the same test code; and against the Linux
# build of the same sources: the command-line screens and exit codes, a failed
# run, two runs over the sample game whose console output, change log,
# reference copies, backups, map file and reports must be byte-identical, apart
# from the directory separator in the file names on the console and in the
# change log; and one run in a console (under a terminal), which must write the
# same files. Installs the Debian packages it needs when they are missing and it
# may (root); otherwise says what to install.
#
# The game is given as "/g:c:\games\sample": under wine that is the wine
# prefix's drive c:, on Linux the same text names the relative directory
# "c:/games" (":" is an ordinary character there), so both builds read the
# same parameters as typed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
started=$SECONDS

# --- tools --------------------------------------------------------------------
bash scripts/deps.sh
source scripts/windows-tools.sh
WindowsTools wine
SqliteSource
echo "tools ready after $((SECONDS - started))s"

# --- builds -------------------------------------------------------------------
GEN=()
command -v ninja >/dev/null 2>&1 && GEN=(-G Ninja)
# The Linux build as scripts/test.sh configures it, so CI builds it only once;
# its test program replays the goldens.
cmake -S . -B build "${GEN[@]}" -DKORVAN_TESTS=ON -DKORVAN_WERROR=ON -DKORVAN_SANITIZE=OFF >/dev/null
cmake --build build --target korvan2a korvan2a_tests -j "$(nproc)"
cmake -S . -B build-windows "${GEN[@]}" --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DKORVAN_WERROR=ON -DKORVAN_SQLITE_SOURCE="$SQLITE_SOURCE" >/dev/null
cmake --build build-windows --target korvan2a -j "$(nproc)"
LINUX_EXE=$root/build/korvan2a
WINDOWS_EXE=$root/build-windows/korvan2a.exe
if x86_64-w64-mingw32-objdump -p "$WINDOWS_EXE" | grep -i "DLL Name" |
  grep -viE "kernel32|msvcrt|user32|advapi32" >&2; then
  echo "korvan2a.exe needs DLLs beyond the system's" >&2
  exit 1
fi
echo "builds ready after $((SECONDS - started))s"

# --- wine ---------------------------------------------------------------------
wine_started=$SECONDS
WinePrefix
echo "wine ready after $((SECONDS - wine_started))s"

work=$(mktemp -d "${TMPDIR:-/tmp}/korvan2a-windows.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
Fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Runs the build of side $1 (linux or windows) in directory $2 with the rest as
# parameters and standard input empty; leaves out, err and rc in
# $work/result-<side>. A run that hangs is stopped (exit code 124).
RunSide() {
  local side=$1 dir=$2
  shift 2
  local result=$work/result-$side
  mkdir -p "$result"
  set +e
  if [ "$side" = linux ]; then
    (cd "$dir" && timeout 60 "$LINUX_EXE" "$@" </dev/null >"$result/out" 2>"$result/err")
  else
    (cd "$dir" && timeout 60 "$WINE" "$WINDOWS_EXE" "$@" </dev/null >"$result/out" 2>"$result/err")
  fi
  echo $? >"$result/rc"
  set -e
}

# The Windows names as the Linux build writes them: the separators of the
# directories this script uses become "/".
LinuxNames() {
  sed -e 's#c:\\games\\#c:/games/#g' -e 's#c:\\reports\\#c:/reports/#g' \
    -e 's#nosuchdir\\#nosuchdir/#g'
}
# Change-log record headers carry the time of the run.
MaskTimes() { sed -E 's/^\[[0-9]{2}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\]/[time]/'; }

# Compares the Linux file $1 with the Windows file $2 byte for byte, after
# the filter $3 (cat, LinuxNames or a change-log filter).
SameBytes() {
  local label=$1 linux=$2 windows=$3 filter=$4
  if [ ! -e "$linux" ] || [ ! -e "$windows" ]; then
    [ -e "$linux" ] || [ -e "$windows" ] || return 0
    Fail "$label: exists on one side only"
    return
  fi
  if ! cmp -s <($filter <"$linux") <($filter <"$windows"); then
    Fail "$label differs"
    diff <($filter <"$linux" | od -c) <($filter <"$windows" | od -c) | head -20 >&2 || true
  fi
}
ChangeLog() { LinuxNames | MaskTimes; }

# Runs both builds with the same parameters and compares what they print and
# their exit codes.
CompareRun() {
  local label=$1 linuxDir=$2 windowsDir=$3
  shift 3
  RunSide linux "$linuxDir" "$@"
  RunSide windows "$windowsDir" "$@"
  SameBytes "$label: console" "$work/result-linux/out" "$work/result-windows/out" LinuxNames
  SameBytes "$label: errors" "$work/result-linux/err" "$work/result-windows/err" LinuxNames
  SameBytes "$label: exit code" "$work/result-linux/rc" "$work/result-windows/rc" cat
}

# --- the end-to-end goldens ---------------------------------------------------
# The Linux test code runs korvan2a.exe under wine when KORVAN_WINDOWS_EXE names
# it: each case in a scratch directory with its command lines, every file and
# the console compared with the checked-in files, the change log's time stamps
# masked; "/" becomes "\" only in the file name a console line announces and in
# the one that opens a change-log line. Then the switches case from an empty
# current directory with /g: and /p: as "z:\tmp\...\game\..." (wine's z: is the
# Linux root) and /m: relative: each file must land in its directory. Then a
# player's mistakes (tests/app/mistakes_test.cpp): the exact console lines and
# exit code of each, and every file of the game and report folders unchanged.
goldens_started=$SECONDS
goldenCount=$(ls tests/golden/*/case.txt | wc -l)
mistakeCount=$("$root/build/korvan2a_tests" --gtest_list_tests --gtest_filter='Mistakes.*' | grep -c '^  ' || true)
[ "$mistakeCount" -gt 0 ] || Fail "no Mistakes tests to run under wine"
if KORVAN_WINE="$WINE" KORVAN_WINDOWS_EXE="$WINDOWS_EXE" "$root/build/korvan2a_tests" --gtest_brief=1 \
  --gtest_filter='Cases/Golden.*:GoldenPaths.*:Mistakes.*' >"$work/goldens.log" 2>&1; then
  # A filter that matches nothing passes too: count what ran.
  grep -q "^\[  PASSED  \] $((goldenCount + 1 + mistakeCount)) tests\.$" "$work/goldens.log" ||
    Fail "goldens under wine: not $goldenCount cases, the full-path run and $mistakeCount mistakes: $(tail -1 "$work/goldens.log")"
else
  grep -v '^Running main()' "$work/goldens.log" >&2
  Fail "goldens under wine"
fi
echo "goldens checked after $((SECONDS - started))s ($((SECONDS - goldens_started))s under wine)"

# --- the command-line screens -------------------------------------------------
mkdir -p "$work/screens-linux" "$work/screens-windows"
screens=(
  ""
  "/?"
  "/? /x:5"
  "/x:5 /?"
  "--help"
  "-h /x:5"
  "--version"
  "/pause+ /x:5"
  "/x:5 /pause+"
  "/b"
  "/n20000"
  "/n:abc"
  "/n:20001"
  "/G:x"
  "x"
  "/al:65536"
  "/g:game /n:100 /sd:200 /ry:101"
  "/g:nosuchdir\\game"
  "/g:game /m:nosuchdir\\x.sct"
  "/g:game /p:nosuchdir"
)
for screen in "${screens[@]}"; do
  read -r -a params <<<"$screen"
  CompareRun "screen [$screen]" "$work/screens-linux" "$work/screens-windows" "${params[@]}"
done
for side in linux windows; do
  if [ -n "$(ls -A "$work/screens-$side")" ]; then Fail "screens left files ($side)"; fi
done
echo "screens checked after $((SECONDS - started))s"

# --- two runs over the sample game ---------------------------------------------
# The shipped sample game in c:\games (its notes in the report directory
# c:\reports), run as examples/sample/sample.cmd says, then its later capture
# with the map comparison.
sample=$root/examples/sample
linuxRoot=$work/game-linux
windowsRoot=$WINEPREFIX/drive_c
windowsCwd=$work/game-windows
mkdir -p "$linuxRoot" "$windowsCwd"
for base in "$linuxRoot/c:" "$windowsRoot"; do
  rm -rf "$base/games" "$base/reports"
  mkdir -p "$base/games" "$base/reports"
  cp "$sample"/sample* "$base/games/"
  mv "$base/games/sample_notes.txt" "$base/reports/"
done

gameArgs=('/g:c:\games\sample' '/p:c:\reports' /n:300 /al:286 /ry:113 /sd:155 '/d:275;81;80'
  '/m:c:\games\sample.ztm')
CompareGame() {
  local label=$1
  for dir in games reports; do
    if [ "$(ls -A "$linuxRoot/c:/$dir")" != "$(ls -A "$windowsRoot/$dir")" ]; then
      Fail "$label: the files in c:/$dir differ"
      diff <(ls -A "$linuxRoot/c:/$dir") <(ls -A "$windowsRoot/$dir") >&2 || true
    fi
    for file in "$linuxRoot/c:/$dir"/*; do
      [ -f "$file" ] || continue
      local name=${file##*/} filter=cat
      [ "$name" = sample_changelog.txt ] && filter=ChangeLog
      SameBytes "$label: $dir/$name" "$file" "$windowsRoot/$dir/$name" "$filter"
    done
  done
}
ExpectExit() {
  local rc
  rc=$(cat "$work/result-windows/rc")
  [ "$rc" = "$2" ] || Fail "$1: exit code $rc"
}
wine_runs=$SECONDS
CompareRun "first run" "$linuxRoot" "$windowsCwd" "${gameArgs[@]}"
ExpectExit "first run" 0
grep -q '^reading ztm file: c:\\games\\sample\.ztm \.$' "$work/result-windows/out" ||
  Fail "first run: the Windows console names no c:\\games\\sample.ztm"
CompareGame "first run"
for base in "$linuxRoot/c:" "$windowsRoot"; do cp "$sample"/second/sample.* "$base/games/"; done
CompareRun "second run" "$linuxRoot" "$windowsCwd" "${gameArgs[@]}" /mm:7
ExpectExit "second run" 0
CompareGame "second run"
cmp -s "$linuxRoot/c:/games/sample_bak.sct" "$windowsRoot/games/sample_bak.sct" &&
  ! cmp -s "$windowsRoot/games/sample_bak.sct" "$windowsRoot/games/sample_ref.sct" ||
  Fail "second run: the backup is not the first run's reference copy"

# A change log that cannot be opened ends the run with exit code 2; a capture
# that is a directory is no file and is skipped (the port capture beside it is
# read).
for base in "$linuxRoot/c:" "$windowsRoot"; do
  mkdir -p "$base/reports/beta_changelog.txt" "$base/games/gamma.sct"
  cp "$sample/sample.sct" "$base/games/beta.sct"
  cp "$sample/sample.prt" "$base/games/gamma.prt"
done
CompareRun "unwritable change log" "$linuxRoot" "$windowsCwd" '/g:c:\games\beta' '/p:c:\reports'
ExpectExit "unwritable change log" 2
CompareRun "capture that is a directory" "$linuxRoot" "$windowsCwd" '/g:c:\games\gamma' '/r-'
ExpectExit "capture that is a directory" 0

# --- an interactive console ----------------------------------------------------
# Under a terminal wine gives the program a console, so the cursor, screen,
# spinner and key calls run: the run must end once a key is pressed and write
# what the piped Linux run writes.
for side in linux windows; do
  mkdir -p "$work/console-$side"
  cp "$sample"/sample* "$work/console-$side/"
done
# The parameters sample.cmd runs korvan2a with (/pause+ among them).
read -r -a consoleArgs < <(grep '^%korvan% ' "$sample/sample.cmd" | tr -d '\r')
consoleArgs=("${consoleArgs[@]:1}")
RunSide linux "$work/console-linux" "${consoleArgs[@]}"
set +e
(while sleep 1; do printf x; done) |
  (cd "$work/console-windows" && timeout 120 script -qec \
    "$(printf '%q ' "$WINE" "$WINDOWS_EXE" "${consoleArgs[@]}")" "$work/console.log" >/dev/null 2>&1)
consoleExit=${PIPESTATUS[1]}
set -e
[ "$consoleExit" = 0 ] || Fail "console run: exit code $consoleExit"
# Wine draws the console with terminal control sequences; the text is what remains.
sed -e 's/\x1b\[[0-9;?]*[A-Za-z]//g' "$work/console.log" | tr -d ' \r\n\b' |
  grep -q 'writingdumpreport:sample_dump.txt\.pressakeytocontinue\.\.\.' ||
  Fail "console run: the console shows no last phase and key prompt"
for file in "$work/console-linux"/*; do
  name=${file##*/} filter=cat
  [ "$name" = sample_changelog.txt ] && filter=MaskTimes
  SameBytes "console run: $name" "$file" "$work/console-windows/$name" "$filter"
done

echo "game runs checked after $((SECONDS - started))s ($((SECONDS - wine_runs))s of them under wine and Linux)"

echo "total $((SECONDS - started))s"
if [ "$failures" -gt 0 ]; then
  echo "$failures Windows check(s) failed" >&2
  exit 1
fi
echo "the Windows build under wine gives the Linux build's output"
