# Sourced by the scripts: a Wine prefix of the build's own, a persistent wineserver and an X
# display. Call lexmora_wine_up after setting BUILD_DIR; lexmora_wine_down undoes it.
# LEXMORA_WINEPREFIX names another prefix than BUILD_DIR/wineprefix, for a test that runs beside
# the others with a prefix of its own.
# With LEXMORA_WINE_DESKTOP=1 every program of the prefix runs inside one Wine desktop of
# 1280 x 1024 pixels instead of in X windows of its own: there hiding a window takes
# milliseconds, where without a window manager it waits about 2 s for the X server.
# LEXMORA_DPI sets the display's DPI of the prefix (96 unless set).
# LEXMORA_WINE_TEMPLATE names a template prefix: a missing prefix is then made as a copy of it
# (lexmora_wine_copy_template) instead of by wineboot, which costs about 6 s of CPU each.
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
XVFB_PID=""

# Without its debugger (winedbg.exe=d) a program that faults ends at once, with the fault's code
# (0xC0000005) as its exit code, instead of waiting for somebody to close a crash dialog: a test
# that crashes fails instead of running into its timeout. Without the menu builder
# (winemenubuilder.exe=d) the Wine desktop does not refresh file associations at each start, and
# no shortcut made in a prefix lands in the user's menus.
LEXMORA_WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d"

# Runs one of Wine's own programs (reg, cmd, explorer) by its path in the prefix. Named without
# it, the program is looked for by start.exe first, a second process that costs about five times
# the program's own start.
lexmora_wine_tool() {  # name, then its arguments
  local name=$1
  shift
  "$WINE" "C:\\windows\\system32\\$name.exe" "$@"
}

lexmora_wine_up() {
  export WINEPREFIX="${LEXMORA_WINEPREFIX:-$BUILD_DIR/wineprefix}" WINEDEBUG=-all
  export WINEDLLOVERRIDES=$LEXMORA_WINEDLLOVERRIDES
  if [ -z "${DISPLAY:-}" ] || [ "${LEXMORA_OWN_DISPLAY:-}" = 1 ]; then
    local fdfile
    fdfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
    export DISPLAY=":$(head -n1 "$fdfile")"
    rm -f "$fdfile"
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    if [ -n "${LEXMORA_WINE_TEMPLATE:-}" ]; then
      lexmora_wine_copy_template "$LEXMORA_WINE_TEMPLATE" "$WINEPREFIX"
    else
      lexmora_wine_make_prefix "$WINEPREFIX"
    fi
  fi
  lexmora_wine_fonts
  lexmora_wine_desktop "${LEXMORA_WINE_DESKTOP:-0}"
  lexmora_wine_dpi "${LEXMORA_DPI:-96}"
  # A server that already runs for the prefix (another program of it, or one that ended a moment
  # ago) serves as it is: a second one cannot start, and -p then fails.
  "$WINESERVER" -p 2>/dev/null || true
  # Start Wine's services once, with nothing inherited, so that later programs start fast
  # and no service holds ctest's pipes open.
  lexmora_wine_tool cmd /c exit >/dev/null 2>&1 </dev/null || true
}

# Makes a new prefix at the folder given, with wineboot, and stops its server.
lexmora_wine_make_prefix() {  # folder
  echo "wine: creating prefix $1"
  WINEPREFIX=$1 "$WINE" wineboot -i >/dev/null 2>&1 </dev/null || true
  # The prefix is made when wineboot returns; its services would linger for seconds more.
  WINEPREFIX=$1 "$WINESERVER" -k >/dev/null 2>&1 || true
  WINEPREFIX=$1 "$WINESERVER" -w
}

# Makes the prefix TO as a copy of the template prefix FROM, making the template first if it is
# missing (one process at a time, under a lock beside it; no program ever runs in the template).
# The system folders, which Wine only reads, are hard links into the template; everything else
# (the registry files, the users' folders) is a copy of its own, since Wine writes there.
lexmora_wine_copy_template() {  # from to
  local from=$1 to=$2
  (
    flock 9
    [ -f "$from/system.reg" ] || lexmora_wine_make_prefix "$from"
  ) 9>"$from.lock"
  rm -rf "${to:?}"
  mkdir -p "$to"
  local shared=(drive_c/windows/system32 drive_c/windows/syswow64 drive_c/windows/winsxs)
  local excludes=() dir
  for dir in "${shared[@]}"; do excludes+=("--exclude=./$dir"); done
  tar -C "$from" "${excludes[@]}" -cf - . | tar -C "$to" -xf -
  for dir in "${shared[@]}"; do
    [ -d "$from/$dir" ] && cp -al "$from/$dir" "$to/$dir"
  done
  [ -f "$to/system.reg" ] || { echo "wine: could not copy $from to $to" >&2; return 1; }
}

# Wine's own fonts: Marlett draws the title bar's buttons (without it they show as "0 1 r"), and
# "MS Sans Serif" and Tahoma give dialogs the text widths they have on Windows (without them a
# wider font stands in and cuts texts off). Wine does not look for them where Debian's fonts-wine
# puts them, only in the prefix's font folder, and the wineserver sees a font added there once it
# starts again. A mark file records that the prefix has them.
lexmora_wine_fonts() {
  local from=/usr/share/wine/fonts fonts="$WINEPREFIX/drive_c/windows/Fonts"
  local mark="$WINEPREFIX/lexmora-fonts"
  if [ ! -d "$from" ] || [ -f "$mark" ]; then return 0; fi
  mkdir -p "$fonts"
  cp -n "$from"/* "$fonts/"
  touch "$mark"
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
}

# Makes the prefix run its programs in the Wine desktop (1) or in X windows (0). The choice
# lives in the prefix's registry; a mark file beside it saves asking Wine on every run.
lexmora_wine_desktop() {
  local mark="$WINEPREFIX/lexmora-desktop" have=0
  [ -f "$mark" ] && have=1
  [ "$1" = "$have" ] && return 0
  if [ "$1" = 1 ]; then
    lexmora_wine_tool reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f \
      >/dev/null 2>&1 </dev/null
    lexmora_wine_tool reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f \
      >/dev/null 2>&1 </dev/null
    touch "$mark"
  else
    lexmora_wine_tool reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f \
      >/dev/null 2>&1 </dev/null
    rm -f "$mark"
  fi
  # The wineserver reads the value when it starts.
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
}

# Wine reads the display's DPI from the registry (LogPixels) when its server starts. A mark file
# holds the DPI set, where it is not Wine's 96.
lexmora_wine_dpi() {
  local mark="$WINEPREFIX/lexmora-dpi" have=96
  [ -f "$mark" ] && have=$(cat "$mark")
  [ "$1" = "$have" ] && return 0
  lexmora_wine_tool reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 </dev/null
  echo "$1" >"$mark"
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
}

lexmora_wine_down() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" >/dev/null 2>&1 || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
}
