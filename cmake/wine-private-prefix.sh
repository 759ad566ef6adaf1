#!/bin/sh
# Runs one Windows program under Wine in a private prefix, so that tests never
# see or change the machine's own ~/.wine. The ready prefix is made once per
# build folder (scripts/lib/wine_prefix.sh, about 15 s) and cloned with hard
# links (a fraction of a second).
#   wine-private-prefix.sh --root <folder> <program> [argument...]
# runs it in a clone thrown away afterwards. With KELDO_WINE_PREFIX_NAME set,
# it runs in that named clone instead, kept with its Wine server between runs:
# a Wine start in a fresh clone costs about 2 s, in a kept one a tenth of
# that, which counts when each test case is a run of its own. The named clone
# is made and removed around the runs (ctest fixtures):
#   wine-private-prefix.sh --root <folder> --make <name> | --remove <name>
# The root is the build's own (the toolchain file names it), never a folder
# that other checkouts share. The program's output is shown once it has
# ended, its standard output without Windows line ends, so that ctest can
# read the test list of a test program. Wine's own processes, which outlive
# the program, get files for output: given ctest's pipes, they would hold
# ctest waiting for their end. Anything that stops the program from being
# run gets one line naming the step and the reason, and status 1.
set -eu
usage() { echo "usage: $0 --root <folder> <program> [argument...] | --make <name> | --remove <name>" >&2; exit 64; }
[ "${1:-}" = --root ] && [ -n "${2:-}" ] || usage
root=$2
shift 2
# shellcheck source=../scripts/lib/wine_prefix.sh
. "$(dirname "$0")/../scripts/lib/wine_prefix.sh"
wine_test_environment "$root"
export LANG=en_US.UTF-8

case "${1:-}" in
  --make | --remove)
    [ $# = 2 ] && [ -n "$2" ] && [ "${2#*/}" = "$2" ] || usage
    prefix="$root/kept-$2"
    wine_remove_prefix "$prefix"
    if [ "$1" = --make ]; then
      wine_ready_prefix "$root" || exit 1
      trap 'wine_remove_prefix "$prefix"' EXIT
      wine_clone_prefix "$root/ready" "$prefix" || exit 1
      # Its server stays between the runs, and ends by itself a while after
      # the last one should the removal never come.
      WINEPREFIX="$prefix" wineserver -p60 </dev/null >/dev/null 2>&1 ||
        { wine_prefix_failure "wineserver -p60 in $prefix failed"; exit 1; }
      trap - EXIT
    fi
    exit 0 ;;
  '' | -*) usage ;;
esac

prefix='' output=''
trap 'rm -rf "$output"; [ -z "$prefix" ] || wine_remove_prefix "$prefix"' EXIT
if [ -n "${KELDO_WINE_PREFIX_NAME:-}" ]; then
  run_in="$root/kept-$KELDO_WINE_PREFIX_NAME"
  wine_prefix_whole "$run_in" ||
    { wine_prefix_failure "no whole prefix $run_in: make it with --make first"; exit 1; }
else
  wine_ready_prefix "$root" || exit 1
  prefix="$(mktemp -d "$root/run.XXXXXX")" || { wine_prefix_failure "cannot make a folder in $root"; exit 1; }
  wine_clone_prefix "$root/ready" "$prefix" || exit 1
  run_in=$prefix
fi
output="$(mktemp -d "$root/output.XXXXXX")" || { wine_prefix_failure "cannot make a folder in $root"; exit 1; }
status=0
WINEPREFIX="$run_in" wine "$@" </dev/null >"$output/out" 2>"$output/err" || status=$?
tr -d '\r' <"$output/out"
cat "$output/err" >&2
exit "$status"
