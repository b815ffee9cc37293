#!/usr/bin/env bash
# Runs the build's installer (the target lexmora_installer) under Wine as a user would: a silent
# install, the program used from where it was installed, files of the user's own added, and a
# silent uninstall, which must take the program away and leave everything of the user's.
#
#   installer-test.sh BUILD_DIR PART CASE...
#
# Runs the cases named (the functions case_* below), in a Wine prefix of its own
# (BUILD_DIR/wineprefix-installer-PART, copied from the build's template prefix on the first run
# and kept), with its own wineserver and X display: nothing it installs or starts meets the other
# tests, and it runs beside them, the other parts included. Each case starts from a prefix with
# no copy installed.
set -uo pipefail
BUILD_DIR=$(cd "$1" && pwd)
PART=$2
shift 2
[ $# -gt 0 ] || { echo "FAIL: no case named"; exit 1; }
README=$(cd "$(dirname "$0")/../.." && pwd)/README.md
HELP=$(dirname "$README")/data/Help/Readme.html
export LEXMORA_WINEPREFIX=$BUILD_DIR/wineprefix-installer-$PART LEXMORA_OWN_DISPLAY=1
export LEXMORA_WINE_DESKTOP=1 LEXMORA_WINE_TEMPLATE=$BUILD_DIR/wineprefix-template
. "$(dirname "$0")/../../scripts/wine-env.sh"
# Shortcuts made in the prefix do not turn into menu entries of this machine: wine-env.sh turns
# Wine's menu builder off.
export LC_ALL=C.UTF-8

failures=0
fail() {
  echo "FAIL [$case_name]: $*"
  failures=$((failures + 1))
}
expect_eq() {  # what, got, wanted
  [ "$2" = "$3" ] || fail "$1: got '$2', wanted '$3'"
}

wine_tool_output() { lexmora_wine_tool "$@" </dev/null 2>/dev/null | tr -d '\r'; }
# A Windows path as a Unix path, through the prefix's drive links as Wine finds it (without
# starting a Wine program for it, as winepath would).
unix_path() {
  local path=${1//\\//}
  local drive=${path:0:1}
  echo "$WINEPREFIX/dosdevices/${drive,,}${path:1}"
}

scratch=$(mktemp -d)
# Where Wine's menu builder would put the menu entries of the shortcuts made: the entries, icons
# and folders under the data home, the menus that list them under the configuration home.
export XDG_DATA_HOME=$scratch/data-home XDG_CONFIG_HOME=$scratch/config-home
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  rm -rf "$scratch"
  lexmora_wine_down
}
trap cleanup EXIT

case_name=package
lexmora_wine_up >/dev/null

scratch_w="Z:${scratch//\//\\}"
IFS='|' read -r local_app_data app_data < <(wine_tool_output cmd /c echo '%LOCALAPPDATA%^|%APPDATA%')
default_dir_w="$local_app_data\\Programs\\Lexmora"
default_dir=$(unix_path "$default_dir_w")
shortcut=$(unix_path "$app_data\\Microsoft\\Windows\\Start Menu\\Programs\\Lexmora.lnk")
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lexmora'
settings_keys=('HKCU\Software\Lexmora' 'HKLM\Software\Lexmora')

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$BUILD_DIR/CPackConfig.cmake")
setup=$BUILD_DIR/installer/Lexmora-$version-win64-setup.exe
[ -f "$setup" ] || { echo "FAIL: no $setup; the build wrote: $(ls "$BUILD_DIR/installer")"; exit 1; }
packed=$(find "$BUILD_DIR/installer/_CPack_Packages" -type d -path '*/Lexmora-*-setup/Lexmora' |
  head -n1)
[ -n "$packed" ] || { echo "FAIL: no packed program folder under $BUILD_DIR/installer"; exit 1; }

# The text values of a key as `name=data` lines, from an export of the key: the export is
# Unicode, where `reg query` writes to a pipe in the console's code page.
reg_values() {  # key
  rm -f "$scratch/key.reg"
  lexmora_wine_tool reg export "$1" "$scratch_w\\key.reg" /y >/dev/null 2>&1 </dev/null
  [ -f "$scratch/key.reg" ] || return 0
  iconv -f UTF-16 -t UTF-8 "$scratch/key.reg" | tr -d '\r' |
    awk '/^\[/ { n++; next } n == 1 && /^"[^"]*"=".*"$/ { print }' |
    sed 's/^"\([^"]*\)"="\(.*\)"$/\1=\2/; s/\\\(.\)/\1/g'
}
value_of() { sed -n "s/^$1=//p"; }  # name; reads reg_values' lines
key_exists() { lexmora_wine_tool reg query "$1" >/dev/null 2>&1 </dev/null; }
hex_of() { od -An -tx1 -v "$@" | tr -d ' \n'; }
files_in() { (cd "$1" 2>/dev/null && find . -type f | sed 's|^\./||' | LC_ALL=C sort); }

remove_installed() {  # a known start: no copy installed, no settings
  rm -rf "$default_dir" "$shortcut"
  {
    printf 'Windows Registry Editor Version 5.00\r\n'
    for key in "$uninstall_key" "${settings_keys[@]}"; do
      key=${key/#HKCU/HKEY_CURRENT_USER}
      printf '[-%s]\r\n' "${key/#HKLM/HKEY_LOCAL_MACHINE}"
    done
  } >"$scratch/remove.reg"
  lexmora_wine_tool reg import "$scratch_w\\remove.reg" >/dev/null 2>&1 </dev/null
}

install() {  # [/D=folder]: a silent install, with the installer's exit code
  "$WINE" "$setup" /S "$@" </dev/null >/dev/null 2>&1
}

# Runs the uninstall entry's command silently, as Windows' list of programs would, and waits until
# the uninstaller, which goes on from a copy of itself, has removed itself and then the entry, its
# last step.
uninstall() {
  local command
  command=$(reg_values "$uninstall_key" | value_of UninstallString)
  [ -n "$command" ] || { fail "no UninstallString to run"; return; }
  command=${command#\"}
  command=${command%\"}
  "$WINE" "$command" /S </dev/null >/dev/null 2>&1
  local uninstaller
  uninstaller=$(unix_path "$command")
  for _ in $(seq 150); do [ -e "$uninstaller" ] || break; sleep 0.1; done
  for _ in $(seq 20); do key_exists "$uninstall_key" || break; sleep 0.1; done
  key_exists "$uninstall_key" && fail "the uninstaller did not finish within 15 s"
  sleep 0.3  # lets the uninstaller's process end
}

# Runs the batch file that the README gives for an uninstall with a real exit code (the only
# ```bat block there; the help page shows it too), and leaves its exit code.
uninstall_as_readme_says() {
  local batch
  batch=$(sed -n '/^```bat$/,/^```$/{/^```/d;p}' "$README")
  [ -n "$batch" ] || { fail "the README gives no batch file"; return 9; }
  expect_eq "the help page's batch file" "$(sed -n '/^<pre class="bat">/,/<\/pre>$/p' "$HELP" |
    sed 's/^<pre class="bat">//; s/<\/pre>$//; s/&gt;/>/g')" "$batch"
  sed 's/$/\r/' <<<"$batch" >"$scratch/uninstall.cmd"
  lexmora_wine_tool cmd /c "$scratch_w\\uninstall.cmd" </dev/null >/dev/null 2>&1
}

# What a fresh install must have given: the packed files, the uninstall entry and the shortcut.
check_installed() {  # the folder as a Windows path, and as a Unix path
  local dir_w=$1 dir=$2
  expect_eq "files installed" "$(files_in "$dir")" \
    "$( (files_in "$packed"; echo Uninstall.exe) | LC_ALL=C sort)"
  while read -r file; do
    cmp -s "$packed/$file" "$dir/$file" || fail "$file differs from the packed file"
  done < <(files_in "$packed")

  local -a entry=(
    "DisplayName|Lexmora"
    "DisplayVersion|$version"
    "Publisher|Lexmora"
    "UninstallString|\"$dir_w\\Uninstall.exe\""
    "DisplayIcon|$dir_w\\Lexmora.exe"
    "InstallLocation|$dir_w"
  )
  local values
  values=$(reg_values "$uninstall_key")
  for row in "${entry[@]}"; do
    expect_eq "uninstall entry's ${row%%|*}" "$(value_of "${row%%|*}" <<<"$values")" "${row#*|}"
  done
  key_exists "${uninstall_key/HKCU/HKLM}" && fail "an uninstall entry for all users was written"

  [ -f "$shortcut" ] || fail "no Start-menu shortcut $shortcut"
  hex_of "$shortcut" | grep -qF "$(printf '%s' "$dir_w\\Lexmora.exe" | iconv -t UTF-16LE | hex_of)" ||
    fail "the shortcut does not name $dir_w\\Lexmora.exe"
}

check_uninstalled() {  # installed folder (Unix path), the files that must be left, one a line
  expect_eq "files left" "$(files_in "$1")" "$2"
  [ -z "$2" ] && [ -e "$1" ] && fail "the empty folder $1 is left behind"
  key_exists "$uninstall_key" && fail "the uninstall entry is left"
  [ -e "$shortcut" ] && fail "the shortcut is left"
}

# With reg's exit status, so that a query that failed shows as such, not as a key without values.
settings_snapshot() {
  for key in "${settings_keys[@]}"; do
    lexmora_wine_tool reg query "$key" /s </dev/null 2>/dev/null | tr -d '\r'
    echo "reg query $key: exit code ${PIPESTATUS[0]}"
  done
}

# Case: a fresh install into a folder the user chose, whose name the system's code page cannot
# spell, and its uninstall, which leaves nothing behind. (The installer takes /D= only unquoted,
# and Wine quotes an argument with a space.)
case_chosen_folder() {
  local dir_w="$local_app_data\\Речник\\Lexmora" dir
  dir=$(unix_path "$dir_w")
  install "/D=$dir_w"
  expect_eq "installer's exit code" "$?" 0
  check_installed "$dir_w" "$dir"
  uninstall
  check_uninstalled "$dir" ""
  rm -rf "$(dirname "$dir")"
}

# Case: the program used from the default folder. It writes the index of the shipped dictionary
# and its settings; setup refuses to run over it while it runs. The user then adds a dictionary
# of their own with two index files and a note beside the shipped one, and edits a
# letter-conversion table. The uninstall removes the program with the shipped dictionary's index
# files and keeps the user's files and settings.
case_used_program() {
  local dir=$default_dir
  install
  expect_eq "installer's exit code" "$?" 0
  check_installed "$default_dir_w" "$default_dir"

  "$WINE" "$default_dir_w\\Lexmora.exe" </dev/null >/dev/null 2>&1 &
  program_pid=$!
  "$WINE" "$BUILD_DIR/tools/lexmora-type.exe" къща </dev/null >"$scratch/type.log" 2>&1 ||
    fail "the installed program did not look up a word: $(tr -d '\r' <"$scratch/type.log")"
  [ -s "$dir/Dictionaries/diruridu.ind" ] ||
    fail "the program wrote no index beside the shipped dictionary"

  install
  expect_eq "installer's exit code while the program runs" "$?" 2
  uninstall_as_readme_says
  expect_eq "uninstaller's exit code while the program runs" "$?" 2
  [ -f "$dir/Lexmora.exe" ] || fail "the refused uninstall removed the program"

  if ! "$WINE" "$BUILD_DIR/tools/lexmora-type.exe" --close </dev/null >/dev/null 2>&1; then
    fail "the program did not close"
    kill "$program_pid"
  fi
  wait "$program_pid"
  program_pid=""
  local settings
  settings=$(settings_snapshot)
  grep -qxF "reg query ${settings_keys[0]}: exit code 0" <<<"$settings" ||
    fail "the program wrote no settings: $settings"

  printf 'words' >"$dir/Dictionaries/diruridu.wix"  # as the word search writes it
  printf 'mine' >"$dir/Dictionaries/mine.dat"
  printf 'index' >"$dir/Dictionaries/mine.ind"
  printf 'words' >"$dir/Dictionaries/mine.wix"
  printf 'notes' >"$dir/Dictionaries/diruridu.txt"
  printf 'ey' >"$dir/Data/conv_to.txt"
  uninstall
  check_uninstalled "$dir" "$(printf '%s\n' Data/conv_to.txt Dictionaries/diruridu.txt \
    Dictionaries/mine.dat Dictionaries/mine.ind Dictionaries/mine.wix)"
  expect_eq "the edited table" "$(cat "$dir/Data/conv_to.txt" 2>/dev/null)" ey
  expect_eq "settings after the uninstall" "$(settings_snapshot)" "$settings"
}

# Case: the user imported a dictionary of their own over the shipped one. Neither an update nor
# an uninstall nor a later install takes it or its index away.
case_replaced_dictionary() {
  local dir=$default_dir step
  install
  printf 'imported' >"$dir/Dictionaries/diruridu.dat"
  printf 'index' >"$dir/Dictionaries/diruridu.ind"
  for step in install uninstall install uninstall; do
    "$step"
    expect_eq "the imported dictionary after $step" \
      "$(cat "$dir/Dictionaries/diruridu.dat" 2>/dev/null)" imported
  done
  check_uninstalled "$dir" "$(printf '%s\n' Dictionaries/diruridu.dat Dictionaries/diruridu.ind)"
}

# Case: installs over an earlier one after the user edited both letter-conversion tables. Every
# edit stays, with the new version beside it as <name>.new; a file still as the earlier install
# left it, and a .new of its own, are replaced; a .new the user edited stays too. Taking the
# shipped table back is deleting one's own. The uninstall keeps the edits and takes the .new files
# it wrote; an install after it keeps them again, and a table the user put there.
case_install_over_changed() {
  local dir=$default_dir to=Data/conv_to.txt from=Data/conv_from.txt help=Help/Readme.html
  install
  printf 'а' | iconv -t UTF-16LE >>"$dir/$to"  # one more group
  printf '\r\nä' | iconv -t UTF-16LE >>"$dir/$from"
  cp "$dir/$to" "$scratch/edited-to"
  cp "$dir/$from" "$scratch/edited-from"
  as_earlier_version "$dir/$help"

  install
  expect_eq "installer's exit code over edited files" "$?" 0
  expect_files "the first install over the edits" "$dir" \
    "$to" "$scratch/edited-to" "$to.new" "$packed/$to" \
    "$from" "$scratch/edited-from" "$from.new" "$packed/$from" "$help" "$packed/$help"

  as_earlier_version "$dir/$to.new"
  printf 'mine' >>"$dir/$from.new"
  cp "$dir/$from.new" "$scratch/edited-from-new"
  install
  expect_files "an install over the .new files" "$dir" \
    "$to" "$scratch/edited-to" "$to.new" "$packed/$to" \
    "$from" "$scratch/edited-from" "$from.new" "$scratch/edited-from-new"

  rm "$dir/$to"
  install
  expect_files "an install after the edited table was deleted" "$dir" "$to" "$packed/$to"
  [ -e "$dir/$to.new" ] && fail "the out-of-date $to.new is left"

  uninstall_as_readme_says
  expect_eq "uninstaller's exit code" "$?" 0
  check_uninstalled "$dir" "$(printf '%s\n' "$from" "$from.new")"
  cp "$scratch/edited-to" "$dir/$to"  # a table of the user's put there, which setup never wrote
  printf 'an older portable copy' >"$dir/Lexmora.exe"  # a program setup never wrote is replaced
  install
  expect_files "the program over an unpacked older copy" "$dir" \
    Lexmora.exe "$packed/Lexmora.exe"
  [ -e "$dir/Lexmora.exe.new" ] && fail "a new version of the program was put beside an old one"
  expect_files "an install after the uninstall" "$dir" \
    "$to" "$scratch/edited-to" "$to.new" "$packed/$to" \
    "$from" "$scratch/edited-from" "$from.new" "$scratch/edited-from-new"
  uninstall
  check_uninstalled "$dir" "$(printf '%s\n' "$from" "$from.new" "$to")"
}

# Makes an installed file look like an earlier version's, as that version left it: other
# content, the last-write time that the install recorded.
as_earlier_version() {  # file
  cp -p "$1" "$scratch/as-installed"
  printf 'earlier version' >"$1"
  touch -r "$scratch/as-installed" "$1"
}

expect_files() {  # what, folder, then pairs: path under the folder, file it must equal
  local what=$1 dir=$2
  shift 2
  while [ $# -ge 2 ]; do
    cmp -s "$dir/$1" "$2" || fail "$what: $1 is not as wanted ($2)"
    shift 2
  done
}

for case_name in "$@"; do
  [ "$(type -t "$case_name")" = function ] || { fail "no such case"; continue; }
  remove_installed
  before=$failures
  start=$(date +%s%N)
  "$case_name"
  echo "$case_name: $([ "$failures" = "$before" ] && echo ok || echo FAILED)" \
    "($((($(date +%s%N) - start) / 1000000)) ms)"
done
remove_installed
case_name=menus
for home in "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"; do
  [ -z "$(ls -A "$home" 2>/dev/null)" ] ||
    fail "menu entries were made on this machine: $(cd "$home" && find . -type f)"
done
[ "$failures" = 0 ] || { echo "$failures failed checks"; exit 1; }
echo "all installer checks passed"
