#!/usr/bin/env bash
# The benchmark: a whole check run of keldo-check-report against the
# stand-in website on loopback, side by side with two floors (curl fetching
# the same version file and posting the same form, trusting the same CAs:
# in one process over one reused connection, and as two processes), all
# timed in one interleaved loop. Prints the medians and ratios, the
# report's start-up time and its peak memory; with the Windows build and
# Wine present, also the time until CheckKeldoSupport.exe shows its window
# and the .exe sizes (not with "web"). Not part of the test run.
#   bench/run.sh [runs, default 30] [web]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/sample_installation.sh
source scripts/lib/standin_website.sh
runs=${1:-30}
only_web=${2:-}
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

make_work_folder keldo-bench

# The installation the report checks: the demo's, without the remembered
# network drive.
prefix=$work/prefix
lay_out_sample_installation "$prefix"
export WINEPREFIX=$prefix

start_standin_website "$build/tools/standin-website/keldo-standin-website" "$pki" "$port" 900 100 ||
  { echo "bench: the stand-in website did not start" >&2; exit 1; }

# The same two requests as the check run, with nothing around them, trusting
# what the report trusts (the system's store and the test CA), as two
# floors: one curl process over one reused connection, and two curl
# processes (one request each, two connections, two trust stores). And, to
# show what reading the system's bundle costs, the one-process floor
# trusting the test CA (and, as the curl tool always does, looking the
# system's certificates up in libcurl's hashed folder, as the report does).
cat /etc/ssl/certs/ca-certificates.crt "$pki/ca.pem" > "$work/trust.pem"
# The website's paths as the program has them.
website_path() { sed -n "s/^#define $1 \"\(.*\)\"$/\1/p" src/base/website_paths.h; }
version_url="$website$(website_path KELDO_DOWNLOAD_FOLDER_PATH)$(website_path KELDO_VERSION_FILE_NAME)?20241201093015"
support_url="$website$(website_path KELDO_SUPPORT_CHECK_PATH)"
"$report" > "$work/report.out"
grep -qx "Version on website: ${sample[website_version_number]}" "$work/report.out" || { cat "$work/report.out" >&2; exit 1; }

echo
echo "Timing $runs runs of each, interleaved ..."
python3 - "$runs" "$report" "$work/trust.pem" "$pki/ca.pem" "$version_url" "$support_url" "$work" \
  "${sample[serial]}" <<'PY'
import json, statistics, subprocess, sys, time
runs, report, trust, ca, version_url, support_url, work, serial = sys.argv[1:]
runs = int(runs)
def get(cacert, *more):
    return ["curl", "-sS", "--fail", "--cacert", cacert, "-o", "/dev/null", version_url, *more]
def post(cacert):
    return ["curl", "-sS", "--fail", "--cacert", cacert, "-o", "/dev/null",
            "--data-urlencode", "serialnbr=" + serial, "--data-urlencode", "company=", support_url]
post_args = lambda cacert: post(cacert)[1:]
# Each is a list of processes run one after the other, no shell between.
cases = {
    "keldo-check-report": [[report]],
    "floor: one curl, both requests, one connection": [get(trust, "--next", *post_args(trust))],
    "floor: two curl processes": [get(trust), post(trust)],
    "one curl, test CA only": [get(ca, "--next", *post_args(ca))],
}
def once(processes):
    began = time.perf_counter()
    for argv in processes:
        subprocess.run(argv, stdout=subprocess.DEVNULL, check=True)
    return time.perf_counter() - began
for processes in cases.values():  # warm-up, and a failing command stops here
    for _ in range(3):
        once(processes)
times = {name: [] for name in cases}
names = list(cases)
for i in range(runs):
    # Each round in another order, so that no case always follows the same one.
    for name in names[i % len(names):] + names[:i % len(names)]:
        times[name].append(once(cases[name]))
medians = {name: statistics.median(t) for name, t in times.items()}
for name, median in medians.items():
    print(f"{name:52s} median {median * 1000:7.1f} ms  (min {min(times[name]) * 1000:.1f}, max {max(times[name]) * 1000:.1f})")
json.dump(medians, open(work + "/run.json", "w"))
PY
hyperfine -N --warmup 3 --runs "$runs" --export-json "$work/start.json" -n "keldo-check-report --version" "$report --version"

python3 - "$work/run.json" "$work/start.json" "$report" <<'PY'
import json, resource, subprocess, sys
run = json.load(open(sys.argv[1]))
report = run["keldo-check-report"]
one = run["floor: one curl, both requests, one connection"]
two = run["floor: two curl processes"]
bare = run["one curl, test CA only"]
start = json.load(open(sys.argv[2]))["results"][0]["median"]
subprocess.run([sys.argv[3]], stdout=subprocess.DEVNULL, check=True)
peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
print()
print(f"whole check run, median:          {report * 1000:7.1f} ms")
print(f"floor, one curl process, median:  {one * 1000:7.1f} ms   ratio report / floor {report / one:5.2f}  (goal <= 0.90)")
print(f"floor, two curl processes:        {two * 1000:7.1f} ms   ratio report / floor {report / two:5.2f}  (goal <= 0.75)")
print(f"one curl, test CA only, median:   {bare * 1000:7.1f} ms   (what the system's store costs curl: {(one - bare) * 1000:.1f} ms)")
print(f"  the same trust work as the report's (test CA, system's by lookup): ratio report / it {report / bare:5.2f}")
print(f"start-up (--version):             {start * 1000:7.1f} ms")
print(f"peak memory of a run:             {peak / 1024:7.1f} MiB")
PY

[[ $only_web == web ]] || bash bench/window-time.sh "$runs" || echo "(window time skipped)"
