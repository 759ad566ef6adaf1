#!/usr/bin/env bash
# Builds the fuzz targets (the `fuzz` preset: clang, libFuzzer, ASan and
# UBSan) and runs each for a short while from its committed corpus, as many
# side by side as there are cores. Fails on a crash, leak, time-out or broken
# property of any; the input that did it is left in build/fuzz/findings/<target>/.
#   fuzz/run-short.sh [seconds per target, default 30] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true

cmake --preset fuzz > /dev/null
cmake --build --preset fuzz -j 2
targets=("$@")
if ((${#targets[@]} == 0)); then
  for exe in build/fuzz/fuzz/*_fuzz; do targets+=("$(basename "$exe" _fuzz)"); done
fi

# The platform targets write a scratch prefix; keep it in memory when we can.
[[ -z ${TMPDIR:-} && -w /dev/shm ]] && export TMPDIR=/dev/shm
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export ASAN_OPTIONS=detect_leaks=1
# One target's run; its lines are printed once all have run.
fuzz_one() {  # name
  local name=$1 findings=build/fuzz/findings/$1 work=build/fuzz/work/$1
  mkdir -p "$findings" "$work"
  # New inputs go to a scratch corpus so that the committed one stays small;
  # fuzz/README.md says how to fold worthwhile ones back in.
  if ! "build/fuzz/fuzz/${name}_fuzz" -max_total_time="$seconds" -rss_limit_mb=512 -timeout=5 \
       -print_final_stats=1 -artifact_prefix="$findings/" "$work" "fuzz/corpus/$name" \
       > "$findings/log.txt" 2>&1; then
    { tail -n 40 "$findings/log.txt"; echo "FAIL: $name; the input is in $findings/"; } > "$findings/summary"
    return 1
  fi
  { printf '==== %s: %ss\n' "$name" "$seconds"
    grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$findings/log.txt" | tr '\n' ' '
    echo; } > "$findings/summary"
}

# Each target runs on one core: as many side by side as there are cores, so
# that each still gets its seconds of a whole core.
jobs=${KELDO_FUZZ_JOBS:-$(nproc)}
running=0 failed=0
for name in "${targets[@]}"; do
  if ((running >= jobs)); then
    wait -n || failed=1
    running=$((running - 1))
  fi
  fuzz_one "$name" &
  running=$((running + 1))
done
while ((running > 0)); do
  wait -n || failed=1
  running=$((running - 1))
done
for name in "${targets[@]}"; do
  cat "build/fuzz/findings/$name/summary"
done
((failed == 0)) || { echo "a fuzz target failed (above)" >&2; exit 1; }
echo "all fuzz targets ran clean"
