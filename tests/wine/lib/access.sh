# The window as a screen reader and a high-contrast user meet it, the
# "access" scenario of run-wine-suite.sh: keldo_access_probe.exe
# (access_probe.cpp) in a clone with the ordinary installation, once for the
# live-region events and what a point finds, once with a high-contrast
# scheme in the prefix's colours and the program's test seam, whose pictures
# are checked here. Needs the suite's own functions (watch_shots, ...).
access_probe=$build/tests/wine/keldo_access_probe.exe

# Pixels of one colour (#RRGGBB) in a picture.
pixels_of() { convert "$1" -alpha off txt:- | grep -c " $2 " || true; }

# Black window, yellow window text, and button colours of their own, so
# that a label in the button colours would show.
high_contrast_colours() {  # prefix
  local key='HKCU\Control Panel\Colors' name value
  for name in Window:'0 0 0' WindowText:'255 255 0' ButtonFace:'0 0 128' ButtonText:'255 255 255'; do
    value=${name#*:}
    wine_step "$1" "$wine_steps_log" "colour ${name%%:*}" wine reg add "$key" /v "${name%%:*}" /t REG_SZ /d "$value" /f
  done
}

run_access() {
  local prefix=$work/s-access mode log shot status
  [[ -f $access_probe ]] || { record 1 "access: $access_probe is built"; return; }
  for mode in events contrast; do
    log=$out/logs/access-$mode.txt
    clone_prefix "$base" "$prefix"; current_prefix=$prefix
    lay_out ordinary "$prefix"
    [[ $mode == events ]] || high_contrast_colours "$prefix"
    stop_wineserver "$prefix"
    start_site
    mkdir -p "$work/shots"; watch_shots "$work/shots" & watcher_pid=$!
    status=0
    WINEPREFIX=$prefix timeout 300 wine "$access_probe" "$mode" 'C:\CheckKeldo\CheckKeldoSupport.exe' \
      "$(winpath "$work/shots")" 2>"$out/logs/access-$mode.err" | tr -d '\r' > "$log" || status=$?
    stop_watcher; stop_site; stop_wineserver "$prefix"; current_prefix=''
    take_driver_log "access-$mode" "$log" "$status"
    rm -rf "$prefix"
  done
  for shot in "$out"/contrast-*.png; do
    [[ -e $shot ]] || continue
    case $shot in
      *-label-*) expect "$(basename "$shot" .png): yellow text on black" \
        test "$(pixels_of "$shot" '#FFFF00')" -gt 0 -a "$(pixels_of "$shot" '#000000')" -gt 0 \
        -a "$(pixels_of "$shot" '#000080')" = 0 ;;
      *-high.png) expect "$(basename "$shot" .png): no pixel of RGB(224,255,224)" \
        test "$(pixels_of "$shot" '#E0FFE0')" = 0 ;;
      *-standard.png) expect "$(basename "$shot" .png): the light green is back" \
        test "$(pixels_of "$shot" '#E0FFE0')" -gt 0 ;;
    esac
  done
}
