#!/usr/bin/env bash
# Builds everything and runs every test: the native suite, the sanitizer
# build, short fuzz runs, the Windows cross build with its tests under Wine,
# and the Windows program driven end to end under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)
# Most native tests wait on servers, processes and time-outs rather than on
# the processor: twice as many of them side by side as there are cores.
test_jobs=$((jobs * 2))
# The Wine suite serves the stand-in website on this port; the Windows test
# build has the address built in, as a shipped build has the vendor's.
wine_site_port=47443

step() { printf '\n==== %s (%s)\n' "$*" "$(date +%T)"; }

step "one-way includes of the core, and the house format"
bash scripts/check-includes.sh
bash scripts/check-format.sh

step "native build and tests"
cmake --preset linux
cmake --build --preset linux -j "$jobs"
ctest --preset linux -j "$test_jobs"

step "native tests under AddressSanitizer and UBSan"
cmake --preset linux-asan
cmake --build --preset linux-asan -j "$jobs"
ctest --preset linux-asan -j "$test_jobs"

step "short fuzz runs"
bash fuzz/run-short.sh 30

step "Windows cross build and its tests under Wine"
cmake --preset windows -DKELDO_WEBSITE=https://localhost:$wine_site_port
cmake --build --preset windows -j "$jobs"
ctest --preset windows -L 'unit|platform' -j "$jobs"
# ctest does not show what its listing of the test cases wrote: a step of the
# ready prefix's making that needed its second try is named here.
sed -n 's/^== \(.* ended with status .*\)/# Wine prefix, tried once more: \1/p' build/windows/wine/ready.log

# The rest of the windows preset's tests, one kind per step, their lines
# shown as they come (tests/release/tests.cmake, tests/wine/tests.cmake).
step "release builds: reproducible, packaged, signed; then the test build is signed"
ctest --preset windows -L release --verbose

step "the platform layer and the Windows program end to end under Wine"
ctest --preset windows -L wine --verbose
step "all done"
