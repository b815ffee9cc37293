#!/usr/bin/env bash
# Installs what is missing, builds, stages the portable program folder $BUILD_DIR/Lexmora/
# (Lexmora.exe, Dictionaries/, Data/, Help/) and runs it under Wine on the shipped dictionary.
#
# With a DISPLAY the program opens there and the script returns when it is closed.
# Without one it runs on an X display of its own, inside a Wine desktop (which draws the window
# frame), starting from default settings: the script types a word (LEXMORA_WORD, default "къща"),
# waits for the lookup, saves a screenshot of the window ($BUILD_DIR/screenshot.png), prints its
# path and closes the program.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}
WORD=${LEXMORA_WORD:-къща}
STAGE=$BUILD_DIR/Lexmora
SHOT=$BUILD_DIR/screenshot.png
LOG=$BUILD_DIR/run.log

"$ROOT/scripts/setup.sh"
mkdir -p "$BUILD_DIR"  # for the log, before the first build makes it
# Configure again, so that a build folder made before a part of the tree existed picks it up.
if [ -f "$BUILD_DIR/CMakeCache.txt" ]; then cmake -S "$ROOT" -B "$BUILD_DIR" >"$LOG" 2>&1; fi
if ! "$ROOT/scripts/build.sh" --target Lexmora lexmora-type >>"$LOG" 2>&1; then
  tail -n 40 "$LOG"
  echo "run: the build failed; see $LOG" >&2
  exit 1
fi
echo "run: program folder $STAGE"

interactive=0
[ -n "${DISPLAY:-}" ] && interactive=1
. "$ROOT/scripts/wine-env.sh"
trap lexmora_wine_down EXIT
lexmora_wine_up

if [ "$interactive" = 1 ]; then
  cd "$STAGE"
  "$WINE" "$STAGE/Lexmora.exe"
  exit 0
fi

# A known start: no stored settings, so the window opens at 10,10 with 400 x 300 pixels.
lexmora_wine_tool reg delete 'HKCU\Software\Lexmora' /f >/dev/null 2>&1 || true
lexmora_wine_tool explorer /desktop=Lexmora,800x600 "Z:${STAGE//\//\\}\\Lexmora.exe" >/dev/null 2>&1 &
desktop=$!
type_out=$(LC_ALL=C.UTF-8 "$WINE" "$BUILD_DIR/tools/lexmora-type.exe" --desktop=Lexmora "$WORD" </dev/null) || {
  echo "$type_out"
  echo "run: the program did not show the word" >&2
  exit 1
}
echo "$type_out" | sed -n 's/^entry /run: looked up /p;s/^index/run: index/p'

# The window and a margin of the desktop around it (the Wine desktop lies at the screen's origin).
read -r left top right bottom < <(echo "$type_out" | sed -n 's/^window //p')
margin=12
x=$((left > margin ? left - margin : 0))
y=$((top > margin ? top - margin : 0))
/usr/bin/import -window root -crop "$((right - x + margin))x$((bottom - y + margin))+$x+$y" \
  +repage "$SHOT"

"$WINE" "$BUILD_DIR/tools/lexmora-type.exe" --desktop=Lexmora --close </dev/null >/dev/null || true
for _ in $(seq 50); do kill -0 "$desktop" 2>/dev/null || break; sleep 0.1; done
echo "$SHOT"
