#!/usr/bin/env bash
# The release checks. Two release builds of the committed tree (scripts/release.sh),
# in different folders at different times, one of them under blanks and with an
# untracked header in its tree, must give byte-identical files; the Windows
# programs must carry the stack protector; the Debian package must hold the
# program, its man page, the README, copyright and changelog, with dependencies
# and the commit it came from, and pass lintian without error; a signature made
# by scripts/sign.sh with a throw-away code-signing CA must verify against that
# CA, and fail once a byte of the file changes or against another CA.
#
#   tests/release/run-release-checks.sh [windows test build folder]
#
# With a folder, its two programs are signed with the same throw-away
# certificate at the end (the Wine suite then runs the signed build). The
# first build's files are left in dist/. Prints one line per check and closes
# with "N passed, N failed"; the exit status is 0 only when all passed.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$repo"
sign_build=${1:-}
work=$(mktemp -d "${TMPDIR:-/tmp}/keldo-release.XXXXXX")
trap 'rm -rf "$work"' EXIT
passed=0 failed=0
record() {  # status text
  if [[ $1 == 0 ]]; then echo "ok - $2"; passed=$((passed + 1)); else echo "not ok - $2"; failed=$((failed + 1)); fi
}
expect() {  # text command...
  local text=$1; shift
  if "$@" >"$work/last.out" 2>&1; then record 0 "$text"; else record 1 "$text"; sed 's/^/#   /' "$work/last.out" | head -20; fi
}
refuse() {  # text command...: the command must fail
  local text=$1; shift
  if "$@" >"$work/last.out" 2>&1; then record 1 "$text"; else record 0 "$text"; fi
}

commit=$(git rev-parse --verify HEAD)
epoch=$(git log -1 --format=%ct HEAD)
# The program's version, as the commit's project() gives it to every file.
version=$(git show "$commit:CMakeLists.txt" | sed -n 's/^project(CheckKeldoSupport VERSION \([^ )]*\).*/\1/p')
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "no version in the commit's CMakeLists.txt project()" >&2; exit 1; }
[[ -z $(git status --porcelain --untracked-files=no) ]] ||
  echo "# the tree has uncommitted changes; the release builds build the commit $commit"

# Each build gets a fresh clone of the commit, in folders of different names
# and depths, so that neither the path nor the build's time may leak.
clone_at() {  # folder
  git clone --quiet --no-checkout "$repo" "$1"
  git -C "$1" checkout --quiet --detach "$commit"
}
build_at() {  # folder name [VAR=value ...]: a clone made first unless there is one
  local folder=$1 name=$2
  shift 2
  [[ -d $folder/.git ]] || clone_at "$folder"
  /usr/bin/time -f "%e s wall, %U s user, %S s system" -o "$work/$name.time" \
    env "$@" bash "$folder/scripts/release.sh" > "$work/$name.log" 2>&1 || {
    tail -n 40 "$work/$name.log"
    record 1 "release build $name"
    return 1
  }
  echo "# release build $name: $(cat "$work/$name.time")"
}
echo "# release build one"
build_at "$work/one/check-keldo-support" one
sleep 2
# The second lies, and builds, under folders with blanks in their names, and
# its working tree holds an untracked header that shadows a system one: only
# the commit may reach the release, so both must give the same bytes.
echo "# release build two"
second="$work/second place/a/much/deeper/folder/src"
planted="$second/src/nlohmann/json.hpp"
mkdir -p "$work/temporary folder"
clone_at "$second"
mkdir -p "$(dirname "$planted")"
printf '#error "an untracked file reached the release"\n' > "$planted"
build_at "$second" two "TMPDIR=$work/temporary folder"
one=$work/one/check-keldo-support/dist
two=$second/dist
msi=CheckKeldoSupport-$version-x64.msi winget=winget/KeldoSupport.CheckKeldoSupport
for file in CheckKeldoSupport.exe keldo-check-report.exe "keldo-check-report_${version}_amd64.deb" "$msi" \
            "CheckKeldoSupport-$version-x64.zip" "$winget.yaml" "$winget.installer.yaml" \
            "$winget.locale.en-US.yaml" SHA256SUMS; do
  expect "reproducible: $file is byte-identical in both builds" cmp "$one/$file" "$two/$file"
done
rm -rf dist
cp -r "$one" dist

echo "# release files"
expect "SHA256SUMS lists the eight files and matches them" \
  bash -c 'cd dist && [[ $(wc -l < SHA256SUMS) == 8 ]] && sha256sum --quiet -c SHA256SUMS'
