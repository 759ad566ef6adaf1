#!/usr/bin/env bash
# The benchmark: a whole check run of keldo-check-report against the
# stand-in website on loopback, side by side with the floor (curl fetching
# the same version file and posting the same form, two requests on two fresh
# TLS connections, trusting the same CAs). Prints the median ratio, the
# report's start-up time and its peak memory; with the Windows build and
# Wine present, also the time until CheckKeldoSupport.exe shows its window
# and the .exe sizes. Not part of the test run.
#   bench/run.sh [runs, default 30]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-30}
port=${KELDO_BENCH_PORT:-48543}
build=build/bench
website=https://127.0.0.1:$port

for tool in cmake ninja hyperfine curl python3 openssl; do
  command -v "$tool" > /dev/null || { echo "bench: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
done

echo "Building the release report for $website in $build ..."
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELDO_BUILD_TESTS=OFF \
      -DKELDO_TRUST_TEST_CA=ON -DKELDO_WEBSITE="$website" > /dev/null
cmake --build "$build" --target keldo-check-report keldo-standin-website -j 2 > /dev/null
report=$PWD/$build/src/report/keldo-check-report
pki=$PWD/$build/test-pki

work=$(mktemp -d /tmp/keldo-bench.XXXXXX)
server_pid=
cleanup() {
  if [[ -n $server_pid ]]; then kill "$server_pid" 2> /dev/null || true; wait "$server_pid" 2> /dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# The installation the report checks: one drive holding the database and the
# latest-programs files, the product's settings.
prefix=$work/prefix
mkdir -p "$prefix/dosdevices" "$prefix/drive_c" "$prefix/drive_d/Keldo6/GENDATA" "$prefix/drive_d/Keldo6/LATEST_PROGS"
ln -s ../drive_c "$prefix/dosdevices/c:"
ln -s ../drive_d "$prefix/dosdevices/d:"
: > "$prefix/drive_d/Keldo6/GENDATA/GeneralKeldo6data.mdb"
printf 'v6.3.218 10/02/2025\r\n' > "$prefix/drive_d/Keldo6/LATEST_PROGS/keldo63version.dat"
printf '31/12/2026\r\n' > "$prefix/drive_d/Keldo6/LATEST_PROGS/SupportExpiry.dat"
printf '%s\n' 'WINE REGISTRY Version 2' '' \
  '[Software\\VB and VBA Program Settings\\Keldo6\\ThisPC] 1733650000' \
  '"AutoUpdate"="Yes"' '"Network"="Yes"' '"PkgNbr"="123456"' '"VerNbr"="v6.3.215 01/12/2024"' > "$prefix/user.reg"
export WINEPREFIX=$prefix

"$build/tools/standin-website/keldo-standin-website" --cert "$pki/server.pem" --key "$pki/server.key" \
  --port "$port" --lifetime 900 > "$work/server.out" &
server_pid=$!
for _ in $(seq 100); do grep -q '^port=' "$work/server.out" 2> /dev/null && break; sleep 0.1; done
grep -q '^port=' "$work/server.out" || { echo "bench: the stand-in website did not start" >&2; exit 1; }

# The same two requests as the check run, with nothing around them: once
# trusting what the report trusts (the system's store and the test CA, which
# it loads for each request), and once trusting the test CA alone, which
# spares the loading of the system's store.
cat /etc/ssl/certs/ca-certificates.crt "$pki/ca.pem" > "$work/trust.pem"
two_requests() {
  echo "curl -sS --fail --cacert $1 --no-sessionid -H 'Connection: close' -o /dev/null \
'$website/filesfordownload/keldo63version.dat?20241201093015' \
--next -sS --fail --cacert $1 --no-sessionid -o /dev/null \
--data-urlencode serialnbr=123456 --data-urlencode company= '$website/support/wendle.php'"
}
floor=$(two_requests "$work/trust.pem")
bare=$(two_requests "$pki/ca.pem")
eval "$floor"
eval "$bare"
"$report" > "$work/report.out"
grep -q 'Version on website: 63220' "$work/report.out" || { cat "$work/report.out" >&2; exit 1; }

echo
hyperfine --warmup 3 --runs "$runs" --export-json "$work/run.json" \
  -n keldo-check-report "$report" -n "floor: curl, two requests" "$floor" \
  -n "bare: curl, two requests, test CA only" "$bare"
hyperfine -N --warmup 3 --runs "$runs" --export-json "$work/start.json" -n "keldo-check-report --version" "$report --version"

python3 - "$work/run.json" "$work/start.json" "$report" <<'PY'
import json, resource, subprocess, sys
run = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
report, floor = run["keldo-check-report"]["median"], run["floor: curl, two requests"]["median"]
bare = run["bare: curl, two requests, test CA only"]["median"]
start = json.load(open(sys.argv[2]))["results"][0]["median"]
subprocess.run([sys.argv[3]], stdout=subprocess.DEVNULL, check=True)
peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
print()
print(f"whole check run, median:   {report * 1000:7.1f} ms")
print(f"floor (curl), median:      {floor * 1000:7.1f} ms")
print(f"ratio report / floor:      {report / floor:7.2f}")
print(f"bare requests, median:     {bare * 1000:7.1f} ms   (curl trusting the test CA alone)")
print(f"ratio report / bare:       {report / bare:7.2f}")
print(f"start-up (--version):      {start * 1000:7.1f} ms")
print(f"peak memory of a run:      {peak / 1024:7.1f} MiB")
PY

bash bench/window-time.sh "$runs" || echo "(window time skipped)"
