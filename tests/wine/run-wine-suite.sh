#!/usr/bin/env bash
# The Wine suite: the Windows program and its platform layer, for real, under
# Wine and Xvfb, in throw-away prefixes under one temporary folder.
#   tests/wine/run-wine-suite.sh <windows build folder> <keldo-standin-website> [scenario...]
# The build must have been configured with KELDO_WEBSITE=https://localhost:<port>
# (the stand-in website is started on that port) and built with its tests.
# Prints one line per check and closes with "N passed, N failed"; the exit
# status is 0 only when every check passed. Screenshots and logs are left in
# <windows build folder>/wine-suite/.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=/dev/null
source "$here/lib/prefix.sh"; source "$here/lib/pki.sh"; source "$here/lib/layouts.sh"
# shellcheck source=/dev/null
source "$here/lib/scales.sh"
source "$here/lib/proxy.sh"
connect_proxy=$here/../../tools/connect-proxy/connect_proxy.py

die() { echo "run-wine-suite: $*" >&2; exit 2; }
(($# >= 2)) || { echo "usage: run-wine-suite.sh <windows build folder> <keldo-standin-website> [scenario...]" >&2; exit 64; }
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
out=$build/wine-suite
rm -rf "$out"; mkdir -p "$out/logs"
work=$(mktemp -d "${TMPDIR:-/tmp}/keldo-wine-suite.XXXXXX")
results=$work/results.txt
: > "$results"
# Wine gets a home of its own, no Mono or Gecko installers, and silence.
export HOME=$work/home WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
# Wine's WinHTTP takes $http_proxy for the machine's proxy: only the
# proxies the suite sets up may count.
unset http_proxy
unset WINEPREFIX
mkdir -p "$HOME"

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
# A step of the suite itself that fails stops it; say which, never silently.
set -E
trap 'echo "# a step of the suite failed: line $LINENO: $BASH_COMMAND (status $?)" >&2' ERR

record() {  # passed(0/1) text
  if [[ $1 == 0 ]]; then echo "ok - $2"; else echo "not ok - $2"; fi | tee -a "$results"
}
expect() {  # text command...: one check of the suite itself
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

# The driver asks for a picture by writing shot-request.txt; the X server's
# picture is taken here and the request removed.
watch_shots() {  # folder
  local request=$1/shot-request.txt name x y w h
  while :; do
    if [[ -f $request ]]; then
      read -r name x y w h < "$request" || true
      import -display "$DISPLAY" -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/$name.png" \
        2>>"$work/import.log" || true
      rm -f "$request"
    fi
    sleep 0.05
  done
}

echo "# test PKI, base prefix"
make_test_pki "$work/pki"
mkdir -p "$work/website"
printf '%s\r\n' "${sample[website_version_line]}" > "$work/website/keldo63version.dat"
base=$work/base
current_prefix=$base
make_base_prefix "$base" "$work/pki/ca.der"
current_prefix=''

# A slow drive: file look-ups that Wine makes for the program, held for a
# while (slow_stat.c), preloaded into the Wine processes of a scenario.
slow_stat=$work/slow_stat.so
cc -shared -fPIC -O2 -o "$slow_stat" "$here/slow_stat.c" -ldl || die "cannot build slow_stat.c"

# Runs the window driver on one scenario in `prefix`, its lines to `log`;
# returns the driver's status (75: the program's window never appeared).
drive_window() {  # scenario prefix log
  local slow preload=()
  slow=$(slow_path "$1")
  [[ -z $slow ]] || preload=(LD_PRELOAD="$slow_stat" KELDO_SLOW_PATH="$slow" KELDO_SLOW_MS=3000)
  # shellcheck disable=SC2046 # one word per setting
  env "${preload[@]}" $(net_stub_env "$1" "$2") KELDO_NET_LOG='C:\CheckKeldo\net-calls.log' \
    WINEPREFIX=$2 timeout 300 \
    wine "$driver" "$1" 'C:\CheckKeldo\CheckKeldoSupport.exe' "$(winpath "$work/shots")" \
    2>"$out/logs/$1.err" | tr -d '\r' > "$3"
  return "${PIPESTATUS[0]}"
}

# Shows the driver's lines, counts its checks, and records a driver that
# ended other than by passing or failing them.
take_driver_log() {  # scenario log status
  cat "$2"
  grep -E '^(ok|not ok) ' "$2" >> "$results" || true
  if [[ $3 != 0 && $3 != 1 ]]; then
    record 1 "$1: the driver ended with status $3 ($(tail -n 3 "$out/logs/$1.err" | tr '\n' ' '))"
  fi
}

# Only a start that never showed the program's window (status 75, which
# Wine may botch) is tried once more: true, and says so, for that attempt.
retry_unseen_window() {  # scenario status attempt
  [[ $2 == 75 && $3 == 1 ]] || return 1
  echo "# $1: the program's window did not appear; starting once more"
}

run_scenario() {
  local scenario=$1 prefix=$work/s-$1 log=$out/logs/$1.txt attempt status fault
  # Every scale in one prefix of its own (lib/scales.sh).
  if [[ $scenario == scales ]]; then run_scales; return; fi
  for attempt in 1 2; do
    rm -rf "$prefix"
    clone_prefix "$base" "$prefix"
    current_prefix=$prefix
    lay_out "$scenario" "$prefix"
    proxy_set_up "$scenario" "$prefix"
    # Drive types are read when Wine starts its services: start afresh.
    stop_wineserver "$prefix"
    : > "$work/website.log"
    fault=$(website_fault "$scenario")
    if website_up "$scenario"; then start_site ${fault:+--fault "$fault"}; fi
    mkdir -p "$work/shots"
    watch_shots "$work/shots" & watcher_pid=$!
    status=0
    drive_window "$scenario" "$prefix" "$log" || status=$?
    stop_watcher; stop_site; stop_proxy; stop_wineserver "$prefix"; current_prefix=''
    retry_unseen_window "$scenario" "$status" "$attempt" && continue
    break
  done
  take_driver_log "$scenario" "$log" "$status"
  proxy_checks "$scenario"
  website_checks "$scenario"
  rm -rf "$prefix"
}

# The platform layer's own tests that need this prefix set-up: the web
# component against both stand-in websites, and drives of every type.
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

# The user's proxy, for the window's scenarios and the console report: a
# tunnel leads to a website on a port of its own, so only a request that
# went through the tunnel can be answered. Wine's WinHTTP needs the proxy
# named 127.0.0.1: named localhost, it waited for ::1, where the proxy does
# not listen, until the time-out.
proxy_log=$work/proxy.log
proxy_set_up() {  # scenario prefix
  : > "$proxy_log"
  case $1 in
    proxy-tunnel | proxy-script)
      start_standin 0 "$work/pki/server.pem" "$work/pki/server.key"
      site_pid=$started_pid
      start_proxy tunnel "$proxy_log" "127.0.0.1:$started_port" ;;
    proxy-407) start_proxy 407 "$proxy_log" ;;
    proxy-407-negotiate) start_proxy 407-negotiate "$proxy_log" ;;
    proxy-intercept) start_proxy intercept "$proxy_log" ;;
    *) return 0 ;;
  esac
  if [[ $1 == proxy-script ]]; then
    connection_settings "$2" 5 '' '' "http://127.0.0.1:$proxy_port/proxy.pac"
  else
    connection_settings "$2" 3 "127.0.0.1:$proxy_port" '*.intranet.example' ''
  fi
}
proxy_checks() {  # scenario
  case $1 in
    proxy-tunnel | proxy-script)
      expect "$1: both requests went through the proxy's tunnel" \
        test "$(grep -c "^TUNNEL closed localhost:$port" "$proxy_log")" -ge 1 ;;
    proxy-407*) expect "$1: the proxy was asked, and refused" grep -q "^CONNECT localhost:$port 407" "$proxy_log" ;;
    proxy-intercept)
      expect "$1: the intercepting proxy's certificate was refused" grep -q '^INTERCEPT refused' "$proxy_log"
      expect "$1: no request was sent to the intercepting proxy" \
        bash -c "! grep -q '^INTERCEPT got a request' '$proxy_log'" ;;
  esac
  if [[ $1 == proxy-script ]]; then
    expect "$1: the configuration script was fetched" grep -q '^PAC GET /proxy.pac' "$proxy_log"
  fi
}

