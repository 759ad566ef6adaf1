#!/usr/bin/env bash
# The Windows Installer package under Wine, silent (/qn), in one prefix: a
# clone of the ready prefix in <wine folder> (scripts/lib/wine_prefix.sh,
# the one every test under Wine starts from), installed without the report,
# then upgraded in place by the newer package, the older one refused, and
# removed without a trace.
#
#   tests/release/run-msi-checks.sh <package.msi> <newer package.msi> <wine folder>
#
# The prefix (removed at the end) and the logs go to <wine folder>/msi-checks.
# Prints one "ok"/"not ok" line per check; the exit status is 0 only when all
# passed.
set -euo pipefail
(($# == 3)) || { sed -n '8p' "$0" | sed 's/^# *//' >&2; exit 64; }
# shellcheck source=../../scripts/lib/wine_prefix.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/wine_prefix.sh"
wine_root=$(mkdir -p "$3" && realpath "$3")
older=$(realpath "$1") newer=$(realpath "$2") folder=$wine_root/msi-checks
prefix=$folder/prefix failed=0 xvfb_pid='' started=$SECONDS
mkdir -p "$folder"
# No Mono or Gecko installers, and no copies of the shortcut in the host's menus.
wine_test_environment "$wine_root"
export WINEPREFIX=$prefix
unset http_proxy
stop_wine() { wine_stop_server "$prefix"; }
trap 'stop_wine; [[ -z $xvfb_pid ]] || kill "$xvfb_pid"; rm -rf "$prefix"' EXIT
expect() {  # text command...
  local text=$1; shift; if "$@"; then echo "ok - $text"; else echo "not ok - $text"; failed=$((failed + 1)); fi
}
winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }
property() { /usr/bin/msiinfo export "$1" Property | tr -d '\r' | sed -n "s/^$2\t//p"; }
make_prefix() {
  rm -rf "$prefix" && wine_ready_prefix "$wine_root" && wine_clone_prefix "$wine_root/ready" "$prefix" || exit 2
}
msiexec() {  # expected-status log-name argument...: its time in $took
  local want=$1 log=$2 status=0 started=$EPOCHREALTIME; shift 2
  timeout 300 /usr/bin/wine msiexec "$@" /qn /l*v "$(winpath "$folder/$log.log")" || status=$?
  took=$(awk -v from="$started" -v to="$EPOCHREALTIME" 'BEGIN { printf "%.2f", to - from }')
  [[ $status == "$want" ]] || { echo "# msiexec $*: status $status, not $want" >&2; return 1; }
}
entries() {
  timeout 60 /usr/bin/wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | tr -d '\r' > "$folder/entries.txt"
}
our_entries() { grep -c '^    DisplayName    REG_SZ    Check Keldo Support$' "$folder/entries.txt" || true; }
entry_has() {  # product-code name value
  sed -n "/^HKEY.*\\\\$1\$/,/^\$/p" "$folder/entries.txt" | grep -qx "    $2    REG_[A-Z]*    $3"
}

code=$(property "$older" ProductCode) newer_code=$(property "$newer" ProductCode)
installed="$prefix/drive_c/Program Files/$(property "$older" Manufacturer)/Check Keldo Support"
menus=("$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
       "$prefix/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs")
# The X server comes first: Wine's desktop process, started with the first
# program, keeps the display it found.
/usr/bin/Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$folder/display" 2>"$folder/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s $folder/display ]] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$folder/display")
make_prefix
echo "# the prefix made in $((SECONDS - started)) s"
expect "msiexec /i leaving the report out (ADDLOCAL=WindowProgram) exits 0" \
  msiexec 0 install /i "$(winpath "$older")" ADDLOCAL=WindowProgram
echo "# install: $took s"
expect "the window program is in Program Files, the report left out" \
  bash -c '[[ -f $1/CheckKeldoSupport.exe && ! -e $1/keldo-check-report.exe ]]' _ "$installed"
