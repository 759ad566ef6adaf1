#!/usr/bin/env bash
# Signs Windows programs and installer packages in place with Authenticode
# (osslsigncode): SHA-256 digest, and an RFC 3161 time stamp when a
# time-stamp server is named.
#
#   scripts/sign.sh [--cert FILE --key FILE | --pkcs12 FILE] [--pass-file FILE]
#                   [--timestamp URL] FILE.exe|FILE.msi...
#
# Without --cert/--key/--pkcs12 the certificate and key come from the
# environment: KELDO_SIGN_CERT (PEM: the code-signing certificate, then its
# intermediates) and KELDO_SIGN_KEY (PEM private key), with KELDO_SIGN_KEY_PASSWORD
# when the key is encrypted and KELDO_SIGN_TIMESTAMP_URL for the time stamp.
# Neither ever comes from the repository: files inside it are refused.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)
die() { echo "sign.sh: $*" >&2; exit 2; }
usage() {
  sed -n '6,7p' "${BASH_SOURCE[0]}" | sed 's/^# //' >&2
  exit 64
}

cert='' key='' pkcs12='' pass_file='' timestamp=${KELDO_SIGN_TIMESTAMP_URL:-}
files=()
while (($#)); do
  case $1 in
    --cert) cert=${2:?}; shift 2 ;;
    --key) key=${2:?}; shift 2 ;;
    --pkcs12) pkcs12=${2:?}; shift 2 ;;
    --pass-file) pass_file=${2:?}; shift 2 ;;
    --timestamp) timestamp=${2:?}; shift 2 ;;
    --) shift; files+=("$@"); break ;;
    -*) usage ;;
    *) files+=("$1"); shift ;;
  esac
done
((${#files[@]})) || usage
osslsigncode=/usr/bin/osslsigncode
[[ -x $osslsigncode ]] || die "osslsigncode is not installed (apt-get install osslsigncode)"

# Secrets handed over in the environment go to files only this user can read,
# removed on the way out.
secrets=$(mktemp -d)
trap 'rm -rf "$secrets"' EXIT
chmod 700 "$secrets"
from_environment() {  # variable file
  [[ -n ${!1:-} ]] || die "no certificate given: use --cert/--key, --pkcs12, or set KELDO_SIGN_CERT and KELDO_SIGN_KEY"
  (umask 077 && printf '%s\n' "${!1}" > "$2")
}
if [[ -z $cert && -z $key && -z $pkcs12 ]]; then
  from_environment KELDO_SIGN_CERT "$secrets/cert.pem"; cert=$secrets/cert.pem
  from_environment KELDO_SIGN_KEY "$secrets/key.pem"; key=$secrets/key.pem
fi
if [[ -z $pass_file && -n ${KELDO_SIGN_KEY_PASSWORD:-} ]]; then
  from_environment KELDO_SIGN_KEY_PASSWORD "$secrets/pass"; pass_file=$secrets/pass
fi
[[ -n $pkcs12 || (-n $cert && -n $key) ]] || die "--cert and --key go together"
for secret in "$cert" "$key" "$pkcs12" "$pass_file"; do
  [[ -n $secret ]] || continue
  [[ -f $secret && -r $secret ]] || die "cannot read $secret"
  case $(realpath "$secret") in
    "$repo"/*) die "$secret lies inside the repository: keep certificates and keys out of it" ;;
  esac
done

identity=()
if [[ -n $pkcs12 ]]; then identity=(-pkcs12 "$pkcs12"); else identity=(-certs "$cert" -key "$key"); fi
[[ -z $pass_file ]] || identity+=(-readpass "$pass_file")
[[ -z $timestamp ]] || identity+=(-ts "$timestamp")

for file in "${files[@]}"; do
  [[ -f $file ]] || die "no file $file"
  name=$(basename "$file" .exe)
  case $name in
    CheckKeldoSupport | CheckKeldoSupport-*.msi) description="Check Keldo Support" ;;
    *) description="Check Keldo Support console report" ;;
  esac
  unsigned=$secrets/unsigned.exe signed=$secrets/signed.exe
  rm -f "$unsigned" "$signed"
  # A file signed before (a test build run again) gets its new signature in
  # place of the old one, not beside it.
  if "$osslsigncode" remove-signature -in "$file" -out "$unsigned" >/dev/null 2>&1; then
    :
  else
    cp -- "$file" "$unsigned"
  fi
  "$osslsigncode" sign "${identity[@]}" -h sha256 -n "$description" \
    -in "$unsigned" -out "$signed" >"$secrets/log" 2>&1 ||
    die "signing $file failed: $(cat "$secrets/log")"
  cat -- "$signed" > "$file"
  echo "signed $file"
done
