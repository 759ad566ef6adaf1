#!/usr/bin/env bash
# A remembered network drive that is not connected, against a real SMB
# server on loopback: whole runs of the console report over a prefix whose
# drive letters are dosdevices links into the gvfs folder their shares get
# once mounted, so that until its `gio mount` has finished a letter leads
# nowhere. The report must wait for the commands it started (all together,
# at most the bound) before its second search, and never hang.
#   smb_reconnect_test.sh <keldo-check-report-at>
# Exit status 77 (skipped) where root, port 445 or a part of the rig is
# missing; scripts/install-deps.sh installs the parts.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=/dev/null
source "$here/../../scripts/lib/smb_rig.sh"
report=$(realpath "$1")
# The website is refused at once on loopback: only the database stage counts.
website=https://localhost:1
# A run is killed after this; the bound of the wait is 30 s.
hang_limit=120
found_k='Keldo Database on Drive: K'
not_found='Your Accounts database not found so cannot continue'

if needs=$(smb_rig_missing); then
  echo "SKIPPED: the real SMB cases need $(echo "$needs" | paste -sd, - | sed 's/,/, /g')"
  exit 77
fi

# The server that never answers closes each connection after this long:
# what the cases prove is that a dead server's command is awaited with the
# live one's and never holds the run, not how long gio takes to give up by
# itself (about 20 s; bench/smb-reconnect.sh measures that). A command that
# outlives the bound is the mapper's own test (gio_drive_mapper_test.cpp),
# and the Wine suite's endless-net scenario waits the whole bound.
smb_silent_hold=3
work=$(mktemp -d "${TMPDIR:-/tmp}/keldo-smb.XXXXXX")
cleanup() {
  smb_rig_stop
  rm -rf "$work"
}
trap cleanup EXIT
smb_rig_start "$work/rig"

failed=0
check() {  # text command...
  local text=$1
  shift
  if "$@"; then echo "ok - $case_name: $text"; else
    echo "not ok - $case_name: $text"
    failed=1
  fi
}

# One run of the report over a fresh prefix with the given remembered
# drives; sets status, elapsed (ms) and the JSON in $work/<case>.json.
run_case() {  # name L=\\server\share...
  case_name=$1
  shift
  local prefix=$work/prefix-$case_name
  smb_prefix "$prefix" "$@"
  local before_prefix before_shares
  before_prefix=$(find "$prefix" -printf '%P %y %s %T@ %l\n' | sort)
  before_shares=$(find "$work/rig/shares" -printf '%P %y %s %T@\n' | sort)
  smb_session env WINEPREFIX="$prefix" OUT="$work/$case_name.json" bash -c '
    began=${EPOCHREALTIME/./}
    timeout '"$hang_limit"' "$@" > "$OUT" 2> "$OUT.err"
    echo "$? $(( (${EPOCHREALTIME/./} - began) / 1000 ))" > "$OUT.status"' run \
    "$report" "$website" --json --debug || true
  read -r status elapsed < "$work/$case_name.json.status" || { status=none elapsed=0; }
  echo "# $case_name: exit status $status after $elapsed ms"
  check "nothing was written to the prefix" \
    test "$(find "$prefix" -printf '%P %y %s %T@ %l\n' | sort)" = "$before_prefix"
  check "nothing was written to the shares" \
    test "$(find "$work/rig/shares" -printf '%P %y %s %T@\n' | sort)" = "$before_shares"
}

# The JSON's caption of lblServer, or its outcome and messages.
json_field() {  # expression
  python3 -c 'import json,sys; r=json.load(open(sys.argv[1])); print(eval(sys.argv[2]))' \
    "$work/$case_name.json" "$1" 2> /dev/null || echo "<no report>"
}
expect_found_on_k() {
  check "exit status 0 (got $status)" test "$status" = 0
  check "\"$found_k\"" test "$(json_field 'r["captions"]["lblServer"]')" = "$found_k"
  check "no message box" test "$(json_field 'r["messages"]')" = "[]"
}
expect_not_found() {
  check "exit status 2 (got $status)" test "$status" = 2
  check "the program was ended" test "$(json_field 'r["outcome"]')" = closed
  check "the box \"$not_found\"" test "$(json_field 'r["messages"]')" = "['$not_found']"
}

# Found in the first run: the database is only on the remembered drive.
run_case first-run 'K=\\127.0.0.1\keldo'
expect_found_on_k

# A share whose name holds a blank (its command line carries it whole).
run_case blank-in-share 'K=\\127.0.0.1\keldo data'
expect_found_on_k

# One server that does not answer and one live: found on the live one, the
# commands awaited together, so no longer than the bound.
run_case dead-and-live 'H=\\127.0.0.2\dead' 'K=\\127.0.0.1\keldo'
expect_found_on_k
check "ends within the bound of 30 s (and a margin) (took $elapsed ms)" test "$elapsed" -lt 45000

# Only the dead server: not found, after at most the bound, never a hang.
run_case only-dead 'H=\\127.0.0.2\dead'
expect_not_found
check "ends by itself, within the bound and a margin (took $elapsed ms)" test "$elapsed" -lt 45000

# A server whose password is in no keyring: the command asks, nobody
# answers, it fails; not found, and no hang.
run_case password-wanted 'K=\\127.0.0.3\keldo'
expect_not_found
check "ends well within the bound (took $elapsed ms)" test "$elapsed" -lt 15000

# Nothing remembered: nothing started, nothing awaited.
run_case nothing-remembered
expect_not_found
check "ends well within the bound (took $elapsed ms)" test "$elapsed" -lt 15000

exit "$failed"
