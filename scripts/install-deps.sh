#!/usr/bin/env bash
# Installs everything the build, the tests, the release and the demo need on
# Debian 12, down to what a bare (minbase) system lacks: scripts/check-fresh-system.sh
# proves it there.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config git
  googletest libgtest-dev libgmock-dev
  libcurl4-openssl-dev libssl-dev openssl ca-certificates curl
  libcpp-httplib-dev nlohmann-json3-dev
  clang-14 libclang-rt-14-dev clang-format
  g++-mingw-w64-x86-64
  wine wine64 fonts-wine fonts-liberation xvfb xauth imagemagick x11-utils
  hyperfine python3
  gcc  # the torture sweep's preload library (tools/torture, tests/README.md)
  python3-jsonschema  # the report tests check every --json output against docs/report.schema.json
  dpkg-dev osslsigncode binutils lintian
  wixl msitools python3-yaml  # the Windows Installer package; the release checks read its winget manifests
  time file   # the release checks time each build; CPack's DEB generator runs file
  ccache      # the test command's builds, but never a release build
  samba gvfs-backends gvfs-fuse gnome-keyring libsecret-tools dbus
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  # Samba is here for the tests' own smbd on loopback: its packaged daemons
  # would listen on every interface, so no service is started while the
  # packages go in (a policy of our own only when the machine has none).
  policy=/usr/sbin/policy-rc.d
  own_policy=''
  if [[ ! -e $policy ]]; then
    printf '#!/bin/sh\nexit 101\n' > "$policy"
    chmod 755 "$policy"
    own_policy=1
  fi
  apt-get update -q
  apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=600 "${missing[@]}" ||
    status=$?
  [[ -z $own_policy ]] || rm -f "$policy"
  # Where systemd runs the services, the packaged ones would still start at
  # the next boot.
  if [[ " ${missing[*]} " == *" samba "* && -d /run/systemd/system ]]; then
    systemctl disable --now smbd.service nmbd.service samba-ad-dc.service 2>/dev/null || true
  fi
  exit "${status:-0}"
fi
