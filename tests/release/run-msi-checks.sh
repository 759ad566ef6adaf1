#!/usr/bin/env bash
# The Windows Installer package under Wine, all silent (/qn), in one private
# prefix made once: the package installs without the console report
# (ADDLOCAL), with its files, Start-menu shortcut and Programs and Features
# entry, and the installed window program shows its window; a package of a
# higher version replaces it in place, the report added; the older one is
# then refused; the removal leaves no file, folder, shortcut or key of ours.
#
#   tests/release/run-msi-checks.sh <package.msi> <newer package.msi> <folder>
#
# The prefix (removed at the end) and the logs (wineboot's, msiexec's) go
# to <folder>. Prints one
# "ok"/"not ok" line per check; the exit status is 0 only when all passed.
set -euo pipefail
(($# == 3)) || { sed -n '9p' "$0" | sed 's/^# *//' >&2; exit 64; }
older=$(realpath "$1") newer=$(realpath "$2") folder=$(mkdir -p "$3" && realpath "$3")
prefix=$folder/prefix failed=0 xvfb_pid=''
# No Mono or Gecko installers, and no copies of the shortcut in the host's menus.
export WINEPREFIX=$prefix HOME=$folder/home WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
unset http_proxy
stop_wine() { /usr/bin/wineserver -k 2>/dev/null || true; timeout 30 /usr/bin/wineserver -w || true; }
trap 'stop_wine; [[ -z $xvfb_pid ]] || kill "$xvfb_pid"; rm -rf "$prefix"' EXIT
record() {  # status text
  if [[ $1 == 0 ]]; then echo "ok - $2"; else echo "not ok - $2"; failed=$((failed + 1)); fi
}
expect() { local text=$1; shift; if "$@"; then record 0 "$text"; else record 1 "$text"; fi; }
winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }
property() { /usr/bin/msiinfo export "$1" Property | tr -d '\r' | sed -n "s/^$2\t//p"; }
make_prefix() {
  rm -rf "$prefix" "$HOME"; mkdir -p "$HOME"
  timeout 180 /usr/bin/wineboot -i > "$folder/wineboot.log" 2>&1 || { echo "wineboot failed: $(tail -n 5 "$folder/wineboot.log")" >&2; exit 2; }
  stop_wine
}
msiexec() {  # expected-status log-name argument...: its time in $took
  local want=$1 log=$2 status=0 started=${EPOCHREALTIME/./}; shift 2
  timeout 300 /usr/bin/wine msiexec "$@" /qn /l*v "$(winpath "$folder/$log.log")" || status=$?
  took=$(((${EPOCHREALTIME/./} - started) / 10000)); took=$((took / 100)).$(printf '%02d' $((took % 100)))
  [[ $status == "$want" ]] || { echo "# msiexec $*: status $status, not $want" >&2; return 1; }
}
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
entries() { /usr/bin/wine reg query "$uninstall_key" /s | tr -d '\r' > "$folder/entries.txt"; }
our_entries() { grep -c '^    DisplayName    REG_SZ    Check Keldo Support$' "$folder/entries.txt" || true; }
entry_has() {  # product-code name value
  sed -n "/^HKEY.*\\\\$1\$/,/^\$/p" "$folder/entries.txt" | grep -qx "    $2    REG_[A-Z]*    $3"
}

code=$(property "$older" ProductCode) newer_code=$(property "$newer" ProductCode)
installed="$prefix/drive_c/Program Files/$(property "$older" Manufacturer)/Check Keldo Support"
menus=("$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
       "$prefix/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs")
started=$SECONDS
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
window_shown() {
  for _ in $(seq 300); do
    /usr/bin/xwininfo -root -tree 2>/dev/null | grep -qF '"Check Keldo Support"' && return 0
    sleep 0.1
  done
  return 1
}
expect "the installed window program starts and shows its window" window_shown
stop_wine

expect "a newer package upgrades in place (ADDLOCAL=ALL adds the report), exit 0" \
  msiexec 0 upgrade /i "$(winpath "$newer")" ADDLOCAL=ALL
echo "# upgrade: $took s"
entries
expect "after the upgrade one entry, of the newer version" \
  bash -c '[[ $1 == 1 ]]' _ "$(our_entries)"
expect "after the upgrade the entry is the newer version's" \
  entry_has "$newer_code" DisplayVersion "$(property "$newer" ProductVersion)"
expect "after the upgrade both programs are installed" \
  test -f "$installed/CheckKeldoSupport.exe" -a -f "$installed/keldo-check-report.exe"
# Wine's exit status holds the low byte of Windows' 1603 (a fatal error): 67.
refused() {
  msiexec 67 downgrade /i "$(winpath "$older")" &&
    tr -d '\0' < "$folder/downgrade.log" | grep -qxF "Property(S): WIX_DOWNGRADE_DETECTED = $newer_code"
}
expect "the older package is then refused (1603): the newer one is found installed" refused
entries
expect "the refusal leaves the newer version installed" \
  entry_has "$newer_code" DisplayVersion "$(property "$newer" ProductVersion)"

expect "msiexec /x {ProductCode} exits 0" msiexec 0 uninstall /x "$newer_code"
echo "# uninstall: $took s"
stop_wine  # the registry reaches its files when the server ends
(cd "$prefix/drive_c" && find .) > "$folder/after.files"
codes=$( { for package in "$older" "$newer"; do
  property "$package" ProductCode; property "$package" UpgradeCode
  /usr/bin/msiinfo export "$package" Component | tr -d '\r' | cut -f2 | grep '^{'; done; } | sort -u)
packed() {  # {GUID}: as Windows Installer writes it in its own keys
  local g=${1//[\{\}-]/} i
  printf '%s%s%s' "$(rev <<< "${g:0:8}")" "$(rev <<< "${g:8:4}")" "$(rev <<< "${g:12:4}")"
  for ((i = 16; i < 32; i += 2)); do printf '%s' "${g:i+1:1}${g:i:1}"; done
  echo
}
patterns=$( { echo Keldo; for c in $codes; do echo "${c//[\{\}]/}"; packed "$c"; done; } )
expect "the removal leaves no file or folder naming us or one of our codes" \
  bash -c '! grep -iF -f <(printf "%s\n" "$1") "$2"' _ "$patterns" "$folder/after.files"
expect "the removal leaves no registry key or value naming us or one of our codes" \
  bash -c '! grep -aiF -f <(printf "%s\n" "$1") "$2/system.reg" "$2/user.reg"' _ "$patterns" "$prefix"
echo "# Wine checks: $((SECONDS - started)) s"
((failed == 0))
