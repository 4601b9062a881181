#!/usr/bin/env bash
# Cross-builds korvan2a.exe with MinGW-w64 and checks it under wine against the
# Linux build of the same sources: the command-line screens and exit codes, a
# failed run, and two runs over one game whose console output, change log,
# reference copies, backups, map file and reports must be byte-identical,
# apart from the directory separator in the file names on the console and in
# the change log. Installs the Debian packages it needs when they are missing
# and it may (root); otherwise says what to install.
#
# The game is given as "/g:c:\games\alpha": under wine that is the wine
# prefix's drive c:, on Linux the same text names the relative directory
# "c:/games" (":" is an ordinary character there), so both builds read the
# same parameters as typed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
started=$SECONDS

# --- tools --------------------------------------------------------------------
bash scripts/deps.sh
FindWine() {
  command -v wine64 2>/dev/null || { [ -x /usr/lib/wine/wine64 ] && echo /usr/lib/wine/wine64; } ||
    command -v wine 2>/dev/null || true
}
missing=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || missing+=(g++-mingw-w64-x86-64-posix)
[ -n "$(FindWine)" ] || missing+=(wine64)
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null 2>&1; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  else
    echo "please install the Debian packages: ${missing[*]} (sudo apt-get install ${missing[*]})" >&2
    exit 1
  fi
fi
WINE=$(FindWine)
echo "tools ready after $((SECONDS - started))s"

# --- builds -------------------------------------------------------------------
GEN=()
command -v ninja >/dev/null 2>&1 && GEN=(-G Ninja)
# The Linux build as scripts/test.sh configures it, so CI builds it only once.
cmake -S . -B build "${GEN[@]}" -DKORVAN_TESTS=ON -DKORVAN_WERROR=ON -DKORVAN_SANITIZE=OFF >/dev/null
cmake --build build --target korvan2a -j "$(nproc)"
cmake -S . -B build-windows "${GEN[@]}" --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DKORVAN_WERROR=ON >/dev/null
cmake --build build-windows -j "$(nproc)"
LINUX_EXE=$root/build/korvan2a
WINDOWS_EXE=$root/build-windows/korvan2a.exe
if x86_64-w64-mingw32-objdump -p "$WINDOWS_EXE" | grep -i "DLL Name" |
  grep -viE "kernel32|msvcrt|user32|advapi32" >&2; then
  echo "korvan2a.exe needs DLLs beyond the system's" >&2
  exit 1
fi
echo "builds ready after $((SECONDS - started))s"

