# The user's proxy in a prefix, stored the way Internet Options store it:
# ProxyEnable and ProxyServer (which Wine's WinHTTP never reads), and the
# DefaultConnectionSettings blob under Connections (which it does).
# And the test CONNECT proxy, started on the suite's proxy port.

# Little-endian hex of a 32-bit number, then of a string with its length.
le32_hex() { printf '%02x%02x%02x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
counted_hex() { le32_hex ${#1}; printf '%s' "$1" | od -An -tx1 | tr -d ' \n'; }

# flags: 1 direct, 2 named proxy, 4 configuration script, 8 detection.
connection_settings() {  # prefix flags proxy bypass script-url
  local key='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings'
  local blob
  blob=$(le32_hex 0x46)$(le32_hex 1)$(le32_hex "$2")$(counted_hex "$3")$(counted_hex "$4")$(counted_hex "$5")
  blob+=$(printf '0%.0s' $(seq 64))  # the rest Windows keeps there, unused here
  WINEPREFIX=$1 timeout 120 wine reg add "$key\\Connections" /v DefaultConnectionSettings /t REG_BINARY \
    /d "$blob" /f >/dev/null
  if [[ -n $3 ]]; then
    WINEPREFIX=$1 timeout 120 wine reg add "$key" /v ProxyEnable /t REG_DWORD /d 1 /f >/dev/null
    reg_add "$1" "$key" ProxyServer "$3"
  fi
  if [[ -n $5 ]]; then reg_add "$1" "$key" AutoConfigURL "$5"; fi
}

# The machine's WinHTTP proxy as `netsh winhttp set proxy` stores it.
machine_proxy() {  # prefix proxy bypass
  local blob
  blob=$(le32_hex 0x18)$(le32_hex 0)$(le32_hex 3)$(counted_hex "$2")$(counted_hex "$3")
  WINEPREFIX=$1 timeout 120 wine reg add \
    'HKLM\Software\Microsoft\Windows\CurrentVersion\Internet Settings\Connections' \
    /v WinHttpSettings /t REG_BINARY /d "$blob" /f >/dev/null
}

# Starts the test proxy in `mode` on a free port; sets $proxy_pid and
# $proxy_port.
start_proxy() {  # mode log [forward]
  local listening=$work/proxy.out args=(--mode "$1" --port 0 --log "$2" --lifetime 600)
  [[ -z ${3:-} ]] || args+=(--forward "$3")
  [[ $1 != intercept ]] || args+=(--cert "$work/pki/untrusted.pem" --key "$work/pki/untrusted.key")
  : > "$listening"
  /usr/bin/python3 "$connect_proxy" "${args[@]}" > "$listening" 2>>"$work/proxy.err" &
  proxy_pid=$!
  proxy_port=$(await_port "$listening" "$proxy_pid") && return 0
  die "the test proxy did not start: $(cat "$work/proxy.err")"
}
stop_proxy() {
  if [[ -n $proxy_pid ]]; then kill "$proxy_pid" 2>/dev/null || true; wait "$proxy_pid" 2>/dev/null || true; fi
  proxy_pid=''
}