pe_stamp() {  # file: the PE header's TimeDateStamp
  python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(4096); o=struct.unpack_from("<I",d,0x3c)[0]
assert d[o:o+4]==b"PE\0\0"; print(struct.unpack_from("<I",d,o+8)[0])' "$1"
}
for exe in CheckKeldoSupport keldo-check-report; do
  expect "$exe.exe: no time stamp in the PE header" test "$(pe_stamp "dist/$exe.exe")" = 0
  expect "$exe.exe: the version record holds $version and the commit in Comments" \
    bash -c 'strings -el "$1" | tr "\n" " " | grep -qF "ProductVersion $3 Comments Source commit $2 "' _ \
    "dist/$exe.exe" "$commit" "$version"
done

# MinGW's libssp holds the failure handlers of the stack protector and of the
# fortified calls; it is linked into a program only when its code calls them,
# and must be linked statically (no libssp DLL beside the program). A stripped
# program keeps no sure trace of the fortified calls themselves (where GCC
# proves a size it calls the plain function), so the check is of the protector
# and of the runtime both share.
for exe in CheckKeldoSupport keldo-check-report; do
  expect "$exe.exe: built with the stack protector, libssp linked statically" \
    bash -c 'strings -a "$1" > "$2" && grep -q "stack smashing detected" "$2" &&
      grep -q "buffer overflow detected" "$2" &&
      ! x86_64-w64-mingw32-objdump -p "$1" | grep -qi "DLL Name: libssp"' _ "dist/$exe.exe" "$work/strings.txt"
done

deb=dist/keldo-check-report_${version}_amd64.deb
dpkg-deb --info "$deb" > "$work/deb.info"
TZ=UTC dpkg-deb --contents "$deb" > "$work/deb.contents"
sed 's/^/# /' "$work/deb.info"
for field in "Package: keldo-check-report" "Version: $version" "Architecture: amd64"; do
  expect "package: $field" grep -qx " $field" "$work/deb.info"
done
expect "package: dependencies from dpkg-shlibdeps (libc6, libcurl4, libssl3, libstdc++6)" \
  bash -c 'd=$(sed -n "s/^ Depends: //p" "$1"); for p in libc6 libcurl4 libssl3 libstdc++6; do
    [[ ", $d," == *", $p ("* ]] || exit 1; done' _ "$work/deb.info"
for field in "Recommends: ca-certificates, libglib2.0-bin" "Suggests: gvfs-backends"; do
  expect "package: $field" grep -qx " $field" "$work/deb.info"
done
expect "package: the Maintainer is a name and an address" \
  grep -qE '^ Maintainer: [^<>]+ <[^<>@ ]+@[^<>@ ]+>$' "$work/deb.info"
doc=./usr/share/doc/keldo-check-report
for path in ./usr/bin/keldo-check-report ./usr/share/man/man1/keldo-check-report.1.gz \
            $doc/README.md.gz $doc/copyright $doc/changelog.gz; do
  expect "package holds $path" grep -q " $path\$" "$work/deb.contents"
done
lintian --fail-on error "$deb" > "$work/lintian.out" 2>&1 && lintian_status=0 || lintian_status=$?
sed -e '/^running with root privileges/d' -e 's/^/# lintian: /' "$work/lintian.out"
record "$lintian_status" "package: lintian finds no error"
expect "package: every entry owned by root/root, times at the commit's ($(date -u -d "@$epoch" +%FT%TZ))" \
  bash -c 'awk -v t="$(date -u -d "@$2" "+%Y-%m-%d %H:%M")" \
    "\$2 != \"root/root\" || \$4 \" \" \$5 != t { print; bad = 1 } END { exit bad }" "$1"' _ \
    "$work/deb.contents" "$epoch"
mkdir "$work/deb"
dpkg-deb -x "$deb" "$work/deb"
report=$work/deb/usr/bin/keldo-check-report
expect "packaged keldo-check-report --version names $version and the commit" \
  test "$("$report" --version)" = "keldo-check-report $version
source commit $commit"
expect "packaged keldo-check-report --help runs" bash -c '"$1" --help | grep -q "^Usage: keldo-check-report"' _ "$report"
expect "packaged program has no .comment or .note section" \
  bash -c '! readelf -S -W "$1" | grep -qE " \.(comment|note) "' _ "$report"
expect "packaged README is the commit's README.md, compressed as Debian does (gzip -9n)" \
  bash -c 'git show "$2:README.md" | gzip -9n | cmp - "$1"' _ "$work/deb/$doc/README.md.gz" "$commit"
