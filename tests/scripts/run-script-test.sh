#!/usr/bin/env bash
# Runs scripts/run.sh of the source tree SOURCE_DIR as on a fresh clone: its build folder does not
# exist and there is no display. It must configure, build, make the Wine prefix, run the program
# on an X display of its own, and end by printing the path of a screenshot of the window (about
# 400 x 300 pixels with a margin around it).
#
#   run-script-test.sh SOURCE_DIR BUILD_DIR
#
# The new prefix is a copy of the template prefix of the suite's build BUILD_DIR, the copy
# run.sh makes when LEXMORA_WINE_TEMPLATE names one (scripts/wine-env.sh), instead of a wineboot
# of its own. The new build folder is made for the generator of BUILD_DIR (Ninja for a folder made
# now, Unix Makefiles for one made before), which the script's build takes from CMAKE_GENERATOR.
# Takes about 20 s with ccache (the build from the cache), a few minutes without it.
# Removes what it made.
set -uo pipefail
SOURCE_DIR=$(cd "$1" && pwd)
SUITE_BUILD=$(cd "$2" && pwd)
TEMPLATE=$SUITE_BUILD/wineprefix-template
generator_of() { sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' "$1/CMakeCache.txt" 2>/dev/null; }
GENERATOR=$(generator_of "$SUITE_BUILD")
GENERATOR=${GENERATOR:-Ninja}
scratch=$(mktemp -d)
# The new build folder sits beside build/ in the source tree (ignored by git there): its compile
# commands then name the sources by the same relative paths as the suite's own build, so that
# ccache, where it is installed, gives the objects that build made instead of compiling again.
# That holds for the same generator only: Ninja and Makefiles compile from other folders, with
# other relative paths, and so never share an object.
build=$(mktemp -u -d "$SOURCE_DIR/build-runscript.XXXXXX")
trap 'rm -rf "$scratch" "$build"' EXIT

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Nothing of the test run's own display, prefix or settings reaches the script.
run_script() {  # output file
  env -u DISPLAY -u WINEPREFIX -u WINEDEBUG -u LEXMORA_OWN_DISPLAY -u LEXMORA_WINE_DESKTOP \
    -u LEXMORA_DPI BUILD_DIR="$build" LEXMORA_WINE_TEMPLATE="$TEMPLATE" \
    CMAKE_GENERATOR="$GENERATOR" \
    "$SOURCE_DIR/scripts/run.sh" >"$1" 2>&1 </dev/null
}
run_script "$scratch/out"
status=$?
[ "$status" = 0 ] || fail "run.sh ended with status $status"
shot=$(tail -n 1 "$scratch/out")
if [ "$shot" != "$build/screenshot.png" ]; then
  fail "last line got '$shot', wanted the screenshot's path"
elif ! size=$(/usr/bin/identify -format '%m %w %h' "$shot" 2>&1); then
  fail "the screenshot is not an image: $size"
else
  read -r format width height <<<"$size"
  [ "$format" = PNG ] || fail "screenshot format got $format, wanted PNG"
  if [ "$width" -lt 400 ] || [ "$width" -gt 440 ] || [ "$height" -lt 300 ] || [ "$height" -gt 340 ]; then
    fail "screenshot size got ${width}x${height}, wanted the 400x300 window with a margin"
  fi
fi
grep -q '^run: looked up ' "$scratch/out" || fail "run.sh did not report the lookup"
[ "$(generator_of "$build")" = "$GENERATOR" ] ||
  fail "the build folder's generator got '$(generator_of "$build")', wanted the suite's '$GENERATOR'"

# Again, into the same build folder, while a Wine server already runs for its prefix (as one does
# for a few seconds after any Wine program of the prefix ends): the script runs the program all
# the same.
prefix=$build/wineprefix
if [ -f "$prefix/system.reg" ]; then
  WINEPREFIX=$prefix /usr/lib/wine/wineserver -p
  run_script "$scratch/again"
  status=$?
  WINEPREFIX=$prefix /usr/lib/wine/wineserver -k >/dev/null 2>&1
  [ "$status" = 0 ] || fail "with a Wine server running, run.sh ended with status $status"
  [ "$(tail -n 1 "$scratch/again")" = "$build/screenshot.png" ] ||
    fail "with a Wine server running, run.sh printed no screenshot: $(tail -n 3 "$scratch/again")"
else
  fail "run.sh made no Wine prefix at $prefix"
fi

if [ "$failures" -gt 0 ]; then
  echo "--- run.sh printed:"
  tail -n 40 "$scratch/out"
  exit 1
fi
echo "run.sh on a new build folder without a display: OK ($shot, ${width}x${height})"
