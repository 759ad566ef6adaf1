#!/usr/bin/env bash
# Proves the two README commands on a bare Debian 12: makes a minbase root
# (debootstrap, from this machine's own apt sources), puts the checkout in
# /root/src as a new user would have it (a clone of the commit), runs each
# command inside it as root and prints its result and time. Not part of the
# test command: it downloads a Debian base system and takes a few minutes
# (test-all inside takes about 20 minutes on 2 cores).
#
#   scripts/check-fresh-system.sh [--keep] [demo] [test-all]
#
# With no command named both run, the demo first. --keep leaves the root
# (its folder is printed) instead of removing it. Needs root and debootstrap.
# Exit status: 0 when every command passed, 1 when one failed, 2 when the
# root could not be made.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
die() { echo "check-fresh-system.sh: $*" >&2; exit 2; }
usage() { sed -n '9p' "$0" | sed 's/^# *//' >&2; exit 64; }

keep=0 commands=()
for arg in "$@"; do
  case $arg in
    --keep) keep=1 ;;
    demo | test-all) commands+=("$arg") ;;
    *) usage ;;
  esac
done
((${#commands[@]})) || commands=(demo test-all)
((EUID == 0)) || die "run it as root (debootstrap, chroot and mount need it)"
[[ -x /usr/sbin/debootstrap ]] || die "debootstrap is missing: apt-get install debootstrap"

# The files apt reads, and the first Debian mirror they name for bookworm.
sources=()
[[ -f /etc/apt/sources.list ]] && sources+=(/etc/apt/sources.list)
for file in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
  [[ -f $file ]] && sources+=("$file")
done
((${#sources[@]})) || die "no apt sources in /etc/apt"
mirror=$(awk '
  /^deb[ \t]/ { sub(/\[[^]]*\]/, ""); if ($3 == "bookworm") { print $2; exit } }
  /^URIs:/ { uris = $2 }
  /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == "bookworm" && uris != "") { print uris; exit } }
  /^$/ { uris = "" }' "${sources[@]}")
[[ -n $mirror ]] || die "no apt source names a bookworm mirror"

root=$(mktemp -d "${TMPDIR:-/var/tmp}/keldo-fresh.XXXXXX")
chmod 755 "$root"  # a root folder every user may enter, as / is
mounted=()
unmount_all() {
  # Whatever a command left running inside would hold the mounts.
  local link pid
  for link in /proc/[0-9]*/root; do
    [[ $(readlink "$link" 2>/dev/null) == "$root" ]] || continue
    pid=${link#/proc/}; pid=${pid%/root}
    kill -KILL "$pid" 2>/dev/null || true
  done
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount -R "${mounted[i]}" 2>/dev/null || umount -R -l "${mounted[i]}" ||
      echo "check-fresh-system.sh: could not unmount ${mounted[i]}" >&2
  done
  mounted=()
}
finish() {
  unmount_all
  if ((keep)); then
    echo "check-fresh-system.sh: the root is kept in $root"
  elif ! findmnt -rn -o TARGET | grep -q "^$root/"; then
    rm -rf --one-file-system "$root"
  else
    echo "check-fresh-system.sh: $root still has mounts; left in place" >&2
  fi
}
trap finish EXIT
running=''
trap 'echo "check-fresh-system.sh: interrupted${running:+ in $running after $((SECONDS - started)) s}" >&2
      exit 130' INT TERM HUP
mount_in() {  # target mount-arguments...
  local target=$root$1; shift
  mount "$@" "$target"
  mounted+=("$target")
}

echo "==== debootstrap --variant=minbase bookworm from $mirror into $root"
started=$SECONDS
/usr/sbin/debootstrap --variant=minbase bookworm "$root" "$mirror" > "$root.debootstrap.log" 2>&1 || {
  tail -n 20 "$root.debootstrap.log" >&2
  die "debootstrap failed (log: $root.debootstrap.log)"
}
rm -f "$root.debootstrap.log"
echo "made in $((SECONDS - started)) s"

# The same sources as this machine, and its name service for the downloads.
rm -f "$root/etc/apt/sources.list"
for file in "${sources[@]}"; do
  mkdir -p "$root$(dirname "$file")"
  cp "$file" "$root$file"
done
cp -L /etc/resolv.conf "$root/etc/resolv.conf"

# The checkout as a new user has it: a clone of the commit under /root.
git clone --quiet --no-hardlinks "$repo" "$root/root/src"
git -C "$root/root/src" checkout --quiet --detach "$(git -C "$repo" rev-parse --verify HEAD)"
echo "checkout: /root/src at $(git -C "$root/root/src" rev-parse --short HEAD), /root mode $(stat -c %a "$root/root")"

mount_in /proc -t proc proc
mount_in /sys -t sysfs sysfs
mount_in /dev --rbind /dev
mount --make-rslave "$root/dev"
mount_in /dev/shm -t tmpfs -o mode=1777,nosuid,nodev tmpfs
mount_in /run -t tmpfs -o mode=755,nosuid,nodev tmpfs

declare -A command_line=([demo]="bash demo/run.sh" [test-all]="bash scripts/test-all.sh")
failed=0 summary=()
for name in "${commands[@]}"; do
  echo "==== $ ${command_line[$name]}   (in the fresh root, /root/src)"
  started=$SECONDS status=0 running=${command_line[$name]}
  # In the background, so that a signal ends the wait (and the trap clears up).
  chroot "$root" /usr/bin/env -i -C /root/src HOME=/root USER=root LOGNAME=root LANG=C.UTF-8 \
    TERM=dumb PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    ${command_line[$name]} < /dev/null &
  wait "$!" || status=$?
  result="passed"
  ((status == 0)) || { result="FAILED (exit status $status)"; failed=1; }
  summary+=("${command_line[$name]}: $result in $((SECONDS - started)) s")
done
echo "==== summary (minbase bookworm from $mirror)"
printf '%s\n' "${summary[@]}"
exit "$failed"
