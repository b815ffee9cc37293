#!/usr/bin/env bash
# Runs the end-to-end DPI tests (DpiTest*) once more at another display DPI. Wine reads the DPI
# when its server starts, so this runs in a Wine prefix of its own, with its own server, beside
# the one the rest of the suite uses.
#
#   dpi-test.sh BUILD_DIR E2E_TESTS_EXE DPI
#
# The prefix (BUILD_DIR/wineprefix-dpi<DPI>) is made on the first run and kept. Uses the X
# display in DISPLAY.
set -uo pipefail
BUILD_DIR=$(cd "$1" && pwd)
TESTS=$2
DPI=$3
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEPREFIX=$BUILD_DIR/wineprefix-dpi$DPI WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"  # a program that faults ends at once
wine_quiet() { "$WINE" "$@" >/dev/null 2>&1 </dev/null; }

if [ ! -f "$WINEPREFIX/lexmora-dpi" ]; then
  echo "wine: creating prefix $WINEPREFIX"
  wine_quiet wineboot -i
  wine_quiet reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$DPI" /f
  # Windows in a Wine desktop, as in the rest of the suite.
  wine_quiet reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
  wine_quiet reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f
  "$WINESERVER" -w
  touch "$WINEPREFIX/lexmora-dpi"
fi
. "$(dirname "$0")/../../scripts/wine-env.sh"
lexmora_wine_fonts
trap '"$WINESERVER" -k >/dev/null 2>&1; "$WINESERVER" -w >/dev/null 2>&1' EXIT
"$WINESERVER" -p
wine_quiet cmd /c exit
LEXMORA_TEST_DPI=$DPI "$WINE" "$TESTS" --gtest_filter='Dpi*' </dev/null