expect "packaged copyright is machine-readable, the Expat (MIT) licence of LICENSE" \
  bash -c 'head -1 "$1" | grep -qx "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" &&
    grep -qx "License: Expat" "$1" && grep -qx "MIT License" <(git show "$2:LICENSE")' _ "$work/deb/$doc/copyright" "$commit"
zcat "$work/deb/usr/share/man/man1/keldo-check-report.1.gz" > "$work/man.txt"
expect "packaged man page is made from docs/report.md" grep -qF '\fB\-\-json\fR' "$work/man.txt"

echo "# signing"
pki=$work/pki
mkdir "$pki"
make_ca() {  # name common-name
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$pki/$1.key" -out "$pki/$1.pem" -days 2 \
    -subj "/CN=$2" -addext basicConstraints=critical,CA:TRUE \
    -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
}
make_ca ca "Throw-away code-signing CA"
make_ca other-ca "Another throw-away CA"
printf '%s\n' basicConstraints=critical,CA:FALSE keyUsage=critical,digitalSignature \
  extendedKeyUsage=codeSigning > "$pki/signer.ext"
openssl req -newkey rsa:2048 -nodes -keyout "$pki/signer.key" -out "$pki/signer.csr" \
  -subj "/CN=Throw-away code signer" 2>/dev/null
openssl x509 -req -in "$pki/signer.csr" -CA "$pki/ca.pem" -CAkey "$pki/ca.key" -CAcreateserial \
  -days 2 -extfile "$pki/signer.ext" -out "$pki/signer.pem" 2>/dev/null
verify() {  # ca-file file
  /usr/bin/osslsigncode verify -CAfile "$1" -in "$2" >"$work/verify.out" 2>&1 && grep -q '^Signature verification: ok' "$work/verify.out"
}
signed=$work/signed
mkdir "$signed"
cp dist/CheckKeldoSupport.exe dist/keldo-check-report.exe "dist/$msi" "$signed/"
expect "sign.sh signs with certificate and key files named on the command line" \
  bash scripts/sign.sh --cert "$pki/signer.pem" --key "$pki/signer.key" "$signed/CheckKeldoSupport.exe"
expect "sign.sh signs with certificate and key from the environment" \
  env KELDO_SIGN_CERT="$(cat "$pki/signer.pem")" KELDO_SIGN_KEY="$(cat "$pki/signer.key")" \
  bash scripts/sign.sh "$signed/keldo-check-report.exe"
expect "sign.sh signs the installer package" \
  bash scripts/sign.sh --cert "$pki/signer.pem" --key "$pki/signer.key" "$signed/$msi"
for file in CheckKeldoSupport.exe keldo-check-report.exe "$msi"; do
  expect "$file: the signature verifies against the throw-away CA" verify "$pki/ca.pem" "$signed/$file"
  expect "$file: the digest is SHA-256" grep -q 'Message digest algorithm *: SHA256' "$work/verify.out"
  refuse "$file: another CA does not vouch for it" verify "$pki/other-ca.pem" "$signed/$file"
done
# One changed byte in the code, well inside the first section.
cp "$signed/CheckKeldoSupport.exe" "$work/changed.exe"
printf '\x5a' | dd of="$work/changed.exe" bs=1 seek=5000 conv=notrunc status=none
expect "the changed file differs from the signed one" bash -c '! cmp -s "$1" "$2"' _ "$signed/CheckKeldoSupport.exe" "$work/changed.exe"
refuse "a signed file with a changed byte fails verification" verify "$pki/ca.pem" "$work/changed.exe"
cp "$signed/keldo-check-report.exe" "$work/again.exe"
bash scripts/sign.sh --cert "$pki/signer.pem" --key "$pki/signer.key" "$work/again.exe" >/dev/null
expect "signing a signed file again replaces its signature: same size" \
  test "$(stat -c %s "$signed/keldo-check-report.exe")" = "$(stat -c %s "$work/again.exe")"
expect "signing a signed file again replaces its signature: one signature, verifies" \
  bash -c '/usr/bin/osslsigncode verify -CAfile "$1" -in "$2" > "$3" 2>&1 &&
    grep -q "^Signature verification: ok" "$3" && ! grep -q "^Signature Index: 1" "$3"' _ \
  "$pki/ca.pem" "$work/again.exe" "$work/again.out"
