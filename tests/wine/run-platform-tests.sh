#!/usr/bin/env bash
# The Windows platform layer's tests that need the Wine suite's prefix set-up
# (lib/session.sh): the web component against both stand-in websites, the
# test CA trusted, and drives of every type. ctest runs them (label wine).
#   tests/wine/run-platform-tests.sh <windows build folder> <keldo-standin-website>
# The build must have been configured with KELDO_WEBSITE=https://localhost:<port>
# (the stand-in website is started on that port) and built with its tests.
# Prints one line per test and closes with "N passed, N failed"; the exit
# status is 0 only when every test passed. The log is left in
# <windows build folder>/wine-platform/logs/.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
session=wine-platform usage_more=''
# shellcheck source=/dev/null
source "$here/lib/session.sh"

run_platform_tests() {
  local prefix=$work/platform log=$out/logs/platform.txt status=0
  clone_prefix "$base" "$prefix"
  current_prefix=$prefix
  drive "$prefix" d hd
  drive "$prefix" e cdrom; database_on "$prefix" e
  drive "$prefix" f network; database_on "$prefix" f
  drive "$prefix" g floppy
  ln -s "$work/no-such-server" "$prefix/dosdevices/h:"
  reg_add "$prefix" 'HKLM\Software\Wine\Drives' h: network
  stop_wineserver "$prefix"
  start_site
  start_standin 0 "$work/pki/untrusted.pem" "$work/pki/untrusted.key"
  untrusted_pid=$started_pid
  KELDO_TEST_WEBSITE=$website KELDO_TEST_UNTRUSTED_WEBSITE=https://localhost:$started_port \
    KELDO_TEST_WEBSITE_LOG=$(winpath "$work/website.log") KELDO_TEST_DRIVES=1 WINEPREFIX=$prefix timeout 300 wine "$platform_tests" 2>&1 |
    tr -d '\r' > "$log" || status=${PIPESTATUS[0]}
  stop_site
  kill "$untrusted_pid" 2>/dev/null || true; wait "$untrusted_pid" 2>/dev/null || true; untrusted_pid=''
  stop_wineserver "$prefix"; current_prefix=''
  cat "$log"
  sed -n 's/^\[       OK \] \([^ ]*\).*/ok - platform: \1/p; s/^\[  FAILED  \] \([^ ]*\) (.*/not ok - platform: \1/p' "$log" |
    tee -a "$results"
  grep -q '^\[  PASSED  \]' "$log" || [[ $status != 0 ]] || record 1 "platform: the tests did not finish"
  [[ $status == 0 ]] || grep -q '^\[  FAILED  \]' "$log" || record 1 "platform: the tests ended with status $status"
  rm -rf "$prefix"
}
echo "# platform layer"
run_platform_tests
finish "Wine platform tests"