# Wine puts a per-machine shortcut into the user's Start menu, Windows into All Users'.
shortcut=$(find "${menus[@]}" -maxdepth 1 -name 'Check Keldo Support.lnk' 2>/dev/null | head -1)
expect "a Start-menu shortcut to the installed program, with the program's icon" \
  bash -c '[[ -n $1 ]] && strings -a "$1" | grep -qF "C:\\Program Files\\$3\\Check Keldo Support\\CheckKeldoSupport.exe" &&
    strings -a -el "$1" | grep -qF "C:\\windows\\Installer\\$2\\CheckKeldoSupport.exe" &&
    [[ -f $4/drive_c/windows/Installer/$2/CheckKeldoSupport.exe ]]' _ "$shortcut" "$code" \
  "$(property "$older" Manufacturer)" "$prefix"
entries
for value in "DisplayName Check Keldo Support" "DisplayVersion $(property "$older" ProductVersion)" \
             "Publisher $(property "$older" Manufacturer)" "Contact $(property "$older" ARPCONTACT)" \
             "HelpLink $(property "$older" ARPHELPLINK)" "NoModify 0x1" "NoRepair 0x1"; do
  expect "Programs and Features: ${value%% *} is ${value#* }" entry_has "$code" "${value%% *}" "${value#* }"
done

/usr/bin/wine 'C:\Program Files\Keldo Support\Check Keldo Support\CheckKeldoSupport.exe' > "$folder/window.log" 2>&1 &
expect "the installed window program starts and shows its window" timeout 30 bash -c \
  'until /usr/bin/xwininfo -root -tree | grep -qF "\"Check Keldo Support\""; do sleep 0.1; done'
stop_wine

expect "a newer package upgrades in place (ADDLOCAL=ALL adds the report), exit 0" \
  msiexec 0 upgrade /i "$(winpath "$newer")" ADDLOCAL=ALL
echo "# upgrade: $took s"
newer_installed() {
  entries && [[ $(our_entries) == 1 ]] && entry_has "$newer_code" DisplayVersion "$(property "$newer" ProductVersion)"
}
expect "after the upgrade one entry in Programs and Features, of the newer version" newer_installed
expect "after the upgrade both programs are installed" \
  test -f "$installed/CheckKeldoSupport.exe" -a -f "$installed/keldo-check-report.exe"
# Wine's exit status holds the low byte of Windows' 1603 (a fatal error): 67.
expect "the older package is then refused (1603)" msiexec 67 downgrade /i "$(winpath "$older")"
# One check per fact, so that a failure names its own; the log is read for
# up to 5 s, in case its last lines come after msiexec has ended.
refused_for_newer() {
  local try
  for try in {1..50}; do
    tr -d '\0' < "$folder/downgrade.log" | grep -qxF "Property(S): WIX_DOWNGRADE_DETECTED = $newer_code" &&
      return 0
    sleep 0.1
  done
  return 1
}
expect "the refusal is for the newer package it finds" refused_for_newer
expect "the newer package stays installed after the refusal" newer_installed

expect "msiexec /x {ProductCode} exits 0" msiexec 0 uninstall /x "$newer_code"
echo "# uninstall: $took s"
stop_wine  # the registry reaches its files when the server ends
(cd "$prefix/drive_c" && find .) > "$folder/after.files"
# In a prefix of its own nothing else registers with Windows Installer: any
# product, feature or component key under its folders (packed GUIDs) is ours.
ours="Keldo|${code//[\{\}]/}|${newer_code//[\{\}]/}|\\\\Installer\\\\.*[0-9A-F]{32}"
expect "the removal leaves no file or folder of ours" \
  bash -c '! grep -iE "$1" "$2"' _ "$ours" "$folder/after.files"
expect "the removal leaves no registry key or value of ours" \
  bash -c '! grep -aiE "$1" "$2/system.reg" "$2/user.reg"' _ "$ours" "$prefix"
echo "# Wine checks: $((SECONDS - started)) s"
((failed == 0))