/usr/bin/osslsigncode remove-signature -in "$signed/keldo-check-report.exe" -out "$work/unsigned.exe" >/dev/null
expect "removing the signature gives back the released bytes" cmp "$work/unsigned.exe" dist/keldo-check-report.exe
# An RFC 3161 time stamp from a throw-away time-stamp server on loopback.
printf '%s\n' basicConstraints=critical,CA:FALSE keyUsage=critical,digitalSignature \
  extendedKeyUsage=critical,timeStamping > "$pki/tsa.ext"
openssl req -newkey rsa:2048 -nodes -keyout "$pki/tsa.key" -out "$pki/tsa.csr" \
  -subj "/CN=Throw-away time-stamp server" 2>/dev/null
openssl x509 -req -in "$pki/tsa.csr" -CA "$pki/ca.pem" -CAkey "$pki/ca.key" -CAcreateserial \
  -days 2 -extfile "$pki/tsa.ext" -out "$pki/tsa.pem" 2>/dev/null
printf '%s\n' '[ tsa ]' 'default_tsa = standin' '[ standin ]' "serial = $pki/tsa.serial" \
  "signer_cert = $pki/tsa.pem" "certs = $pki/ca.pem" "signer_key = $pki/tsa.key" \
  'signer_digest = sha256' 'default_policy = 1.2.3.4.1' 'digests = sha256, sha384, sha512' \
  'accuracy = secs:1' 'ess_cert_id_alg = sha256' > "$pki/tsa.cnf"
echo 01 > "$pki/tsa.serial"
python3 tests/release/tsa_standin.py "$pki/tsa.cnf" > "$work/tsa.out" 2>"$work/tsa.err" &
tsa_pid=$!
trap 'kill "$tsa_pid" 2>/dev/null || true; rm -rf "$work"' EXIT
tsa_port=''
for _ in $(seq 100); do
  tsa_port=$(sed -n 's/^port=//p' "$work/tsa.out")
  [[ -n $tsa_port ]] && break
  sleep 0.1
done
cp dist/CheckKeldoSupport.exe "$work/stamped.exe"
expect "sign.sh --timestamp adds an RFC 3161 time stamp" \
  bash scripts/sign.sh --cert "$pki/signer.pem" --key "$pki/signer.key" \
  --timestamp "http://127.0.0.1:$tsa_port" "$work/stamped.exe"
expect "the time stamp verifies against the time-stamp server's CA" \
  bash -c '/usr/bin/osslsigncode verify -CAfile "$1" -TSA-CAfile "$1" -in "$2" > "$3" 2>&1 &&
    grep -q "^Timestamp Server Signature verification: ok" "$3" &&
    grep -q "^Signature verification: ok" "$3"' _ "$pki/ca.pem" "$work/stamped.exe" "$work/stamped.out"
kill "$tsa_pid" 2>/dev/null || true
wait "$tsa_pid" 2>/dev/null || true
mkdir -p build
cp "$pki/signer.key" build/release-check-signer.key
refuse "sign.sh refuses a key inside the repository" \
  bash scripts/sign.sh --cert "$pki/signer.pem" --key build/release-check-signer.key "$work/again.exe"
rm -f build/release-check-signer.key
expect "the signed keldo-check-report.exe runs under Wine and names the commit" \
  bash -c '"$1" --root "$2" "$3" --version | tr -d "\r" | grep -qx "source commit $4"' _ \
  "$repo/cmake/wine-private-prefix.sh" "${sign_build:-$work}/wine" "$signed/keldo-check-report.exe" "$commit"

