#!/usr/bin/env bash
# What the wait for the re-mapping commands costs a run, against a real SMB
# server on loopback (scripts/lib/smb_rig.sh; as root, port 445 free): whole
# runs of the console report, its website refused at once, so that the
# database stage is what differs. Prints the medians of
#   - K: already mounted (found in the first pass), and K: remembered but not
#     mounted (re-mapped by `gio mount`, found in the second pass);
#   - nothing remembered (not found, nothing awaited), and only a server that
#     accepts and never answers remembered (not found after its command ends).
# Not part of the test run.
#   bench/smb-reconnect.sh [runs, default 11] [dead-server runs, default 3]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/smb_rig.sh
runs=${1:-11}
dead_runs=${2:-3}
if needs=$(smb_rig_missing); then
  echo "bench: needs $(echo "$needs" | paste -sd, - | sed 's/,/, /g')" >&2
  exit 1
fi
build=build/linux
cmake --build --preset linux --target keldo-check-report-at > /dev/null
report=$PWD/$build/tests/keldo-check-report-at

work=$(mktemp -d /tmp/keldo-bench-smb.XXXXXX)
trap 'smb_rig_stop; rm -rf "$work"' EXIT
smb_rig_start "$work/rig"
smb_prefix "$work/remembered" 'K=\\127.0.0.1\keldo'
smb_prefix "$work/dead" 'H=\\127.0.0.2\dead'
smb_prefix "$work/nothing"

# RUNS runs of the report over PREFIX, each in a session of its own (gvfs
# would mount a share again on the first look into its folder once it has
# been mounted in the session), each in ms on its own line; with "mounted"
# K: is mounted before the run.
timed_runs() {  # prefix runs mounted|not-mounted
  local _
  for _ in $(seq "$2"); do
    smb_session env PREFIX="$1" STATE="$3" REPORT="$report" bash -c '
      [[ $STATE != mounted ]] || gio mount smb://127.0.0.1/keldo < /dev/null > /dev/null 2>&1
      began=${EPOCHREALTIME/./}
      WINEPREFIX=$PREFIX timeout 120 "$REPORT" https://localhost:1 > /dev/null 2>&1 || true
      echo $(((${EPOCHREALTIME/./} - began) / 1000))' 2> /dev/null
  done
}
median() { grep -E '^[0-9]+$' | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

echo "Timing $runs runs each (dead server: $dead_runs) ..."
at_once=$(timed_runs "$work/remembered" "$runs" mounted | median)
comes_back=$(timed_runs "$work/remembered" "$runs" not-mounted | median)
nothing=$(timed_runs "$work/nothing" "$runs" not-mounted | median)
dead=$(timed_runs "$work/dead" "$dead_runs" not-mounted | median)
printf '%-62s %8s ms\n' \
  "K: already mounted, found in the first pass, median" "$at_once" \
  "K: remembered, re-mapped and found in the same run, median" "$comes_back" \
  "  added by the re-mapping and its wait" "$((comes_back - at_once))" \
  "nothing remembered, not found, median" "$nothing" \
  "only a server that never answers remembered, median" "$dead" \
  "  added by the wait for its command" "$((dead - nothing))"
