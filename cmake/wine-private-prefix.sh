#!/bin/sh
# Runs one Windows program under Wine in a private prefix that is thrown away
# afterwards, so that tests never see or change the machine's own ~/.wine.
# A ready prefix is made once (about 15 s) and cloned with hard links for
# each run (a fraction of a second).
set -eu
root="${KELDO_WINE_ROOT:-${TMPDIR:-/tmp}/keldo-wine-$(id -u)}"
template="$root/template"
command -v wine >/dev/null || { echo "wine is not installed (apt-get install wine wine64)" >&2; exit 1; }
version="$(wine --version 2>/dev/null)"
export WINEDEBUG=-all LANG=en_US.UTF-8
mkdir -p "$root"
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

prefix="$(mktemp -d "$root/run.XXXXXX")"
cleanup() {
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
  rm -rf "$prefix"
}
trap cleanup EXIT
cp -al "$template/." "$prefix/"
# The registry files are rewritten in place: they must be real copies.
for hive in system.reg user.reg userdef.reg; do
  rm -f "$prefix/$hive"
  cp "$template/$hive" "$prefix/$hive"
done
status=0
WINEPREFIX="$prefix" wine "$@" || status=$?
exit "$status"
