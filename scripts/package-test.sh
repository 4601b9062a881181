#!/usr/bin/env bash
# Tests the release packages as a player uses them. Makes them with
# scripts/package.sh, then:
#
# - the Debian package: checks its fields and files, installs it with dpkg
#   (needs root), runs the installed korvan2a over a copy of the installed sample
#   game as the golden case tests/golden/sample does and compares every file and
#   the console with that case's files (tests/app/golden_test.cpp, told the
#   executable by KORVAN_EXE and the sample's place by KORVAN_SAMPLE_DIR), and
#   removes the package again, also when a check fails;
# - the Windows zip: unpacks it into a scratch directory, checks that it makes
#   the one folder korvan2a (the README and the players' guide name it), its
#   files and that its text files end their lines in CR LF, and runs its
#   korvan2a.exe under wine over a copy of the zip's sample game, compared the
#   same way; then runs the sample folder's sample.cmd as a double-click would,
#   which must run the first capture there as the golden case's first run does.
#
# When not run as root the Debian package's part says so and fails; the zip's
# part still runs.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
started=$SECONDS

bash scripts/package.sh
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' build-package/CPackConfig.cmake)
deb=out/korvan2a_${version}_$(dpkg --print-architecture).deb
zip=out/korvan2a-${version}-win64.zip
[ -f "$deb" ] && [ -f "$zip" ] || { echo "package-test.sh: no $deb or $zip" >&2; exit 1; }
echo "packages of version $version made after $((SECONDS - started))s"

# The goldens' test program, from the build scripts/test.sh makes.
source scripts/windows-tools.sh
WindowsTools wine
GEN=()
command -v ninja >/dev/null 2>&1 && GEN=(-G Ninja)
cmake -S . -B build "${GEN[@]}" -DKORVAN_TESTS=ON -DKORVAN_WERROR=ON -DKORVAN_SANITIZE=OFF >/dev/null
cmake --build build --target korvan2a_tests -j "$(nproc)"

work=$(mktemp -d "${TMPDIR:-/tmp}/korvan2a-packages.XXXXXX")
installed=
cleanup() {
  if [ -n "$installed" ]; then dpkg -r korvan2a >/dev/null || echo "FAIL: dpkg -r korvan2a" >&2; fi
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
Fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Replays the golden case sample with the environment given ("NAME=value"...);
# exactly that one case must run and pass.
Golden() {
  local label=$1
  shift
  if env "$@" build/korvan2a_tests --gtest_brief=1 \
    --gtest_filter='Cases/Golden.RunsWriteTheExpectedFilesAndConsole/sample' >"$work/golden.log" 2>&1; then
    grep -q '^\[  PASSED  \] 1 test\.$' "$work/golden.log" ||
      Fail "$label: not the one golden case: $(tail -1 "$work/golden.log")"
  else
    grep -v '^Running main()' "$work/golden.log" >&2
    Fail "$label: the sample game's golden case"
  fi
}

# The files under directory $2, one a line, against the expected list $3.
SameFiles() {
  local label=$1 dir=$2 expected=$3
  if ! diff <(cd "$dir" && find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort) \
    <(LC_ALL=C sort <<<"$expected") >"$work/files.diff"; then
    Fail "$label: not the expected files (< found, > expected):"
    cat "$work/files.diff" >&2
  fi
}
sampleFiles=$(cd examples && find sample | LC_ALL=C sort)

# --- the Debian package -----------------------------------------------------------
deb_started=$SECONDS
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = korvan2a ] || Fail "deb: package name $(field Package)"
[ "$(field Version)" = "$version" ] || Fail "deb: version $(field Version)"
# The shared libraries the program links: the C library and SQLite, as
# dpkg-shlibdeps names them.
[[ "$(field Depends)" =~ ^libc6\ \(\>=\ [0-9.]+\),\ libsqlite3-0\ \(\>=\ [0-9.]+\)$ ]] ||
  Fail "deb: depends on $(field Depends)"
for name in Maintainer Section Priority Description; do
  [ -n "$(field "$name")" ] || Fail "deb: no $name field"
done
mkdir -p "$work/deb"
dpkg-deb -x "$deb" "$work/deb"
SameFiles deb "$work/deb" "$(printf '%s\n' usr usr/bin usr/bin/korvan2a usr/share usr/share/doc \
  usr/share/doc/korvan2a usr/share/doc/korvan2a/README.md usr/share/doc/korvan2a/players-guide.txt \
  usr/share/doc/korvan2a/copyright \
  usr/share/doc/korvan2a/changelog.gz usr/share/man usr/share/man/man1 \
  usr/share/man/man1/korvan2a.1.gz usr/share/korvan2a; sed 's|^|usr/share/korvan2a/|' <<<"$sampleFiles")"
grep -q "^korvan2a $version for Windows" "$work/deb/usr/share/doc/korvan2a/players-guide.txt" ||
  Fail "deb: the players' guide names no version $version"
zcat "$work/deb/usr/share/man/man1/korvan2a.1.gz" | grep -q '^\.I /usr/share/doc/korvan2a/players-guide\.txt$' ||
  Fail "deb: the manual page does not name the players' guide"
# The licence verbatim, after the line that names the package and its licence.
cmp -s <(tail -n +5 "$work/deb/usr/share/doc/korvan2a/copyright") LICENSE ||
  Fail "deb: the copyright file does not end with LICENSE"
zcat "$work/deb/usr/share/doc/korvan2a/changelog.gz" | head -1 | grep -q "^korvan2a ($version) " ||
  Fail "deb: the change log's entry is not version $version"

