# shellcheck shell=bash
# Sourced by tests/robust/smb_reconnect_test.sh and bench/smb-reconnect.sh
# (bash, as root): a real SMB server on loopback and the desktop's way of
# reaching it, all under one throw-away folder, as a Wine user who mapped a
# share in the file manager has it; the product's settings and files are the
# sample installation's.
#
#   smb_rig_missing             prints what the rig cannot do without; false when nothing
#   smb_rig_start WORK          smbd on 127.0.0.1:445 with the shares "keldo" and "keldo data",
#                               each holding the product's files (also on 127.0.0.3, for
#                               which the keyring holds no password), and a server on
#                               127.0.0.2:445 that accepts and never answers (with
#                               smb_silent_hold=N set, closes each connection after N s)
#   smb_session CMD...          CMD in a private session bus with the desktop keyring unlocked
#                               and both shares' password on 127.0.0.1 saved in it, so that
#                               `gio mount smb://127.0.0.1/<share>` mounts without asking
#                               (under $XDG_RUNTIME_DIR/gvfs); the bus, the keyring and gvfs
#                               end with CMD
#   smb_prefix PREFIX L=\\server\share...
#                               a Wine prefix whose letters L are remembered network drives,
#                               each a dosdevices link into the gvfs folder its share will have
#   smb_rig_stop                stops every process the rig started and unmounts what is left
#
# smbd serves 127.0.0.1 and 127.0.0.3 only (its own smb.conf, every state folder under
# WORK); the packaged daemons are never used.

# shellcheck source=/dev/null
source "$(dirname "${BASH_SOURCE[0]}")/sample_installation.sh"

smb_shares=(keldo 'keldo data')

