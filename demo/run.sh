#!/usr/bin/env bash
# The demo: builds the console report and the stand-in of the vendor's
# website, lays out the sample installation (demo/sample_installation.conf)
# in a throw-away Wine prefix (a plain folder: user.reg, system.reg and
# dosdevices/, no wineboot), and
# runs one check against the stand-in. Debian 12, as root, no display.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/sample_installation.sh
source scripts/lib/standin_website.sh

port=${KELDO_DEMO_PORT:-48443}
build=build/demo

needed=(cmake ninja-build g++ pkg-config openssl ca-certificates libssl-dev
        libcurl4-openssl-dev libcpp-httplib-dev nlohmann-json3-dev)
missing=()
for p in "${needed[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

make_work_folder keldo-demo

# The website address is built in, so the demo build names the stand-in's
# port; it trusts the demo's own test CA beside the system's.
echo "Building keldo-check-report and the stand-in website in $build ..."
if ! { cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELDO_BUILD_TESTS=OFF \
         -DKELDO_TRUST_TEST_CA=ON -DKELDO_WEBSITE="https://localhost:$port" &&
       cmake --build "$build" --target keldo-check-report keldo-standin-website -j 2; } > "$work/build.log" 2>&1; then
  cat "$work/build.log" >&2
  exit 1
fi

prefix=$work/prefix
lay_out_sample_installation "$prefix" remembered

if ! start_standin_website "$build/tools/standin-website/keldo-standin-website" "$build/test-pki" "$port" 120 50; then
  echo "The stand-in website could not listen on port $port; set KELDO_DEMO_PORT to a free one." >&2
  exit 1
fi

echo "Sample installation: $prefix (drive ${sample[database_drive]}: holds the database)"
echo "Stand-in website:    https://localhost:$port"
echo
echo "\$ WINEPREFIX=$prefix keldo-check-report"
status=0
WINEPREFIX=$prefix "$build/src/report/keldo-check-report" || status=$?
echo
echo "Exit status: $status"
exit "$status"
