#!/usr/bin/env bash
# Builds the release files from the committed tree into dist/: the two Windows
# programs, their Windows Installer package (tools/windows-package), a
# portable .zip of them and winget manifests of the package, the Debian
# package of the console report, and SHA256SUMS. The same commit gives the
# same bytes wherever and whenever it is built. The build runs in an export
# of the commit (git archive) in a temporary folder, so nothing else in the
# working tree (an untracked header, an old build) can reach it.
#
#   scripts/release.sh [--sign [scripts/sign.sh options]]
#
# With --sign the two .exe files are signed (scripts/sign.sh) before they are
# packaged, and the .msi after; a signature is new bytes each time, so only
# unsigned files compare equal between builds.
set -euo pipefail
cd "$(dirname "$0")/.."
die() { echo "release.sh: $*" >&2; exit 2; }
sign=()
if (($#)); then
  [[ $1 == --sign ]] || { sed -n '10p' "$0" | sed 's/^# *//' >&2; exit 64; }
  shift; sign=(bash scripts/sign.sh "$@")
fi

# What is built is what is committed, and the build says which commit.
[[ -z $(git status --porcelain --untracked-files=no) ]] ||
  die "the tree has uncommitted changes: commit or stash them first"
KELDO_SOURCE_COMMIT=$(git rev-parse --verify HEAD)
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct HEAD)
export KELDO_SOURCE_COMMIT SOURCE_DATE_EPOCH
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
# A compiler cache would hide a compiler that is not deterministic.
unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
export TZ=UTC LC_ALL=C.UTF-8
umask 022

source=$(mktemp -d "${TMPDIR:-/tmp}/keldo-release.XXXXXX")
trap 'rm -rf "$source"' EXIT
git archive --format=tar "$KELDO_SOURCE_COMMIT" | tar -x -f - -C "$source"
rm -rf dist
for preset in release-windows release-linux; do
  started=$SECONDS
  (cd "$source" && cmake --workflow --preset "$preset")
  echo "release.sh: $preset built in $((SECONDS - started)) s"
done

# dist/ is made whole in the export and moved into place last: a release
# that stops on the way leaves none.
out=$source/dist
mkdir "$out"
cp "$source/build/release-windows/src/window/CheckKeldoSupport.exe" \
   "$source/build/release-windows/src/report/keldo-check-report.exe" "$out/"
cp "$source"/build/release-linux/keldo-check-report_*.deb "$out/"
((${#sign[@]} == 0)) || "${sign[@]}" "$out/CheckKeldoSupport.exe" "$out/keldo-check-report.exe"

# The Windows packages hold the programs as released (signed, when they
# are); the installer package is signed in turn, and the winget manifests
# take its final bytes. The version, the publisher and the website are the
# builds' own.
cache() { sed -n "s/^$1:[A-Z]*=//p" "$source/build/$2/CMakeCache.txt"; }
version=$(cache CMAKE_PROJECT_VERSION release-windows)
facts=(--version "$version" --maintainer "$(cache KELDO_DEB_MAINTAINER release-linux)"
       --website "$(cache KELDO_WEBSITE release-windows)")
tools=$source/tools/windows-package
msi=CheckKeldoSupport-$version-x64.msi
/usr/bin/python3 -B "$tools/make_msi.py" "${facts[@]}" --epoch "$SOURCE_DATE_EPOCH" \
  --programs "$out" --out "$out/$msi" || exit 2
((${#sign[@]} == 0)) || "${sign[@]}" "$out/$msi"
/usr/bin/python3 -B "$tools/make_zip.py" --version "$version" --epoch "$SOURCE_DATE_EPOCH" \
  --programs "$out" --out "$out/CheckKeldoSupport-$version-x64.zip" || exit 2
/usr/bin/python3 -B "$tools/make_winget.py" "${facts[@]}" --msi "$out/$msi" --out "$out/winget" || exit 2
(cd "$out" && sha256sum -- CheckKeldoSupport.exe keldo-check-report.exe keldo-check-report_*.deb \
  "$msi" CheckKeldoSupport-*.zip winget/*.yaml > SHA256SUMS)
mv "$out" dist
echo "release.sh: dist/ for commit $KELDO_SOURCE_COMMIT:"
(cd dist && ls -l && cat SHA256SUMS)
