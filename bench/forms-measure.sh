#!/usr/bin/env bash
# How many word forms of real running text show their dictionary form's entry, before and after
# the word-form step, per language. Fetches what it measures with (nothing of it is committed):
#   texts:         Debian's fortunes-bg (bg/*), fortunes-ru (ru/*.u8), fortunes (English: the
#                  collections listed below), all UTF-8 quotations and proverbs;
#   dictionaries:  dict-freedict-eng-bul (English headwords) as it is, and turned around into a
#                  Bulgarian-English one; dict-freedict-deu-rus turned around into a
#                  Russian-German one (bench/reverse_dict.py, then lexmora-import).
# Then runs build/tools/lexmora-form-check.exe on each language with the shipped Hunspell pairs.
#
#   bench/forms-measure.sh [WORK_FOLDER]     (default: build/forms-measure)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}
WORK=${1:-$BUILD_DIR/forms-measure}
ENGLISH_TEXTS="wisdom people humorists work love platitudes"

"$ROOT/scripts/build.sh" --target lexmora-form-check lexmora-import Lexmora >/dev/null
mkdir -p "$WORK"
cd "$WORK"
if [ ! -d root ]; then
  apt-get download dict-freedict-eng-bul dict-freedict-deu-rus fortunes-bg fortunes-ru fortunes \
    >/dev/null
  for deb in *.deb; do dpkg -x "$deb" root; done
fi
. "$ROOT/scripts/wine-env.sh"
trap lexmora_wine_down EXIT
lexmora_wine_up
win() { echo "Z:${1//\//\\}"; }
import="$BUILD_DIR/Lexmora/lexmora-import.exe"
dictd=$WORK/root/usr/share/dictd
"$WINE" "$import" "$(win "$dictd/freedict-eng-bul.index")" -o "$(win "$WORK/eng-bul.dat")" >/dev/null
"$WINE" "$import" "$(win "$dictd/freedict-deu-rus.index")" -o "$(win "$WORK/deu-rus.dat")" >/dev/null
python3 "$ROOT/bench/reverse_dict.py" eng-bul.dat bul-eng.txt
python3 "$ROOT/bench/reverse_dict.py" deu-rus.dat rus-deu.txt
"$WINE" "$import" "$(win "$WORK/bul-eng.txt")" -o "$(win "$WORK/bul-eng.dat")" >/dev/null
"$WINE" "$import" "$(win "$WORK/rus-deu.txt")" -o "$(win "$WORK/rus-deu.dat")" >/dev/null

fortunes=$WORK/root/usr/share/games/fortunes
morphology=$(win "$BUILD_DIR/Lexmora/Morphology")
check="$BUILD_DIR/tools/lexmora-form-check.exe"
texts() { for f in "$@"; do win "$f"; done; }
status=0
echo "== Bulgarian: fortunes-bg against bul-eng"
"$WINE" "$check" "$morphology" bg_BG "$(win "$WORK/bul-eng.dat")" \
  $(texts $(find "$fortunes/bg" -type f ! -name '*.dat' | sort)) || status=1
echo "== Russian: fortunes-ru against rus-deu"
"$WINE" "$check" "$morphology" ru_RU "$(win "$WORK/rus-deu.dat")" \
  $(texts $(find "$fortunes/ru" -type f ! -name '*.dat' | sort)) || status=1
echo "== English: fortunes against eng-bul"
"$WINE" "$check" "$morphology" en_US "$(win "$WORK/eng-bul.dat")" \
  $(texts $(for t in $ENGLISH_TEXTS; do echo "$fortunes/$t"; done)) || status=1
exit $status