if [ "$(id -u)" -ne 0 ]; then
  Fail "deb: installing the package needs root (dpkg -i $deb); run this script as root"
elif dpkg -s korvan2a >/dev/null 2>&1 || [ -e /usr/bin/korvan2a ]; then
  Fail "deb: korvan2a is installed already; this test installs and removes it (dpkg -r korvan2a first)"
else
  installed=yes
  dpkg -i "$deb" >/dev/null
  [ "$(command -v korvan2a)" = /usr/bin/korvan2a ] || Fail "deb: korvan2a is not /usr/bin/korvan2a"
  ldd /usr/bin/korvan2a | grep -vE '^\s*(linux-vdso|/lib64/ld-linux|lib(c|m|sqlite3)\.so)' >&2 &&
    Fail "deb: /usr/bin/korvan2a needs shared libraries beyond the C library and SQLite"
  Golden "installed korvan2a" KORVAN_EXE=/usr/bin/korvan2a KORVAN_SAMPLE_DIR=/usr/share/korvan2a/sample
  installed=
  dpkg -r korvan2a >/dev/null
  if dpkg -s korvan2a >/dev/null 2>&1 || [ -e /usr/bin/korvan2a ] || [ -e /usr/share/korvan2a ]; then
    Fail "deb: dpkg -r left korvan2a installed"
  fi
fi
echo "Debian package checked in $((SECONDS - deb_started))s"

# --- the Windows zip --------------------------------------------------------------
zip_started=$SECONDS
mkdir -p "$work/zip"
(cd "$work/zip" && cmake -E tar xf "$top/$zip")  # cmake reads zips: no unzip needed
folder=$work/zip/korvan2a
SameFiles zip "$work/zip" "$(printf '%s\n' "${folder##*/}"; printf '%s\n' korvan2a.exe README.txt LICENSE.txt SQLITE.txt \
  $sampleFiles | sed "s|^|${folder##*/}/|")"
grep -q 'C:\\korvan2a\\korvan2a\.exe' "$folder/README.txt" || Fail "zip: the guide does not use C:\\korvan2a"
grep -q 'C:\\korvan2a\\korvan2a\.exe' README.md || Fail "README.md does not use C:\\korvan2a"
# Every line of the text files ends in CR LF, the last one included.
for text in README.txt LICENSE.txt SQLITE.txt sample/sample.cmd; do
  if [ ! -s "$folder/$text" ] || grep -q $'[^\r]$\|^$' "$folder/$text" ||
    [ "$(tail -c 2 "$folder/$text" | od -An -c | tr -d ' ')" != '\r\n' ]; then
    Fail "zip: $text has lines that do not end in CR LF"
  fi
done
cmp -s <(tr -d '\r' <"$folder/LICENSE.txt") LICENSE || Fail "zip: LICENSE.txt is not LICENSE"
grep -q "^korvan2a.exe holds SQLite .* public domain" <(tr -d '\r' <"$folder/SQLITE.txt" | tr '\n' ' ') ||
  Fail "zip: SQLITE.txt is not SQLite's licence note"
grep -q "^korvan2a $version for Windows" "$folder/README.txt" || Fail "zip: the guide names no version $version"
WinePrefix
Golden "korvan2a.exe from the zip under wine" KORVAN_WINE="$WINE" KORVAN_WINDOWS_EXE="$folder/korvan2a.exe" \
  KORVAN_SAMPLE_DIR="$folder/sample"

# sample.cmd double-clicked where the guide says it lies, the sample folder of
# the unpacked zip: started from another folder (wine's z: is the Linux root),
# it runs the zip's korvan2a.exe on the game beside it, writes what the golden
# case's first run writes, and waits for a key (the empty input gives it).
clicked=$work/clicked
cp -r "$folder" "$clicked"
mkdir -p "$work/elsewhere"
set +e
(cd "$work/elsewhere" && timeout 120 "$WINE" cmd /c "z:${clicked//\//\\}\\sample\\sample.cmd" \
  </dev/null >"$work/clicked.out" 2>"$work/clicked.err")
clickedExit=$?
set -e
[ "$clickedExit" = 0 ] || Fail "zip: sample.cmd ended with exit code $clickedExit: $(head -3 "$work/clicked.err")"
cmp -s <(cat tests/golden/sample/run1.console; echo "press a key to continue...") "$work/clicked.out" ||
  Fail "zip: sample.cmd does not show the first run's console and the key prompt"
diff <(cd "$clicked/sample" && find . -maxdepth 1 -type f | sed 's|^\./||' | LC_ALL=C sort) \
  <(tr -d '\r' <tests/golden/sample/run1.files | LC_ALL=C sort) >&2 ||
  Fail "zip: sample.cmd left other files than the first run's (< left, > expected)"
[ -z "$(ls -A "$work/elsewhere")" ] || Fail "zip: sample.cmd wrote into the folder it was started from"
MaskStamps() { sed -E 's/^\[[0-9]{2}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\]/[yy-mm-dd hh:mm:ss]/' "$1"; }
for expected in tests/golden/sample/run1/*; do
  name=${expected##*/}
  cmp -s "$expected" <(MaskStamps "$clicked/sample/$name") || Fail "zip: sample.cmd wrote a different $name"
done
echo "Windows zip checked in $((SECONDS - zip_started))s"

echo "total $((SECONDS - started))s"
if [ "$failures" -gt 0 ]; then
  echo "$failures package check(s) failed" >&2
  exit 1
fi
echo "both packages install and run as the goldens say"
