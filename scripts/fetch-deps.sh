#!/usr/bin/env bash
# Fetches what the build takes from Debian's archive into deps/ of the checkout (ignored by git):
#   deps/hunspell/  the source of Hunspell (source package `hunspell`, 1.7.x), which
#                   cmake/Hunspell.cmake builds as a static library;
#   deps/stage/     files that ship in the program folder: Morphology/ with the Hunspell pairs of
#                   `hunspell-bg`, `hunspell-ru` and `hunspell-en-us` and their copyright files,
#                   en_US.exc made of the exception lists of `wordnet-base` with WordNet's
#                   copyright; Licenses/Hunspell/.
# Once done, later runs find deps/stamp and need no network. Runs at the same time (two build
# folders, the run script's test) take turns on a lock; a failed fetch leaves deps/ as it was.
# apt reads a sources list of its own and keeps its lists in a scratch folder, so the system's
# sources and lists stay as they are.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
DEPS=$ROOT/deps
# Raise when what this script fetches or makes changes: checkouts fetched before fetch again.
RECIPE="recipe 1"

mkdir -p "$DEPS"
exec 9>"$DEPS/.lock"
flock 9
[ "$(head -n1 "$DEPS/stamp" 2>/dev/null)" = "$RECIPE" ] && exit 0

echo "fetch-deps: fetching Hunspell and its dictionaries from Debian into $DEPS"
work=$(mktemp -d "$DEPS/.fetch.XXXXXX")
trap 'rm -rf "$work"' EXIT
. /etc/os-release
mirror=${LEXMORA_DEBIAN_MIRROR:-http://deb.debian.org/debian}
mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/src" "$work/debs"
printf 'deb %s %s main\ndeb-src %s %s main\n' "$mirror" "$VERSION_CODENAME" "$mirror" \
  "$VERSION_CODENAME" >"$work/apt/sources.list"
apt_options=(-o "Dir::Etc::sourcelist=$work/apt/sources.list" -o Dir::Etc::sourceparts=/dev/null
  -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache"
  -o APT::Sandbox::User=root -qq)
apt-get "${apt_options[@]}" update
(cd "$work/src" && apt-get "${apt_options[@]}" source hunspell >/dev/null 2>&1) || {
  echo "fetch-deps: apt-get source hunspell failed" >&2
  exit 1
}
source_dir=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name 'hunspell-1.7*')
[ -n "$source_dir" ] && [ -f "$source_dir/src/hunspell/hunspell.hxx" ] || {
  echo "fetch-deps: no Hunspell 1.7 source in $(ls "$work/src")" >&2
  exit 1
}
packages=(hunspell-bg hunspell-ru hunspell-en-us wordnet-base)
(cd "$work/debs" && apt-get "${apt_options[@]}" download "${packages[@]}")
for deb in "$work"/debs/*.deb; do dpkg -x "$deb" "$work/root"; done

stage=$work/stage
mkdir -p "$stage/Morphology" "$stage/Licenses/Hunspell"
for name in bg_BG:hunspell-bg ru_RU:hunspell-ru en_US:hunspell-en-us; do
  pair=${name%%:*} package=${name#*:}
  cp "$work/root/usr/share/hunspell/$pair.aff" "$work/root/usr/share/hunspell/$pair.dic" \
    "$stage/Morphology/"
  cp "$work/root/usr/share/doc/$package/copyright" "$stage/Morphology/$pair.copyright.txt"
done
# English irregular forms, "went go": WordNet's exceptions of nouns, verbs, adjectives, adverbs.
wordnet=$work/root/usr/share/wordnet
cat "$wordnet/noun.exc" "$wordnet/verb.exc" "$wordnet/adj.exc" "$wordnet/adv.exc" \
  >"$stage/Morphology/en_US.exc"
cp "$work/root/usr/share/doc/wordnet-base/copyright" "$stage/Morphology/WordNet.copyright.txt"
cp "$source_dir/debian/copyright" "$stage/Licenses/Hunspell/copyright.txt"
cp "$source_dir/license.hunspell" "$stage/Licenses/Hunspell/license.hunspell.txt"
cp "$source_dir/license.myspell" "$stage/Licenses/Hunspell/license.myspell.txt"

rm -rf "$DEPS/hunspell" "$DEPS/stage"
mv "$source_dir" "$DEPS/hunspell"
mv "$stage" "$DEPS/stage"
{
  echo "$RECIPE"
  echo "hunspell source: $(basename "$source_dir")"
  for deb in "$work"/debs/*.deb; do basename "$deb"; done
} >"$DEPS/stamp"
echo "fetch-deps: done ($(tr '\n' ' ' <"$DEPS/stamp"))"
