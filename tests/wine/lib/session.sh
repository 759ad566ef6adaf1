# What the Wine suite (run-wine-suite.sh) and the Wine platform tests
# (run-platform-tests.sh) share, for real under Wine and Xvfb, in throw-away
# prefixes under one temporary folder removed at the end: the build's
# programs, one X server, a test PKI, the stand-in website on the build's
# port, one base prefix, and one "ok"/"not ok" line per check.
#   source lib/session.sh <windows build folder> <keldo-standin-website> ...
# Needs: $here (tests/wine), $session (the name of the logs' folder in the
# build) and $usage_more (the caller's further arguments, for its usage).
# shellcheck source=/dev/null
source "$here/lib/prefix.sh"; source "$here/lib/pki.sh"; source "$here/lib/layouts.sh"
# shellcheck source=/dev/null
source "$here/lib/proxy.sh"
connect_proxy=$here/../../tools/connect-proxy/connect_proxy.py

die() { echo "${0##*/}: $*" >&2; exit 2; }
(($# >= 2)) || { echo "usage: ${0##*/} <windows build folder> <keldo-standin-website>$usage_more" >&2; exit 64; }
build=$(cd "$1" && pwd) || die "no build folder $1"
standin=$(realpath "$2")
program=$build/src/window/CheckKeldoSupport.exe
driver=$build/tests/wine/keldo_window_driver.exe
trust_helper=$build/tests/wine/keldo_trust_test_ca.exe
platform_tests=$build/tests/wine/keldo_wine_platform_tests.exe
net_stub=$build/tests/windows/system32/net.exe
planted_net=$build/tests/windows/planted/net.exe
report=$build/src/report/keldo-check-report.exe
for file in "$program" "$driver" "$trust_helper" "$platform_tests" "$net_stub" "$planted_net" "$standin" "$report"; do
  [[ -f $file ]] || die "missing $file: build the windows preset with its tests first"
done
website=$(sed -n 's/^KELDO_WEBSITE:[A-Z]*=//p' "$build/CMakeCache.txt")
[[ $website =~ ^https://localhost:([0-9]+)$ ]] ||
  die "the program talks to '$website'; configure the build with -DKELDO_WEBSITE=https://localhost:<free port>"
port=${BASH_REMATCH[1]}

started=$SECONDS
out=$build/$session
rm -rf "$out"; mkdir -p "$out/logs"
# Every Wine file of the run lives in the build's own folder of them, beside
# the ready prefix the run's base prefix is cloned from (hard links need the
# same file system).
wine_root=$build/wine
mkdir -p "$wine_root" || die "cannot make $wine_root"
work=$(mktemp -d "$wine_root/$session.XXXXXX") || die "cannot make a folder in $wine_root"
results=$work/results.txt
: > "$results"
# Wine gets a home of its own, no Mono or Gecko installers, and silence.
wine_test_environment "$wine_root"
mkdir -p "$HOME"
wine_steps_log=$out/logs/wine-steps.log
# Wine's WinHTTP takes $http_proxy for the machine's proxy: only the
# proxies the scripts set up may count.
unset http_proxy

xvfb_pid='' site_pid='' untrusted_pid='' watcher_pid='' current_prefix='' proxy_pid=''
stop_site() {
  if [[ -n $site_pid ]]; then kill "$site_pid" 2>/dev/null || true; wait "$site_pid" 2>/dev/null || true; fi
  site_pid=''
}
stop_watcher() {
  if [[ -n $watcher_pid ]]; then kill "$watcher_pid" 2>/dev/null || true; wait "$watcher_pid" 2>/dev/null || true; fi
  watcher_pid=''
}
cleanup() {
  stop_watcher; stop_site; stop_proxy
  if [[ -n $untrusted_pid ]]; then kill "$untrusted_pid" 2>/dev/null || true; wait "$untrusted_pid" 2>/dev/null || true; fi
  [[ -z $current_prefix ]] || stop_wineserver "$current_prefix"
  if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
# A step of the script itself that fails stops it; say which, never silently.
set -E
trap 'echo "# a step of ${0##*/} failed: line $LINENO: $BASH_COMMAND (status $?)" >&2' ERR

record() {  # passed(0/1) text
  if [[ $1 == 0 ]]; then echo "ok - $2"; else echo "not ok - $2"; fi | tee -a "$results"
}
expect() {  # text command...: one check of the script itself
  local text=$1; shift
  if "$@"; then record 0 "$text"; else record 1 "$text"; fi
}

# One X server for the whole run, on a display number it picks itself.
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || die "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=:$(head -n1 "$work/display")

# Waits (bounded) until a child started in the background names its port
# in its first line, and prints it; fails when the child ends first.
await_port() {  # listening-file pid
  local found
  for _ in $(seq 100); do
    found=$(sed -n 's/^port=//p' "$1")
    if [[ -n $found ]]; then echo "$found"; return 0; fi
    kill -0 "$2" 2>/dev/null || break
    sleep 0.05
  done
  return 1
}

# Starts a stand-in website and waits (bounded) until it listens; sets
# $started_pid and $started_port.
start_standin() {  # port cert key [option...]
  local listening=$work/standin-$1.out
  : > "$listening"  # there before the child opens it, for await_port
  "$standin" --files "$work/website" --port "$1" --cert "$2" --key "$3" --lifetime 600 \
    --log "$work/website.log" "${@:4}" > "$listening" 2>>"$work/standin.err" &
  started_pid=$!
  started_port=$(await_port "$listening" "$started_pid") && return 0
  die "the stand-in website did not start on port $1: $(cat "$work/standin.err")"
}
start_site() {  # [option...]
  start_standin "$port" "$work/pki/server.pem" "$work/pki/server.key" "$@"
  site_pid=$started_pid
}

echo "# test PKI, base prefix"
make_test_pki "$work/pki"
mkdir -p "$work/website"
printf '%s\r\n' "${sample[website_version_line]}" > "$work/website/keldo63version.dat"
base=$work/base
current_prefix=$base
make_base_prefix "$base" "$work/pki/ca.der" || die "no base prefix (its steps' log: $wine_steps_log)"
current_prefix=''

# The closing lines: the time taken, where the logs are, and the count of
# checks; true only when every check passed.
finish() {  # title
  local passed failed
  passed=$(grep -c '^ok ' "$results" || true)
  failed=$(grep -c '^not ok ' "$results" || true)
  echo "# $1: $((SECONDS - started)) s; screenshots and logs in $out"
  echo "$passed passed, $failed failed"
  ((failed == 0))
}
