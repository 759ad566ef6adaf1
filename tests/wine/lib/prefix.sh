# Wine prefixes for the suite: one base prefix per run, cloned from the
# build's ready prefix (scripts/lib/wine_prefix.sh, the one that ctest's
# emulator clones too), and a hard-linked clone of it per scenario.
# Everything lives under $work, inside the build folder; the machine's own
# ~/.wine and trust store are never touched.
# Needs: $work, $wine_root (the build's folder of Wine files),
# $wine_steps_log, $DISPLAY and wine_test_environment done.
# shellcheck source=../../../scripts/lib/wine_prefix.sh
source "$here/../../scripts/lib/wine_prefix.sh"

# A path under / as Wine sees it through its Z: drive.
winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }

# Runs a Windows program in prefix $1, bounded in time.
wine_in() {
  local prefix=$1; shift
  WINEPREFIX=$prefix timeout 120 wine "$@"
}

stop_wineserver() { wine_stop_server "$1"; }

# Each step's output goes to the run's log of Wine steps; a failed one is
# tried once more, and a second failure is named (wine_step).
reg_add() {  # prefix key name text
  wine_step "$1" "$wine_steps_log" "reg add $2 /v $3" wine reg add "$2" /v "$3" /t REG_SZ /d "$4" /f
}

# The base prefix: the ready prefix, the test CA trusted, the recording
# stub as the system's own net.exe (Wine runs its built-in net unless told
# to prefer the file), and the program with a planted net.exe beside it, in
# its working folder, that must never run.
make_base_prefix() {
  local base=$1 ca_der=$2 log=$wine_steps_log
  wine_ready_prefix "$wine_root" || return 1
  wine_clone_prefix "$wine_root/ready" "$base" || return 1
  wine_step "$base" "$log" "trust the test CA" wine "$trust_helper" "$(winpath "$ca_der")" || return 1
  reg_add "$base" 'HKCU\Software\Wine\DllOverrides' net.exe native || return 1
  rm -f "$base/drive_c/windows/system32/net.exe"
  cp "$net_stub" "$base/drive_c/windows/system32/net.exe"
  mkdir -p "$base/drive_c/CheckKeldo"
  cp "$program" "$planted_net" "$base/drive_c/CheckKeldo/"
  # The registry reaches its files only when the server ends.
  stop_wineserver "$base"
}

clone_prefix() { wine_clone_prefix "$1" "$2"; }
