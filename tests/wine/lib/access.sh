# The "access" scenario of run-wine-suite.sh: keldo_access_probe.exe
# (access_probe.cpp) over the ordinary installation with a high-contrast
# scheme in the prefix's colours: yellow window text on black, white button
# text, so that only labels in the window's colours draw yellow.
pixels_of() { convert "$1" -alpha off txt:- | grep -c " $2 " || true; }  # picture #RRGGBB

run_access() {
  local prefix=$work/s-access colour shot status=0
  clone_prefix "$base" "$prefix"; current_prefix=$prefix
  lay_out ordinary "$prefix"
  for colour in 'Window:0 0 0' 'WindowText:255 255 0' 'ButtonFace:0 0 0' 'ButtonText:255 255 255'; do
    reg_add "$prefix" 'HKCU\Control Panel\Colors' "${colour%%:*}" "${colour#*:}"
  done
  stop_wineserver "$prefix"; start_site; mkdir -p "$work/shots"; watch_shots "$work/shots" & watcher_pid=$!
  WINEPREFIX=$prefix timeout 300 wine "$build/tests/wine/keldo_access_probe.exe" 'C:\CheckKeldo\CheckKeldoSupport.exe' \
    "$(winpath "$work/shots")" 2>"$out/logs/access.err" | tr -d '\r' > "$out/logs/access.txt" || status=$?
  stop_watcher; stop_site; stop_wineserver "$prefix"; current_prefix=''; rm -rf "$prefix"
  take_driver_log access "$out/logs/access.txt" "$status"
  for shot in "$out"/contrast-*-high.png; do
    expect "${shot##*/}: yellow labels, no RGB(224,255,224)" test "$(pixels_of "$shot" '#FFFF00')" -gt 0 \
      -a "$(pixels_of "$shot" '#E0FFE0')" = 0
  done
  for shot in "$out"/contrast-*-standard.png; do
    expect "${shot##*/}: the light green is back" test "$(pixels_of "$shot" '#E0FFE0')" -gt 0
  done
}
