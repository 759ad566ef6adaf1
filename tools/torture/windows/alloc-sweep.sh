#!/usr/bin/env bash
# The window program under Wine with one allocation failing at a time
# (alloc_sweep.cpp): its test build, in place of the program, over the
# ordinary sample installation, the stand-in website on a free port reached
# through the user's proxy (the suite's own website port may be taken by a
# suite running beside this one).
#   tools/torture/windows/alloc-sweep.sh <windows build folder> <keldo-standin-website> [<start-up points> <run points> [<N>...]]
# Points: how many allocations of the start-up (0: every one) and of the
# places of the rest (0: every place, "every": every allocation) to fail,
# spread evenly; or the allocations N alone. The test command takes every
# allocation of the start-up and 50 places. Prints one line per start, and
# closes with "N passed, N failed"; the exit status is 0 only when every
# start passed. The log is left in <windows build folder>/wine-alloc-sweep/.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../../tests/wine" && pwd)
session=wine-alloc-sweep usage_more=' [<start-up points> <run points> [<N>...]]'
# shellcheck source=/dev/null
source "$here/lib/session.sh"
startup_points=${3:-0} run_points=${4:-50}
fail_new=$build/tests/wine/fail-new/CheckKeldoSupport.exe
sweep=$build/tests/wine/keldo_alloc_sweep.exe
for file in "$fail_new" "$sweep"; do
  [[ -f $file ]] || die "missing $file: build the windows preset with its tests first"
done

prefix=$work/sweep log=$out/logs/sweep.txt status=0
clone_prefix "$base" "$prefix"
current_prefix=$prefix
lay_out ordinary "$prefix"
# A hard link of the base prefix's copy: replaced, not written through.
rm -f "$prefix/drive_c/CheckKeldo/CheckKeldoSupport.exe"
cp "$fail_new" "$prefix/drive_c/CheckKeldo/CheckKeldoSupport.exe"
# A crash must end the program, not wait behind Wine's crash dialog.
WINEPREFIX=$prefix timeout 120 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
  /t REG_DWORD /d 0 /f >>"$wine_steps_log" 2>&1
start_standin 0 "$work/pki/server.pem" "$work/pki/server.key"
site_pid=$started_pid
proxy_log=$work/proxy.log
start_proxy tunnel "$proxy_log" "127.0.0.1:$started_port"
connection_settings "$prefix" 3 "127.0.0.1:$proxy_port" '' ''
stop_wineserver "$prefix"
# What no start may change: the installation's files (but a temp_vers.dat
# that a failed read leaves for the next run) and its settings and mappings,
# which reach user.reg once the prefix's server has ended.
untouched() {
  (cd "$prefix/drive_${sample[database_drive],,}" && find . -type f ! -name temp_vers.dat -exec sha256sum {} + | sort)
  awk '/^\[/ { keep = /Keldo6|^\[Network/ } keep' "$prefix/user.reg"
}
untouched > "$work/untouched.before"
began=$SECONDS
# Wine's heap warns of a block freed twice or a pointer that is no block.
WINEDEBUG=-all,warn+heap WINEPREFIX=$prefix timeout 900 wine "$sweep" 'C:\CheckKeldo\CheckKeldoSupport.exe' \
  'C:\CheckKeldo\new-count.txt' "$startup_points" "$run_points" "${@:5}" 2>"$out/logs/sweep.err" |
  tr -d '\r' > "$log" || status=${PIPESTATUS[0]}
echo "# the sweep's starts took $((SECONDS - began)) s"
stop_site; stop_proxy; stop_wineserver "$prefix"; current_prefix=''
untouched > "$work/untouched.after"
cat "$log"
grep -E '^(ok|not ok) ' "$log" >> "$results" || true
[[ $status == 0 || $status == 1 ]] || record 1 "the sweep ended with status $status"
diff "$work/untouched.before" "$work/untouched.after" > "$out/logs/untouched.diff" || true
expect "the installation's files, settings and mappings are as they were (logs/untouched.diff)" \
  test ! -s "$out/logs/untouched.diff"
expect "Wine's heap warned of no bad free" bash -c "! grep ':heap:' '$out/logs/sweep.err'"
finish "Allocation sweep"
