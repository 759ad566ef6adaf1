# Wine prefixes for the suite: one base prefix per run, made once, and a
# hard-linked clone of it per scenario. Everything lives under $work; the
# machine's own ~/.wine and trust store are never touched.
# Needs: $work, $DISPLAY, WINEDEBUG and WINEDLLOVERRIDES exported.

# A path under / as Wine sees it through its Z: drive.
winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }

# Runs a Windows program in prefix $1, bounded in time.
wine_in() {
  local prefix=$1; shift
  WINEPREFIX=$prefix timeout 120 wine "$@"
}

stop_wineserver() {
  WINEPREFIX=$1 wineserver -k 2>/dev/null || true
  WINEPREFIX=$1 timeout 30 wineserver -w 2>/dev/null || true
}

# Wine's reg has been seen to fail now and then on a busy machine without a
# word; a second try after the prefix's server has gone usually succeeds,
# and a second failure is named.
reg_add() {  # prefix key name text
  local attempt
  for attempt in 1 2; do
    wine_in "$1" reg add "$2" /v "$3" /t REG_SZ /d "$4" /f >/dev/null && return 0
    echo "# reg add $2 /v $3 in $1 failed (status $?, attempt $attempt)" >&2
    stop_wineserver "$1"
  done
  return 1
}

# The base prefix: Wine's own set-up, windows that close at once (no window
# manager here), Arial drawn with Liberation Sans, Wine's fonts in place,
# the test CA trusted, the recording stub as the system's own net.exe (Wine
# runs its built-in net unless told to prefer the file), and the program
# with a planted net.exe beside it, in its working folder, that must never
# run.
make_base_prefix() {
  local base=$1 ca_der=$2 attempt
  # Wine's own start-up may fail for its own reasons: once more, then give up.
  for attempt in 1 2; do
    if WINEPREFIX=$base timeout 180 wineboot -i > "$base.wineboot.log" 2>&1; then break; fi
    stop_wineserver "$base"
    rm -rf "$base"
    if [[ $attempt == 2 ]]; then
      echo "wineboot failed: $(tail -n 5 "$base.wineboot.log")" >&2
      return 1
    fi
  done
  reg_add "$base" 'HKCU\Software\Wine\X11 Driver' Managed N
  reg_add "$base" 'HKCU\Software\Wine\Fonts\Replacements' Arial 'Liberation Sans'
  cp /usr/share/wine/fonts/*.ttf "$base/drive_c/windows/Fonts/"
  wine_in "$base" "$trust_helper" "$(winpath "$ca_der")"
  reg_add "$base" 'HKCU\Software\Wine\DllOverrides' net.exe native
  rm -f "$base/drive_c/windows/system32/net.exe"
  cp "$net_stub" "$base/drive_c/windows/system32/net.exe"
  mkdir -p "$base/drive_c/CheckKeldo"
  cp "$program" "$planted_net" "$base/drive_c/CheckKeldo/"
  # The registry reaches its files only when the server ends.
  stop_wineserver "$base"
}

# A clone costs hard links; the registry files are rewritten in place by
# Wine, so they are real copies.
clone_prefix() {
  local base=$1 clone=$2 hive
  cp -al "$base" "$clone"
  for hive in system.reg user.reg userdef.reg; do
    rm -f "$clone/$hive"
    cp "$base/$hive" "$clone/$hive"
  done
}