echo "# the Windows Installer package, the .zip and the winget manifests"
maintainer=$(sed -n 's/^ Maintainer: //p' "$work/deb.info")
property() { /usr/bin/msiinfo export "$1" Property | tr -d '\r' | sed -n "s/^$2\t//p"; }
IFS=. read -r major minor patch <<< "$version"
product_version=$((10#$major)).$((10#$minor)).$((10#$patch))
expect "package: ProductVersion $product_version (the fields as numbers); publisher, contact: the .deb's Maintainer" \
  test "$(property "dist/$msi" ProductVersion) $(property "dist/$msi" Manufacturer) / $(property "dist/$msi" ARPCONTACT)" \
  = "$product_version ${maintainer% <*} / $maintainer"
expect "package: no service, registry value, custom action, environment or .ini change" bash -c 'for table in \
  ServiceInstall Registry CustomAction Environment IniFile; do (($(/usr/bin/msiinfo export "$1" $table | wc -l) <= 3)) || exit 1; done' _ "dist/$msi"
expect "the .zip holds the two released programs" bash -c 'for exe in CheckKeldoSupport.exe keldo-check-report.exe; do
  unzip -p "dist/CheckKeldoSupport-$1-x64.zip" "CheckKeldoSupport-$1/$exe" | cmp - "dist/$exe" || exit 1; done' _ "$version"
expect "winget: schema 1.6.0's required fields, the package's SHA-256 and ProductCode" python3 -c '
import hashlib, sys, yaml
base, msi, code = sys.argv[1:]
for suffix, kind, fields in [("", "version", ["DefaultLocale"]), (".installer", "installer", ["InstallerType"]),
    (".locale.en-US", "defaultLocale", ["PackageLocale", "Publisher", "PackageName", "License", "ShortDescription"])]:
    m = yaml.safe_load(open(base + suffix + ".yaml"))
    assert all(m.get(f) for f in fields + ["PackageIdentifier", "PackageVersion"]), suffix
    assert (m["ManifestType"], m["ManifestVersion"]) == (kind, "1.6.0"), suffix
m = yaml.safe_load(open(base + ".installer.yaml"))
(one,) = m["Installers"]
assert one["Architecture"] == "x64" and one["InstallerUrl"].startswith("https://") and m["ProductCode"] == code
assert one["InstallerSha256"] == hashlib.sha256(open(msi, "rb").read()).hexdigest().upper()' \
  "dist/$winget" "dist/$msi" "$(property "dist/$msi" ProductCode)"
# What the release runs, from the commit it built.
package_tools=$work/one/check-keldo-support/tools/windows-package
make_msi() {  # out version programs [option...]
  /usr/bin/python3 "$package_tools/make_msi.py" --maintainer "$maintainer" --epoch "$epoch" \
    --website "$(property "dist/$msi" ARPURLINFOABOUT)" --out "$1" --version "$2" --programs "$3" "${@:4}"
}
refused_package() {  # version programs [option...]: one line, and no package, nor part of one
  ! make_msi "$work/bad.msi" "$@" 2> "$work/bad.err" && [[ $(wc -l < "$work/bad.err") == 1 ]] &&
    cat "$work/bad.err" && [[ ! -e $work/bad.msi ]] && ! compgen -G "$work/.msi.*"
}
for row in "a version above Windows Installer's limits|1.256.0001 dist" "a version of two parts|1.00 dist" \
           "a missing program|$version $work/nowhere" "wixl absent|$version dist --wixl /nonexistent/wixl" \
           "wixl failing|$version dist --wixl /bin/false"; do
  read -ra arguments <<< "${row#*|}"
  expect "package refused for ${row%%|*}" refused_package "${arguments[@]}"
done
# One changed byte halfway, inside the programs' cabinet.
cp "$signed/$msi" "$work/changed.msi"
printf '\x5a' | dd of="$work/changed.msi" bs=1 seek=$(($(stat -c %s "$work/changed.msi") / 2)) conv=notrunc status=none
expect "the changed package differs from the signed one" bash -c '! cmp -s "$1" "$2"' _ "$signed/$msi" "$work/changed.msi"
refuse "a signed package with a changed byte fails verification" verify "$pki/ca.pem" "$work/changed.msi"
# The upgrade: the same programs, packaged by the same code as a higher version.
newer_version=${version%.*}.$(printf '%0*d' ${#patch} $((10#$patch + 1)))
newer=$signed/CheckKeldoSupport-$newer_version-x64.msi
make_newer() { make_msi "$newer" "$newer_version" dist && bash scripts/sign.sh --cert "$pki/signer.pem" \
  --key "$pki/signer.key" "$newer"; }
expect "a package of $newer_version made from the released programs, signed" make_newer
echo "# under Wine: the signed package of $version, then $newer_version"
bash tests/release/run-msi-checks.sh "$signed/$msi" "$newer" "${sign_build:-$work}/wine" 2>&1 |
  tee "$work/msi.out" && msi_status=0 || msi_status=$?
passed=$((passed + $(grep -c '^ok - ' "$work/msi.out" || true)))
record "$msi_status" "the package's checks under Wine all passed"

if [[ -n $sign_build ]]; then
  echo "# signing the test build in $sign_build"
  for exe in "$sign_build/src/window/CheckKeldoSupport.exe" "$sign_build/src/report/keldo-check-report.exe"; do
    expect "test build $(basename "$exe") signed" \
      bash scripts/sign.sh --cert "$pki/signer.pem" --key "$pki/signer.key" "$exe"
    expect "test build $(basename "$exe") verifies" verify "$pki/ca.pem" "$exe"
  done
fi

echo "# release builds: one $(cat "$work/one.time"); two $(cat "$work/two.time")"
echo "$passed passed, $failed failed"
((failed == 0))
