# The window at 100 %, 150 % and 200 %: one clone laid out as the ordinary
# installation, reused for every scale. Wine reads the DWORD LogPixels under
# HKCU\Control Panel\Desktop in each new process, so a scale costs one
# registry write and one program start, not a prefix or a server restart.
# The driver's scale-<dpi> scenarios (driver/scenarios.cpp) say what a user
# must see; they change the settings for their second run and put the
# ordinary ones back before they end.
# Needs what run-wine-suite.sh defines: $work, $out, $driver, $base, record,
# start_site, stop_site, watch_shots, stop_watcher, the prefix helpers, and
# scale_dpis, the DPIs of the driver's scale-<dpi> scenarios.

set_dpi() {  # prefix dpi
  wine_in "$1" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$2" /f >/dev/null
}

run_scales() {
  local prefix=$work/scales dpi scenario log status attempt began=$SECONDS
  clone_prefix "$base" "$prefix"
  current_prefix=$prefix
  lay_out ordinary "$prefix"
  # Drive types are read when Wine starts its services: start afresh.
  stop_wineserver "$prefix"
  start_site
  mkdir -p "$work/shots"
  watch_shots "$work/shots" & watcher_pid=$!
  for dpi in "${scale_dpis[@]}"; do
    scenario=scale-$dpi log=$out/logs/$scenario.txt
    echo "# scenario $scenario"
    set_dpi "$prefix" "$dpi"
    for attempt in 1 2; do
      status=0
      drive_window "$scenario" "$prefix" "$log" || status=$?
      retry_unseen_window "$scenario" "$status" "$attempt" && continue
      break
    done
    take_driver_log "$scenario" "$log" "$status"
  done
  stop_watcher; stop_site; stop_wineserver "$prefix"; current_prefix=''
  rm -rf "$prefix"
  echo "# scales: $((SECONDS - began)) s"
}

# From the X server's pictures: one screenshot per scale, and the title as
# drawn on the window equal, pixel for pixel, to the title alone.
check_scale_pictures() {
  local dpi differ
  for dpi in "${scale_dpis[@]}"; do
    expect "screenshot window-$dpi.png saved" test -s "$out/window-$dpi.png"
    [[ -s $out/title-$dpi.png && -s $out/title-$dpi-reference.png ]] || {
      record 1 "the title at $dpi DPI: no pictures to compare"
      continue
    }
    differ=$(compare -metric AE "$out/title-$dpi.png" "$out/title-$dpi-reference.png" null: 2>&1 ||
               true)
    expect "the title at $dpi DPI is drawn whole, nothing over it ($differ pixels differ)" \
      test "$differ" = 0
  done
}
