#!/usr/bin/env bash
# The Wine suite: the Windows program, for real, under Wine and Xvfb, in
# throw-away prefixes under one temporary folder (lib/session.sh).
#   tests/wine/run-wine-suite.sh <windows build folder> <keldo-standin-website> [scenario...]
# The build must have been configured with KELDO_WEBSITE=https://localhost:<port>
# (the stand-in website is started on that port) and built with its tests.
# Prints one line per check and closes with "N passed, N failed"; the exit
# status is 0 only when every check passed. Screenshots and logs are left in
# <windows build folder>/wine-suite/. The platform layer's own tests under
# Wine are run-platform-tests.sh; ctest -L wine runs both.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
session=wine-suite usage_more=' [scenario...]'
# shellcheck source=/dev/null
source "$here/lib/session.sh"
# shellcheck source=/dev/null
source "$here/lib/scales.sh"
# shellcheck source=/dev/null
source "$here/lib/access.sh"

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
  if [[ $scenario == access ]]; then run_access; return; fi
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
        test "$(grep -c "^TUNNEL open localhost:$port" "$proxy_log")" -ge 1 ;;
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

# The scenarios are the driver's (driver/scenarios.cpp), in its order; its
# scale-<dpi> ones run together, in one prefix, as "scales" (lib/scales.sh).
clone_prefix "$base" "$work/list"
mapfile -t known < <(wine_in "$work/list" "$driver" --list | tr -d '\r')
stop_wineserver "$work/list"; rm -rf "$work/list"
((${#known[@]})) || die "the driver named no scenarios"
scale_dpis=() all=()
for scenario in "${known[@]}"; do
  if [[ $scenario == scale-* ]]; then scale_dpis+=("${scenario#scale-}"); else all+=("$scenario"); fi
done
((${#scale_dpis[@]} == 0)) || all+=(scales)
all+=(access)
scenarios=("${@:3}")
((${#scenarios[@]})) || scenarios=("${all[@]}")
for scenario in "${scenarios[@]}"; do
  [[ " ${all[*]} " == *" $scenario "* ]] || die "no scenario $scenario; the driver's are: ${all[*]}"
done
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

finish "Wine suite"
