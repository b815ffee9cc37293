#!/usr/bin/env bash
# Installs what building, running and testing need, on a fresh Debian machine (as root).
# Does nothing slow when everything is already there.
set -euo pipefail

need=()
have() { command -v "$1" >/dev/null 2>&1 || [ -x "$1" ]; }
have x86_64-w64-mingw32-g++-posix || need+=(g++-mingw-w64-x86-64-posix)
have x86_64-w64-mingw32-windres || need+=(binutils-mingw-w64-x86-64)
have /usr/lib/wine/wine64 || need+=(wine64)
have Xvfb || need+=(xvfb)
have xauth || need+=(xauth)
have cmake || need+=(cmake)
# New build folders use Ninja: a build with nothing to do returns at once, and a build from the
# cache runs no helper process per target.
have ninja || need+=(ninja-build)
# Builds in new build folders (the run script's test, work trees) take the objects already made.
have ccache || need+=(ccache)
have /usr/bin/import || need+=(imagemagick)
have makensis || need+=(nsis)
# The font of the title bar's buttons (wine-env.sh puts it into the Wine prefix).
[ -f /usr/share/wine/fonts/marlett.ttf ] || need+=(fonts-wine)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
[ -f /usr/x86_64-w64-mingw32/include/zlib.h ] || need+=(libz-mingw-w64-dev)
# The checks of scripts/lint.sh.
have clang-format || need+=(clang-format)
have cppcheck || need+=(cppcheck)
# apt-get source unpacks Hunspell's source package with dpkg-source.
have dpkg-source || need+=(dpkg-dev)

if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

# Hunspell's source and the dictionaries that ship with the program, from Debian's archive.
"$(dirname "$0")/fetch-deps.sh"
