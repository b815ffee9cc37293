#!/usr/bin/env bash
# Builds the store benchmarks and runs them under Wine; prints their tables of figures: the
# dictionary store's, then searching inside the entries (bench/TextSearchBench.cpp), then the
# Hunspell morphology's (bench/MorphologyBench.cpp). Then, unless only the unsorted build
# (--unsorted), only the lookups (--lookup), only the search inside the entries (--text) or only
# the morphology (--morph) were asked for, runs scripts/bench-window.sh, the keystroke-to-paint
# timing of the real main window.
# The benchmarks write up to about 450 MB of scratch files to the Wine prefix's temporary folder
# and remove them when they end.
# A dictionary file given after the option, or in LEXMORA_BENCH_DICT (scripts/bench.sh --lookup
# path/eng-bul.dat), gets lookup rows of its own: FindHeadword against FindWord on its headwords.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}
"$ROOT/scripts/build.sh" --target lexmora_bench lexmora_textsearch_bench lexmora_morph_bench \
  >/dev/null
. "$ROOT/scripts/wine-env.sh"
trap lexmora_wine_down EXIT
lexmora_wine_up
option=${1:-}
dict=${2:-${LEXMORA_BENCH_DICT:-}}
case "$option" in *.dat) dict=$option option="" ;; esac
args=()
[ -n "$option" ] && args+=("$option")
# Wine reaches the Linux file system as drive Z:.
[ -n "$dict" ] && args+=("Z:$(realpath "$dict" | tr / '\\')")
if [ "$option" != "--text" ] && [ "$option" != "--morph" ]; then
  "$WINE" "$BUILD_DIR/bench/lexmora_bench.exe" "${args[@]}" </dev/null
fi
if [ "$option" = "" ] || [ "$option" = "--quick" ] || [ "$option" = "--text" ]; then
  # The meanings of its English-Bulgarian dictionary are searched with their Bulgarian forms.
  "$WINE" "$BUILD_DIR/bench/lexmora_textsearch_bench.exe" \
    --morphology "Z:$ROOT/deps/stage/Morphology" </dev/null
fi
if [ "$option" = "" ] || [ "$option" = "--quick" ] || [ "$option" = "--morph" ]; then
  # Stems is timed on the words of real text: the Bulgarian headwords and examples of the demo
  # dictionary's source, the Russian messages (msgstr) of Hunspell's source, its English README.
  texts=$(mktemp -d)
  cyrillic_words() { LC_ALL=C.UTF-8 grep -oP '\p{Cyrillic}+' || true; }
  sed -n 's/^msgstr "\(.*\)"$/\1/p; s/^"\(.*\)"$/\1/p' "$ROOT/deps/hunspell/po/ru.po" |
    cyrillic_words >"$texts/ru.txt"
  grep -v '^#' "$ROOT/data-src/diruridu.txt" | cyrillic_words >"$texts/bg.txt"
  "$WINE" "$BUILD_DIR/bench/lexmora_morph_bench.exe" "Z:$ROOT/deps/stage/Morphology" \
    "bg_BG=Z:$texts/bg.txt" "ru_RU=Z:$texts/ru.txt" "en_US=Z:$ROOT/deps/hunspell/README" \
    </dev/null
  rm -rf "$texts"
fi
lexmora_wine_down
trap - EXIT
if [ "$option" = "" ] || [ "$option" = "--quick" ]; then
  "$ROOT/scripts/bench-window.sh"
fi
