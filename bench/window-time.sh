#!/usr/bin/env bash
# Under Wine on a virtual display: the time from starting
# CheckKeldoSupport.exe to its window being mapped (median of N runs, with
# a warm wineserver, as on a desktop where Wine already runs), and the
# sizes of the .exe files. Skips (exit 1) when the Windows program or Wine
# is not there.   bench/window-time.sh [runs, default 10]
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=../scripts/lib/wine_prefix.sh
source scripts/lib/wine_prefix.sh
runs=${1:-10}
[[ -f src/window/CMakeLists.txt ]] || { echo "no Windows program in this tree"; exit 1; }
for tool in wine wineserver Xvfb xwininfo x86_64-w64-mingw32-g++; do
  command -v "$tool" > /dev/null || { echo "$tool is missing"; exit 1; }
done

echo
echo "Building the Windows program (windows preset) ..."
cmake --preset windows > /dev/null
cmake --build --preset windows -j 2 > /dev/null
exe=$(find "$PWD/build/windows" -name CheckKeldoSupport.exe -print -quit)
[[ -n $exe ]] || { echo "no CheckKeldoSupport.exe was built"; exit 1; }

work=$(mktemp -d /tmp/keldo-window.XXXXXX)
display=:$((90 + RANDOM % 9))
xvfb_pid=
app_pid=
cleanup() {
  [[ -n $app_pid ]] && kill "$app_pid" 2> /dev/null || true
  wine_stop_server "$work/ready"
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp 2> /dev/null &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 100); do xwininfo -root > /dev/null 2>&1 && break; sleep 0.1; done
echo "Making a Wine prefix (once) ..."
wine_test_environment "$work"
wine_ready_prefix "$work"
export WINEPREFIX=$work/ready
wineserver -p  # stays up between runs

# The window exists and is mapped (X lists windows that are not shown yet).
shown() {
  local id
  id=$(xwininfo -root -tree 2> /dev/null | awk '/"Check Keldo Support": \(/ {print $1; exit}')
  [[ -n $id ]] && xwininfo -id "$id" 2> /dev/null | grep -q 'IsViewable'
}
one_run() {
  local start end
  start=$(date +%s%N)
  wine "$exe" > /dev/null 2>&1 &
  app_pid=$!
  until shown; do
    kill -0 "$app_pid" 2> /dev/null || { echo "the program ended before showing its window" >&2; return 1; }
    sleep 0.002
  done
  end=$(date +%s%N)
  kill "$app_pid" 2> /dev/null || true
  wait "$app_pid" 2> /dev/null || true
  app_pid=
  for _ in $(seq 200); do shown || break; sleep 0.01; done
  echo $(((end - start) / 1000000))
}
one_run > /dev/null  # warm-up
times=()
for _ in $(seq "$runs"); do times+=("$(one_run)"); done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}')
echo "window shown under Wine, median of $runs: $median ms (runs: ${times[*]})"
for name in CheckKeldoSupport.exe keldo-check-report.exe; do
  find "$PWD/build/windows/src" -name "$name" -printf '%f\t%s bytes\n' -quit
done