smb_rig_missing() {
  local tool missing=()
  ((EUID == 0)) || missing+=("root (smbd listens on port 445)")
  for tool in smbd smbpasswd dbus-run-session gnome-keyring-daemon secret-tool gio fusermount python3; do
    command -v "$tool" > /dev/null || missing+=("$tool")
  done
  for tool in /usr/libexec/gvfsd-smb /usr/libexec/gvfsd-fuse /dev/fuse; do
    [[ -e $tool ]] || missing+=("$tool")
  done
  if ((EUID == 0)) && command -v python3 > /dev/null; then
    local address
    for address in 127.0.0.1 127.0.0.2 127.0.0.3; do
      python3 -c 'import socket,sys; socket.socket().bind((sys.argv[1], 445))' "$address" 2> /dev/null ||
        missing+=("a free port 445 on $address")
    done
  fi
  ((${#missing[@]})) || return 1
  printf '%s\n' "${missing[@]}"
}

# The product's files, as the sample installation has them.
smb_product_files() {  # folder
  mkdir -p "$1/Keldo6/GENDATA"
  : > "$1/Keldo6/GENDATA/GeneralKeldo6data.mdb"
  sample_files_in "$1/Keldo6/LATEST_PROGS"
}

smb_rig_start() {  # work
  smb_work=$1 smbd_pid='' silent_pid=''
  local w=$1 share
  mkdir -p "$w"/{private,lock,state,cache,pid,log,run,home,shares}
  chmod 700 "$w/run"
  # Throw-away secrets: the share's password and the keyring's.
  smb_password=$(od -An -N12 -tx1 /dev/urandom | tr -d ' \n')
  keyring_password=$(od -An -N12 -tx1 /dev/urandom | tr -d ' \n')
  {
    printf '%s\n' '[global]' '  workgroup = WORKGROUP' '  smb ports = 445' '  interfaces = 127.0.0.1 127.0.0.3' \
      '  bind interfaces only = yes' "  passdb backend = tdbsam:$w/passdb.tdb" \
      "  private dir = $w/private" "  lock directory = $w/lock" "  state directory = $w/state" \
      "  cache directory = $w/cache" "  pid directory = $w/pid" "  log file = $w/log/smbd.log" \
      '  map to guest = Never' '  load printers = no' '  disable spoolss = yes'
    for share in "${smb_shares[@]}"; do
      smb_product_files "$w/shares/$share"
      printf '%s\n' "[$share]" "  path = $w/shares/$share" '  read only = yes'
    done
  } > "$w/smb.conf"
  # The account is root's own: smbd needs a system user behind each of its
  # users, and none is added to the machine for a test.
  printf '%s\n%s\n' "$smb_password" "$smb_password" |
    smbpasswd -c "$w/smb.conf" -s -a root > "$w/log/smbpasswd.out" 2>&1 || {
    echo "smb rig: smbpasswd failed: $(cat "$w/log/smbpasswd.out")" >&2
    return 1
  }
  # In a process group of its own: smbd ends its whole group when it ends.
  KELDO_SMB_RIG=$w smbd -F -s "$w/smb.conf" < /dev/null > "$w/log/smbd.out" 2>&1 &
  smbd_pid=$!
  # With a hold of N seconds (smb_silent_hold), each connection is closed
  # unanswered after N seconds, so that a command given up by the server
  # ends long before it would give up by itself (about 20 s).
  KELDO_SMB_RIG=$w python3 -c '
import socket, sys, threading
hold = float(sys.argv[1]) if sys.argv[1] else None
server = socket.socket()
server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
server.bind(("127.0.0.2", 445))
server.listen(64)
print("listening", flush=True)
held = []
while True:
    connection = server.accept()[0]  # never read, never answered
    held.append(connection)
    if hold is not None:
        threading.Timer(hold, connection.close).start()
' "${smb_silent_hold:-}" > "$w/log/silent.out" 2>&1 &
  silent_pid=$!
  local _
  for _ in $(seq 100); do
    if (exec 3<> /dev/tcp/127.0.0.1/445) 2> /dev/null && grep -q listening "$w/log/silent.out"; then
      return 0
    fi
    sleep 0.1
  done
  echo "smb rig: the servers did not start: $(tail -n 5 "$w/log/smbd.out" "$w/log/silent.out")" >&2
  return 1
}

smb_session() {  # command...
  local w=$smb_work
  env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME="$w/home" XDG_RUNTIME_DIR="$w/run" LANG=C.UTF-8 \
    KELDO_SMB_RIG="$w" SMB_PASSWORD="$smb_password" KEYRING_PASSWORD="$keyring_password" \
    dbus-run-session -- bash -c '
      printf %s "$KEYRING_PASSWORD" | gnome-keyring-daemon --unlock --components=secrets > /dev/null 2>&1
      for share in "keldo" "keldo data"; do
        printf %s "$SMB_PASSWORD" | secret-tool store --label="$share" \
          xdg:schema org.gnome.keyring.NetworkPassword user root domain WORKGROUP \
          server 127.0.0.1 object "$share" protocol smb authtype NTLM port 0 || exit 125
      done
      unset SMB_PASSWORD KEYRING_PASSWORD
      exec "$@"' smb-session "$@" 2> >(grep -v -e '^dbus-daemon\[' -e 'WARNING \*\*' -e '^$' >&2)
}

# The folder gvfs mounts \\server\share on: the share percent-encoded.
smb_gvfs_folder() {  # server share
  local share=${2// /%20}
  printf '%s' "$smb_work/run/gvfs/smb-share:server=$1,share=${share,,}"
}

smb_prefix() {  # prefix L=\\server\share...
  local prefix=$1 mapping letter remote server share
  shift
  mkdir -p "$prefix/dosdevices" "$prefix/drive_c"
  ln -s ../drive_c "$prefix/dosdevices/c:"
  local user="" drives='"c:"="hd"'
  for mapping in "$@"; do
    letter=${mapping%%=*} remote=${mapping#*=}
    server=${remote#\\\\} share=${server#*\\} server=${server%%\\*}
    ln -s "$(smb_gvfs_folder "$server" "$share")" "$prefix/dosdevices/${letter,,}:"
    # Backslashes doubled, as user.reg escapes them.
    user+="[Network\\\\$letter] 1733650000"$'\n'"\"ConnectionType\"=dword:00000001"$'\n'
    user+="\"RemotePath\"=\"${remote//\\/\\\\}\""$'\n\n'
    drives+=$'\n'"\"${letter,,}:\"=\"network\""
  done
  printf '%s\n' 'WINE REGISTRY Version 2' ';; All keys relative to \\User\\S-1-5-21-0-0-0-1000' '' \
    "${user}[Software\\\\VB and VBA Program Settings\\\\Keldo6\\\\ThisPC] 1733650000" \
    "$(sample_settings_values)" > "$prefix/user.reg"
  printf '%s\n' 'WINE REGISTRY Version 2' ';; All keys relative to \\Machine' '' \
    '[Software\\Wine\\Drives] 1733650000' "$drives" > "$prefix/system.reg"
}

# Every process that carries this rig's mark in its environment was started
# by it (smbd, the silent server, the session bus, the keyring, gvfs and
# whatever they started): each is ended by its own id.
smb_rig_processes() {
  local environ pid
  for environ in /proc/[0-9]*/environ; do
    pid=${environ#/proc/} pid=${pid%/environ}
    [[ $pid != "$$" && $pid != "$BASHPID" ]] || continue
    grep -qzxF "KELDO_SMB_RIG=$smb_work" "$environ" 2> /dev/null && echo "$pid"
  done
  return 0
}

smb_rig_stop() {
  [[ -n ${smb_work:-} ]] || return 0
  local pid gvfs=$smb_work/run/gvfs
  for pid in $smbd_pid $silent_pid $(smb_rig_processes); do kill "$pid" 2> /dev/null || true; done
  for pid in $smbd_pid $silent_pid; do wait "$pid" 2> /dev/null || true; done
  local _
  for _ in $(seq 50); do
    [[ -n $(smb_rig_processes) ]] || break
    sleep 0.1
  done
  for pid in $(smb_rig_processes); do kill -KILL "$pid" 2> /dev/null || true; done
  if mountpoint -q "$gvfs" 2> /dev/null || grep -qF " $gvfs " /proc/self/mountinfo; then
    fusermount -u -z "$gvfs" 2> /dev/null || umount -l "$gvfs" 2> /dev/null || true
  fi
  smb_work=''
}
