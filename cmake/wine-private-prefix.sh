#!/bin/sh
# Runs one Windows program under Wine in a private prefix, so that tests never
# see or change the machine's own ~/.wine. A ready prefix is made once (about
# 15 s) and cloned with hard links (a fraction of a second).
#   wine-private-prefix.sh <program> [argument...]
# runs it in a clone thrown away afterwards. With KELDO_WINE_PREFIX_NAME set,
# it runs in that named clone instead, kept with its Wine server between runs:
# a Wine start in a fresh clone costs about 2 s, in a kept one a tenth of
# that, which counts when each test case is a run of its own. The named clone
# is made and removed around the runs (ctest fixtures):
#   wine-private-prefix.sh --make <name> | --remove <name>
# The program's output is shown once it has ended, its standard output
# without Windows line ends, so that ctest can read the test list of a test
# program. Wine's own processes, which outlive the program, get files for
# output: given ctest's pipes, they would hold ctest waiting for their end.
set -eu
root="${KELDO_WINE_ROOT:-${TMPDIR:-/tmp}/keldo-wine-$(id -u)}"
template="$root/template"
command -v wine >/dev/null || { echo "wine is not installed (apt-get install wine wine64)" >&2; exit 1; }
version="$(wine --version 2>/dev/null)"
export WINEDEBUG=-all LANG=en_US.UTF-8
mkdir -p "$root"

make_template() {
  (
    flock 9
    if [ "$(cat "$template/.ready" 2>/dev/null)" != "$version" ]; then
      rm -rf "$template"
      WINEPREFIX="$template" wineboot -i >/dev/null 2>&1
      WINEPREFIX="$template" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
      WINEPREFIX="$template" wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial \
        /d 'Liberation Sans' /f >/dev/null 2>&1
      cp /usr/share/wine/fonts/*.ttf "$template/drive_c/windows/Fonts/" 2>/dev/null || true
      WINEPREFIX="$template" wineserver -w
      echo "$version" >"$template/.ready"
    fi
  ) 9>"$root/lock"
}

clone() {  # prefix
  cp -al "$template/." "$1/"
  # The registry files are rewritten in place: they must be real copies.
  for hive in system.reg user.reg userdef.reg; do
    rm -f "$1/$hive"
    cp "$template/$hive" "$1/$hive"
  done
}

remove() {  # prefix
  WINEPREFIX="$1" wineserver -k 2>/dev/null || true
  WINEPREFIX="$1" wineserver -w 2>/dev/null || true
  rm -rf "$1"
}

case "${1:-}" in
  --make | --remove)
    [ $# = 2 ] && [ -n "$2" ] && [ "${2#*/}" = "$2" ] || { echo "usage: $0 --make|--remove <name>" >&2; exit 64; }
    prefix="$root/kept-$2"
    remove "$prefix"
    if [ "$1" = --make ]; then
      make_template
      mkdir -p "$prefix"
      clone "$prefix"
      # Its server stays between the runs, and ends by itself a while after
      # the last one should the removal never come.
      WINEPREFIX="$prefix" wineserver -p60 </dev/null >/dev/null 2>&1
    fi
    exit 0 ;;
esac

output="$(mktemp -d "$root/output.XXXXXX")"
if [ -n "${KELDO_WINE_PREFIX_NAME:-}" ]; then
  prefix="$root/kept-$KELDO_WINE_PREFIX_NAME"
  trap 'rm -rf "$output"' EXIT
  [ -f "$prefix/system.reg" ] || { echo "no Wine prefix $prefix: make it with --make first" >&2; exit 1; }
else
  make_template
  prefix="$(mktemp -d "$root/run.XXXXXX")"
  trap 'remove "$prefix"; rm -rf "$output"' EXIT
  clone "$prefix"
fi
status=0
WINEPREFIX="$prefix" wine "$@" </dev/null >"$output/out" 2>"$output/err" || status=$?
tr -d '\r' <"$output/out"
cat "$output/err" >&2
exit "$status"
