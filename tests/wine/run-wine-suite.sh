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

die() { echo "run-wine-suite: $*" >&2; exit 2; }
(($# >= 2)) || { echo "usage: run-wine-suite.sh <windows build folder> <keldo-standin-website> [scenario...]" >&2; exit 64; }
build=$(cd "$1" && pwd) || die "no build folder $1"
standin=$(realpath "$2")
program=$build/src/platform/windows/CheckKeldoSupport.exe
driver=$build/tests/wine/keldo_window_driver.exe
trust_helper=$build/tests/wine/keldo_trust_test_ca.exe
platform_tests=$build/tests/wine/keldo_wine_platform_tests.exe
net_stub=$build/tests/windows/system32/net.exe
planted_net=$build/tests/windows/planted/net.exe
for file in "$program" "$driver" "$trust_helper" "$platform_tests" "$net_stub" "$planted_net" "$standin"; do
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
unset WINEPREFIX
mkdir -p "$HOME"

xvfb_pid='' site_pid='' untrusted_pid='' watcher_pid='' current_prefix=''
stop_site() {
  if [[ -n $site_pid ]]; then kill "$site_pid" 2>/dev/null || true; wait "$site_pid" 2>/dev/null || true; fi
  site_pid=''
}
stop_watcher() {
  if [[ -n $watcher_pid ]]; then kill "$watcher_pid" 2>/dev/null || true; wait "$watcher_pid" 2>/dev/null || true; fi
  watcher_pid=''
}
cleanup() {
  stop_watcher; stop_site
  if [[ -n $untrusted_pid ]]; then kill "$untrusted_pid" 2>/dev/null || true; wait "$untrusted_pid" 2>/dev/null || true; fi
  [[ -z $current_prefix ]] || stop_wineserver "$current_prefix"
  if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

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

# Starts a stand-in website and waits (bounded) until it listens; sets
# $started_pid and $started_port.
start_standin() {  # port cert key
  local listening=$work/standin-$1.out
  "$standin" --files "$work/website" --port "$1" --cert "$2" --key "$3" --lifetime 600 \
    > "$listening" 2>>"$work/standin.err" &
  started_pid=$!
  for _ in $(seq 100); do
    started_port=$(sed -n 's/^port=//p' "$listening")
    [[ -n $started_port ]] && return 0
    kill -0 "$started_pid" 2>/dev/null || break
    sleep 0.05
  done
  die "the stand-in website did not start on port $1: $(cat "$work/standin.err")"
}
start_site() {
  start_standin "$port" "$work/pki/server.pem" "$work/pki/server.key"
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
printf 'v6.3.221 14/04/2025\r\nv6.3.100 01/01/2020\r\n' > "$work/website/keldo63version.dat"
base=$work/base
current_prefix=$base
make_base_prefix "$base" "$work/pki/ca.der"
current_prefix=''

run_scenario() {
  local scenario=$1 prefix=$work/s-$1 log=$out/logs/$1.txt attempt status
  for attempt in 1 2; do
    rm -rf "$prefix"
    clone_prefix "$base" "$prefix"
    current_prefix=$prefix
    lay_out "$scenario" "$prefix"
    # Drive types are read when Wine starts its services: start afresh.
    stop_wineserver "$prefix"
    if website_up "$scenario"; then start_site; fi
    mkdir -p "$work/shots"
    watch_shots "$work/shots" & watcher_pid=$!
    status=0
    KELDO_NET_LOG='C:\CheckKeldo\net-calls.log' WINEPREFIX=$prefix timeout 300 \
      wine "$driver" "$scenario" 'C:\CheckKeldo\CheckKeldoSupport.exe' "$(winpath "$work/shots")" \
      2>"$out/logs/$scenario.err" | tr -d '\r' > "$log" || status=${PIPESTATUS[0]}
    stop_watcher; stop_site; stop_wineserver "$prefix"; current_prefix=''
    # Only a start that never showed the program's window may be retried.
    if [[ $status == 75 && $attempt == 1 ]]; then
      echo "# $scenario: the program's window did not appear; starting once more"
      continue
    fi
    break
  done
  cat "$log"
  grep -E '^(ok|not ok) ' "$log" >> "$results" || true
  if [[ $status != 0 && $status != 1 ]]; then
    record 1 "$scenario: the driver ended with status $status ($(tail -n 3 "$out/logs/$scenario.err" | tr '\n' ' '))"
  fi
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
    KELDO_TEST_DRIVES=1 WINEPREFIX=$prefix timeout 300 wine "$platform_tests" 2>&1 |
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

scenarios=("${@:3}")
((${#scenarios[@]})) || scenarios=(ordinary network-drive no-drive website-down unreadable-answer
                                   empty-latest-progs folder-not-creatable start-twice exit close-box)
for scenario in "${scenarios[@]}"; do
  echo "# scenario $scenario"
  run_scenario "$scenario"
done

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
if [[ -s $out/before-start.png && -s $out/after-run.png ]]; then
  changed=$(compare -metric AE "$out/before-start.png" "$out/after-run.png" null: 2>&1 || true)
  expect "the findings are painted on the window ($changed pixels changed)" test "${changed:-0}" -gt 0 2>/dev/null
fi

passed=$(grep -c '^ok ' "$results" || true)
failed=$(grep -c '^not ok ' "$results" || true)
echo "# Wine suite: $((SECONDS - started)) s; screenshots and logs in $out"
echo "$passed passed, $failed failed"
((failed == 0))