# --- wine ---------------------------------------------------------------------
# A prefix of our own, kept between runs: its first start takes several seconds.
export WINEPREFIX=${KORVAN_WINEPREFIX:-$root/build-windows/wine-prefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine_started=$SECONDS
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$WINE" wineboot --init >/dev/null 2>&1
fi
"$WINE" cmd /c exit >/dev/null 2>&1 || true
echo "wine ready after $((SECONDS - wine_started))s"

work=$(mktemp -d "${TMPDIR:-/tmp}/korvan2a-windows.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
Fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Runs one build in directory $1 (stdin empty) with the rest as parameters;
# leaves out, err and rc in $1/../result-<side>.
RunSide() {
  local side=$1 dir=$2
  shift 2
  local result=$work/result-$side
  mkdir -p "$result"
  set +e
  if [ "$side" = linux ]; then
    (cd "$dir" && "$LINUX_EXE" "$@" </dev/null >"$result/out" 2>"$result/err")
  else
    (cd "$dir" && "$WINE" "$WINDOWS_EXE" "$@" </dev/null >"$result/out" 2>"$result/err")
  fi
  echo $? >"$result/rc"
  set -e
}

# The Windows names as the Linux build writes them: the separators of the
# directories this script uses become "/".
LinuxNames() {
  sed -e 's#c:\\games\\old\.v1\\#c:/games/old.v1/#g' -e 's#c:\\games\\#c:/games/#g' \
    -e 's#c:\\reports\\#c:/reports/#g' -e 's#nosuchdir\\#nosuchdir/#g'
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

# --- the command-line screens -------------------------------------------------
mkdir -p "$work/screens-linux" "$work/screens-windows"
screens=(
  ""
  "/?"
  "/? /x:5"
  "/x:5 /?"
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

# --- two runs over one game ---------------------------------------------------
# A game of 600 sectors made by a fixed pseudo-random sequence: chains, one-way
# warps, dead ends, ports of every kind; the second capture adds warps and
# changes port amounts.
MakeGame() {
  local dir=$1 seed=$2 part=$3
  awk -v seed="$seed" -v part="$part" -v dir="$dir" '
    function next_random(limit) { x = (x * 69069 + 1) % 4294967296; return int(x / 65536) % limit }
    BEGIN {
      x = seed; n = 600
      sct = dir "/alpha.sct"; prt = dir "/alpha.prt"
      printf "" > sct; printf "" > prt
      for (s = 1; s <= n; s++) {
        if (next_random(100) < part) continue
        line = s
        if (s < n && next_random(6) != 0) line = line " " (s + 1)
        if (s > 1 && next_random(4) != 0) line = line " " (s - 1)
        k = next_random(4)
        for (i = 0; i < k; i++) line = line " " (1 + next_random(n))
        printf "%s\r\n", line > sct
        if (next_random(3) == 0) {
          out = s
          for (p = 0; p < 3; p++) {
            amount = next_random(3000); percent = next_random(101)
            if (next_random(2) == 0) out = out " - " amount " " percent "%"
            else out = out " " amount " " percent "%"
          }
          printf "%s\r\n", out > prt
        }
      }
    }'
}
WriteGame() {
  local games=$1
  mkdir -p "$games/old.v1"
  MakeGame "$games" 7 10
  printf '12\r\n450\r\n  77\r\n601\r\nx\r\n' >"$games/alpha_figs.txt"
  printf '17: dead end, watch out\r\n; a comment\r\n450: home\r\n' >"$games/alpha_log.txt"
  printf 'stale\r\n' >"$games/alpha.vod"
}
WriteSecondCapture() {
  local games=$1
  MakeGame "$games" 11 60
  printf '5 599 598\r\n598 5\r\n' >"$games/old.v1/extra.sct"
}

linuxRoot=$work/game-linux
windowsRoot=$WINEPREFIX/drive_c
windowsCwd=$work/game-windows
mkdir -p "$linuxRoot" "$windowsCwd"
for base in "$linuxRoot/c:" "$windowsRoot"; do
  rm -rf "$base/games" "$base/reports"
  mkdir -p "$base/games" "$base/reports"
done
WriteGame "$linuxRoot/c:/games"
cp -r "$linuxRoot/c:/games/." "$windowsRoot/games/"
printf '17: dead end, watch out\r\n' >"$linuxRoot/c:/reports/alpha_notes.txt"
cp "$linuxRoot/c:/reports/alpha_notes.txt" "$windowsRoot/reports/"

gameArgs=('/g:c:\games\alpha' '/p:c:\reports' /n:600 /al:450 /ry:120 /sd:333 '/d:77;500')
CompareGame() {
  local label=$1
  for dir in games games/old.v1 reports; do
    if [ "$(ls -A "$linuxRoot/c:/$dir")" != "$(ls -A "$windowsRoot/$dir")" ]; then
      Fail "$label: the files in c:/$dir differ"
      diff <(ls -A "$linuxRoot/c:/$dir") <(ls -A "$windowsRoot/$dir") >&2 || true
    fi
    for file in "$linuxRoot/c:/$dir"/*; do
      [ -f "$file" ] || continue
      local name=${file##*/} filter=cat
      [ "$name" = alpha_changelog.txt ] && filter=ChangeLog
      SameBytes "$label: $dir/$name" "$file" "$windowsRoot/$dir/$name" "$filter"
    done
  done
}
wine_runs=$SECONDS
CompareRun "first run" "$linuxRoot" "$windowsCwd" "${gameArgs[@]}"
[ "$(cat "$work/result-windows/rc")" = 0 ] || Fail "first run: exit code $(cat "$work/result-windows/rc")"
CompareGame "first run"
WriteSecondCapture "$linuxRoot/c:/games"
cp -r "$linuxRoot/c:/games/." "$windowsRoot/games/"
CompareRun "second run" "$linuxRoot" "$windowsCwd" "${gameArgs[@]}" /mm:7 \
  '/m:c:\games\old.v1\extra.sct'
[ "$(cat "$work/result-windows/rc")" = 0 ] || Fail "second run: exit code $(cat "$work/result-windows/rc")"
grep -q 'c:\\games\\alpha_ref.sct' "$work/result-windows/out" ||
  Fail "second run: the Windows console names no c:\\games\\alpha_ref.sct"
CompareGame "second run"
[ -s "$windowsRoot/games/alpha_bak.sct" ] || Fail "second run: no backup of the reference copy"

# A change log that cannot be opened ends the run with exit code 2; a capture
# that is a directory is no file and is skipped.
for base in "$linuxRoot/c:" "$windowsRoot"; do
  mkdir -p "$base/reports/beta_changelog.txt" "$base/games/gamma.sct"
done
CompareRun "unwritable change log" "$linuxRoot" "$windowsCwd" '/g:c:\games\beta' '/p:c:\reports'
[ "$(cat "$work/result-windows/rc")" = 2 ] || Fail "unwritable change log: exit code $(cat "$work/result-windows/rc")"
CompareRun "capture that is a directory" "$linuxRoot" "$windowsCwd" '/g:c:\games\gamma' '/r-'
# --- an interactive console ----------------------------------------------------
# Under a terminal wine gives the program a console, so the cursor, screen,
# spinner and key calls run: the run must end once a key is pressed and write
# what the piped Linux run writes.
for side in linux windows; do
  mkdir -p "$work/console-$side"
  cp "$linuxRoot/c:/games/alpha.sct" "$linuxRoot/c:/games/alpha.prt" "$work/console-$side/"
done
RunSide linux "$work/console-linux" /g:alpha /n:600 /al:450 /pause+
set +e
(while sleep 1; do printf x; done) |
  (cd "$work/console-windows" && timeout 120 script -qec \
    "'$WINE' '$WINDOWS_EXE' /g:alpha /n:600 /al:450 /pause+" "$work/console.log" >/dev/null 2>&1)
consoleExit=${PIPESTATUS[1]}
set -e
[ "$consoleExit" = 0 ] || Fail "console run: exit code $consoleExit"
# Wine draws the console with terminal control sequences; the text is what remains.
sed -e 's/\x1b\[[0-9;?]*[A-Za-z]//g' "$work/console.log" | tr -d ' \r\n\b' |
  grep -q 'writingdumpreport:alpha_dump.txt\.pressakeytocontinue\.\.\.' ||
  Fail "console run: the console shows no last phase and key prompt"
for file in "$work/console-linux"/*; do
  name=${file##*/} filter=cat
  [ "$name" = alpha_changelog.txt ] && filter=MaskTimes
  SameBytes "console run: $name" "$file" "$work/console-windows/$name" "$filter"
done

echo "game runs checked after $((SECONDS - started))s ($((SECONDS - wine_runs))s of them under wine and Linux)"

echo "total $((SECONDS - started))s"
if [ "$failures" -gt 0 ]; then
  echo "$failures Windows check(s) failed" >&2
  exit 1
fi
echo "the Windows build under wine gives the Linux build's output"
