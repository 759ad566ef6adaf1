# shellcheck shell=sh
# The one maker of the ready Wine prefix that every test under Wine starts
# from: ctest's emulator (cmake/wine-private-prefix.sh, POSIX sh) and the
# Wine suite (tests/wine/lib/prefix.sh, bash) source it.
#
# Everything lives under one root folder that the caller names, inside the
# build tree: a fresh checkout makes its own ready prefix, so the path a new
# user takes on a first run is the path CI takes too.
#   $root/ready      the ready prefix (Wine's set-up, windows that close at
#                    once, Arial drawn with Liberation Sans, Wine's fonts)
#   $root/ready.log  the output of every step that made it, kept beside it
#   $root/home       HOME for Wine, so that nothing reaches the user's own
#
# Wine's own start-up and its reg have been seen to fail now and then
# without a word, and to succeed when tried again after the prefix's server
# has gone: each step is tried once more, and a second failure names the
# step, its status and the last lines of its log.

# The environment every Wine process of the tests gets: silence, no Mono or
# Gecko installers, no menu entries written into a desktop.
wine_test_environment() {  # root
  WINEDEBUG=-all
  WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
  HOME=$1/home
  export WINEDEBUG WINEDLLOVERRIDES HOME
  unset WINEPREFIX
}

# Says why Wine could not be had, on standard error and, for a caller that
# reads only a program's output (ctest's listing of test cases shows only
# that), on standard output too where it is not the same file.
wine_prefix_failure() {  # text
  printf 'Wine prefix: %s\n' "$1" >&2
  [ /proc/self/fd/1 -ef /proc/self/fd/2 ] || printf 'Wine prefix: %s\n' "$1"
}

wine_stop_server() {  # prefix
  WINEPREFIX=$1 wineserver -k 2>/dev/null || true
  WINEPREFIX=$1 timeout 30 wineserver -w 2>/dev/null || true
}

# One step of a prefix's making, its output to the log; tried once more
# after the prefix's server has gone (and, for Wine's own set-up, from an
# empty folder).
wine_step() {  # prefix log name command...
  _ws_prefix=$1 _ws_log=$2 _ws_name=$3
  shift 3
  for _ws_attempt in 1 2; do
    printf '== %s (attempt %s)\n' "$_ws_name" "$_ws_attempt" >>"$_ws_log" || {
      wine_prefix_failure "$_ws_name: cannot write the log $_ws_log"
      return 1
    }
    _ws_status=0
    WINEPREFIX=$_ws_prefix timeout 180 "$@" >>"$_ws_log" 2>&1 </dev/null || _ws_status=$?
    [ "$_ws_status" = 0 ] && return 0
    printf '== %s ended with status %s\n' "$_ws_name" "$_ws_status" >>"$_ws_log"
    # Standard error only: a caller's standard output may be a test list.
    [ "$_ws_attempt" = 2 ] ||
      printf 'Wine prefix: %s failed (status %s), trying once more; its log: %s\n' \
        "$_ws_name" "$_ws_status" "$_ws_log" >&2
    wine_stop_server "$_ws_prefix"
    [ "$_ws_name" != wineboot ] || rm -rf "$_ws_prefix"
  done
  wine_prefix_failure "$_ws_name failed twice (status $_ws_status); the last lines of $_ws_log:
$(tail -n 5 "$_ws_log")"
  return 1
}

# A prefix is whole when Wine's set-up wrote its registry and its C: drive.
wine_prefix_whole() {  # prefix
  [ -s "$1/system.reg" ] && [ -s "$1/user.reg" ] && [ -s "$1/userdef.reg" ] &&
    [ -d "$1/drive_c/windows/system32" ]
}

wine_make_ready() {  # prefix log
  rm -rf "$1" && mkdir -p "$1" && : >"$2" || {
    wine_prefix_failure "cannot make $1 and its log"
    return 1
  }
  wine_step "$1" "$2" wineboot wineboot -i &&
    wine_step "$1" "$2" 'reg add X11 Driver Managed' \
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f &&
    wine_step "$1" "$2" 'reg add Fonts Replacements Arial' \
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' /f &&
    wine_step "$1" "$2" 'copy Wine fonts' sh -c 'cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"' &&
    wine_step "$1" "$2" 'wineserver -w' wineserver -w || return 1
  # The registry reaches its files only when the server ends.
  wine_prefix_whole "$1" || {
    wine_prefix_failure "wineboot left no whole prefix in $1 (no registry or no C: drive); see $2"
    return 1
  }
}

# Makes $root/ready unless it is whole and of this Wine: once per root, the
# callers that start side by side waiting for the one that makes it. Any
# failure leaves neither the prefix nor a half of it behind.
wine_ready_prefix() {  # root
  command -v wine >/dev/null && command -v wineserver >/dev/null || {
    wine_prefix_failure "wine is not installed (apt-get install wine wine64)"
    return 1
  }
  mkdir -p "$1/home" 2>/dev/null && [ -w "$1" ] || {
    wine_prefix_failure "cannot make or write the folder $1"
    return 1
  }
  _wr_version=$(wine --version 2>&1) || {
    wine_prefix_failure "wine --version failed: $_wr_version"
    return 1
  }
  _wr_ready=$1/ready
  (
    flock 9 || { wine_prefix_failure "cannot lock $1/lock"; exit 1; }
    if [ "$(cat "$_wr_ready/.ready" 2>/dev/null)" = "$_wr_version" ] && wine_prefix_whole "$_wr_ready"; then
      exit 0
    fi
    trap 'wine_remove_prefix "$_wr_ready"' EXIT
    wine_make_ready "$_wr_ready" "$1/ready.log" || exit 1
    echo "$_wr_version" >"$_wr_ready/.ready" || {
      wine_prefix_failure "cannot write $_wr_ready/.ready"
      exit 1
    }
    trap - EXIT
  ) 9>"$1/lock"
}

# A clone costs hard links (the same file system: the root's); the registry
# files are rewritten in place by Wine, so they are real copies.
wine_clone_prefix() {  # prefix clone
  mkdir -p "$2" && cp -al "$1/." "$2/" || {
    wine_prefix_failure "cannot clone $1 into $2"
    return 1
  }
  for _wc_hive in system.reg user.reg userdef.reg; do
    rm -f "$2/$_wc_hive" && cp "$1/$_wc_hive" "$2/$_wc_hive" || {
      wine_prefix_failure "cannot copy $_wc_hive into $2"
      return 1
    }
  done
}

wine_remove_prefix() {  # prefix
  wine_stop_server "$1"
  rm -rf "$1"
}
