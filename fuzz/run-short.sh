#!/usr/bin/env bash
# Builds the fuzz targets (the `fuzz` preset: clang, libFuzzer, ASan and
# UBSan) and runs each for a short while from its committed corpus. Fails on
# the first crash, leak, time-out or broken property; the input that did it
# is left in build/fuzz/findings/<target>/.
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
for name in "${targets[@]}"; do
  findings=build/fuzz/findings/$name
  work=build/fuzz/work/$name
  mkdir -p "$findings" "$work"
  printf '==== %s: %ss\n' "$name" "$seconds"
  # New inputs go to a scratch corpus so that the committed one stays small;
  # fuzz/README.md says how to fold worthwhile ones back in.
  if ! "build/fuzz/fuzz/${name}_fuzz" -max_total_time="$seconds" -rss_limit_mb=512 -timeout=5 \
       -print_final_stats=1 -artifact_prefix="$findings/" "$work" "fuzz/corpus/$name" \
       > "$findings/log.txt" 2>&1; then
    tail -n 40 "$findings/log.txt" >&2
    echo "FAIL: $name; the input is in $findings/" >&2
    exit 1
  fi
  grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$findings/log.txt" | tr '\n' ' '
  echo
done
echo "all fuzz targets ran clean"
