#!/usr/bin/env bash
# Builds everything and runs every test: the native suite, the sanitizer
# build, short fuzz runs, the Windows cross build with its tests under Wine,
# and the Windows program driven end to end under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)
# Most native tests wait on servers, processes and time-outs rather than on
# the processor: twice as many of them side by side as there are cores (the
# sanitized ones do not wait: one per core).
test_jobs=$((jobs * 2))
# The Wine suite serves the stand-in website on this port; the Windows test
# build has the address built in, as a shipped build has the vendor's.
wine_site_port=47443
# A second run compiles only what changed. The release presets set their own
# empty launcher: a reproducible build is proven by compiling it.
# Paths below the checkout are hashed as relative ones, so that a fresh
# clone elsewhere finds the objects of the last.
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true

step() { printf '\n==== %s (%s)\n' "$*" "$(date +%T)"; }

# The next preset's build goes on beside a stage of tests, which mostly wait
# and leave the processor to it; its lines are shown when it is awaited, and
# a failed build stops the command there.
building='' building_pid=''
trap '[[ -z $building_pid ]] || kill "$building_pid" 2>/dev/null || true' EXIT
build_beside() {  # preset
  building=$1
  cmake --build --preset "$1" -j "$jobs" > "build/$1.log" 2>&1 &
  building_pid=$!
}
await_build() {
  local status=0
  wait "$building_pid" || status=$?
  building_pid=''
  cat "build/$building.log"
  ((status == 0)) || { echo "the $building build failed (above)" >&2; exit "$status"; }
}

step "one-way includes of the core, and the house format"
bash scripts/check-includes.sh
bash scripts/check-format.sh

step "native build and tests, the sanitizer build beside them"
cmake --preset linux
cmake --build --preset linux -j "$jobs"
cmake --preset linux-asan
build_beside linux-asan
ctest --preset linux -j "$test_jobs"
await_build

# Alone and one per core: under the sanitizers the tests that only wait
# are left to the native run, and the whole runs of the report over huge
# registry files need the processor.
step "native tests under AddressSanitizer and UBSan"
ctest --preset linux-asan -j "$jobs"

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
