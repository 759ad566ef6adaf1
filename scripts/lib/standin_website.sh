# Sourced by demo/run.sh and bench/run.sh (bash): a throw-away work folder
# and the stand-in website running in the background, both gone on exit.

# make_work_folder STEM: sets work to a new folder /tmp/STEM.XXXXXX. On exit
# the stand-in website, when started, is stopped and the folder removed.
make_work_folder() {
  work=$(mktemp -d "/tmp/$1.XXXXXX")
  server_pid=
  trap remove_work_folder EXIT
}

remove_work_folder() {
  if [[ -n $server_pid ]]; then kill "$server_pid" 2> /dev/null || true; wait "$server_pid" 2> /dev/null || true; fi
  rm -rf "$work"
}

# start_standin_website EXE PKI PORT LIFETIME TENTHS: starts the stand-in
# website EXE with PKI's server certificate on loopback PORT for LIFETIME
# seconds, its output in $work/server.out. Fails unless it names its port
# within TENTHS tenths of a second.
start_standin_website() {
  local exe=$1 pki=$2 port=$3 lifetime=$4 tenths=$5
  "$exe" --cert "$pki/server.pem" --key "$pki/server.key" --port "$port" --lifetime "$lifetime" \
    > "$work/server.out" &
  server_pid=$!
  for _ in $(seq "$tenths"); do grep -q '^port=' "$work/server.out" 2> /dev/null && return 0; sleep 0.1; done
  grep -q '^port=' "$work/server.out"
}