# A click on Start that arrived during a run started no second one: the
# website had one run's requests.
website_checks() {  # scenario
  local wanted had
  wanted=$(website_requests "$1")
  [[ -n $wanted ]] || return 0
  had=$(grep -cE '^(GET|POST) ' "$work/website.log" || true)
  cp "$work/website.log" "$out/logs/$1.website.log"
  expect "$1: the website had $wanted requests, one run's ($had)" test "$had" = "$wanted"
}

# The console report under Wine, --debug naming the proxy of each request.
# "endless": the user's proxy answers with a 407 whose body never ends, and
# the website itself is up, so that only a bounded, failed call passes.
run_report() {  # name settings(none|named|machine|endless) expected-web-version expected-route
  local prefix=$work/report-$1 json=$out/logs/report-$1.json began
  clone_prefix "$base" "$prefix"
  current_prefix=$prefix
  lay_out ordinary "$prefix"
  : > "$proxy_log"
  if [[ $2 == endless ]]; then
    start_site
    start_proxy 407-endless "$proxy_log"
    connection_settings "$prefix" 3 "127.0.0.1:$proxy_port" '' ''
  elif [[ $2 != none ]]; then
    start_standin 0 "$work/pki/server.pem" "$work/pki/server.key"
    site_pid=$started_pid
    start_proxy tunnel "$proxy_log" "127.0.0.1:$started_port"
    if [[ $2 == named ]]; then connection_settings "$prefix" 3 "127.0.0.1:$proxy_port" '' ''; fi
    if [[ $2 == machine ]]; then machine_proxy "$prefix" "127.0.0.1:$proxy_port" ''; fi
  else
    start_site
  fi
  stop_wineserver "$prefix"
  began=$SECONDS
  WINEPREFIX=$prefix timeout 120 wine "$report" --json --debug 2>"$out/logs/report-$1.err" |
    tr -d '\r' > "$json" || true
  echo "# report $1: ended after $((SECONDS - began)) s"
  if [[ $1 == direct ]]; then
    # Standard error a pipe, not a console: the findings, and no status line.
    WINEPREFIX=$prefix timeout 120 wine "$report" 2>&1 >"$out/logs/report-text.out" |
      cat > "$out/logs/report-text.err" || true
  fi
  local route=${4//PROXY/127.0.0.1:${proxy_port:-}}
  stop_site; stop_proxy; stop_wineserver "$prefix"; current_prefix=''
  expect "report $1: Version on website: $3" \
    /usr/bin/python3 -c 'import json,sys; r=json.load(open(sys.argv[1])); sys.exit(r["captions"]["lblWebVersion"] != "Version on website: " + sys.argv[2])' "$json" "$3"
  expect "report $1: --debug names the route of both requests: $route" \
    /usr/bin/python3 -c 'import json,sys; r=json.load(open(sys.argv[1])); n=[l for l in r["debug"] if l.startswith("Proxy for https://")]; sys.exit(len(n) != 2 or any(not l.endswith(": " + sys.argv[2]) for l in n))' "$json" "$route"
  if [[ $2 == endless ]]; then
    expect "report $1: the proxy was asked" grep -q "^CONNECT localhost:$port 407-endless" "$proxy_log"
  fi
  expect "report $1: the JSON is valid by docs/report.schema.json" \
    /usr/bin/python3 "$here/../../scripts/validate-report.py" "$here/../../docs/report.schema.json" "$json"
  if [[ $1 == direct ]]; then
    expect "report text: the findings, the website's line end not shown" \
      grep -qx "Website show your support expires:  ${sample[website_expiry]}"$'\r' "$out/logs/report-text.out"
    expect "report text: standard error a pipe gets no status line" \
      test ! -s "$out/logs/report-text.err"
  fi
  rm -rf "$prefix"
}

scenarios=("${@:3}")
((${#scenarios[@]})) || scenarios=(ordinary network-drive no-drive late-drive endless-net website-down unreadable-answer
                                   empty-latest-progs folder-not-creatable start-twice exit close-box
                                   proxy-tunnel proxy-script proxy-407 proxy-407-negotiate
                                   proxy-intercept website-stall slow-drive close-during-run
                                   scales)
for scenario in "${scenarios[@]}"; do
  echo "# scenario $scenario"
  run_scenario "$scenario"
done
echo "# the console report, direct and behind the user's proxy"
web_version=${sample[website_version_number]}
run_report direct none "$web_version" "direct (no proxy discovered)"
run_report proxy named "$web_version" "PROXY (the user's proxy server)"
run_report machine-proxy machine "$web_version" "PROXY (the machine's WinHTTP proxy)"
run_report proxy-endless-407 endless 0 "PROXY (the user's proxy server)"

# What the window draws, from the X server's own picture: the light-green
# background, and the findings painted by the run.
pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info: 2>/dev/null; }
ran() { [[ " ${scenarios[*]} " == *" $1 "* ]]; }
ran ordinary && for name in before-start after-run; do
  expect "screenshot $name.png saved" test -s "$out/$name.png"
done
ran no-drive && expect "screenshot message-box.png saved" test -s "$out/message-box.png"
if [[ -s $out/before-start.png ]]; then
  read -r width height < <(identify -format '%w %h\n' "$out/before-start.png")
  for at in "8 $((height - 10))" "$((width - 10)) $((height - 10))"; do
    colour=$(pixel "$out/before-start.png" $at)
    expect "window background at ${at/ /,} is RGB(224,255,224): $colour" test "$colour" = 'srgb(224,255,224)'
  done
fi
# Each control of each point size against the same caption drawn by the
# driver in Arial at that size (driver/font_reference.h).
for reference in "$out"/font-*-reference.png; do
  [[ -e $reference ]] || continue
  drawn=${reference%-reference.png}.png name=$(basename "$drawn" .png)
  differ=$(compare -metric AE "$drawn" "$reference" null: 2>&1 || true)
  expect "${name#font-} is drawn in its font: Arial, its point size, regular ($differ pixels differ)" \
    test "$differ" = 0
done
ran scales && check_scale_pictures
# Covered and uncovered while the website was silent, each label set by then
# is drawn as it is once the run is over.
for during in "$out"/stall-*.png; do
  [[ -e $during ]] || continue
  label=$(basename "$during" .png); label=${label#stall-}
  differ=$(compare -metric AE "$during" "$out/run-$label.png" null: 2>&1 || true)
  expect "website-stall: $label is drawn again after the window was uncovered mid-run ($differ pixels differ)" \
    test "$differ" = 0
done
if [[ -s $out/before-start.png && -s $out/after-run.png ]]; then
  changed=$(compare -metric AE "$out/before-start.png" "$out/after-run.png" null: 2>&1 || true)
  expect "the findings are painted on the window ($changed pixels changed)" test "${changed:-0}" -gt 0 2>/dev/null
fi

passed=$(grep -c '^ok ' "$results" || true)
failed=$(grep -c '^not ok ' "$results" || true)
echo "# Wine suite: $((SECONDS - started)) s; screenshots and logs in $out"
echo "$passed passed, $failed failed"
((failed == 0))
