#!/usr/bin/env bash
# Builds the Debian package as Debian builds it (dpkg-buildpackage from debian/), checks it with
# lintian (no errors, no warnings), installs it with apt-get, runs the package's autopkgtests
# against the installed program, then purges the package and checks that everything it
# installed is gone. Installing a system package needs root: CI runs this after the unit tests.
#
# The package is built in a copy of the source under <build folder>/debian-package, so that
# neither the source tree nor its parent folder gets build products; the copy is removed at
# the end. A package left installed by an earlier run is purged first.
# Usage: test-package.sh <build folder>     (exit 77: skipped)
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/.." && pwd)
id=org.example.ondrava.Ondrava

if [ "$(id -u)" != 0 ] || ! command -v apt-get >/dev/null; then
  echo "SKIPPED: the package test installs a system package and needs root with apt-get"
  exit 77
fi
for tool in dpkg-buildpackage dh lintian; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (run scripts/deps)"; exit 1; }
done

version=$(dpkg-parsechangelog -l "$source_dir/debian/changelog" -S Version)
stage=$build/debian-package
tree=$stage/ondrava-$version
installed() { dpkg-query -W -f='${Status}' ondrava 2>/dev/null | grep -q "ok installed"; }
purge() { DEBIAN_FRONTEND=noninteractive apt-get purge -y -q ondrava >"$stage/purge.log" 2>&1 || { cat "$stage/purge.log"; return 1; }; }
cleanup() {
  if installed; then purge || true; fi
  rm -rf "$stage"
}
trap cleanup EXIT
rm -rf "$stage"
mkdir -p "$tree"
chmod 755 "$stage"

echo "== building the package"
# The source without build folders and version-control data.
tar -C "$source_dir" --exclude=./.git --exclude='./build*' --exclude=./obj-\* -cf - . | tar -C "$tree" -xf -
start=$(date +%s)
# A compiler cache, where installed, makes a rebuild cheap: the stable path above keeps its
# entries valid, and the cache folder is named because debhelper gives the build a home of
# its own.
if [ -d /usr/lib/ccache ]; then
  export PATH=/usr/lib/ccache:$PATH
  export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/ccache}
fi
(cd "$tree" && dpkg-buildpackage -us -uc -b) >"$stage/build.log" 2>&1 \
  || { tail -n 60 "$stage/build.log"; echo "FAIL: dpkg-buildpackage failed (log above)"; exit 1; }
echo "dpkg-buildpackage took $(( $(date +%s) - start ))s"
deb=$stage/ondrava_${version}_$(dpkg-architecture -qDEB_HOST_ARCH).deb
changes=$stage/ondrava_${version}_$(dpkg-architecture -qDEB_HOST_ARCH).changes
[ -f "$deb" ] || { echo "FAIL: no package $deb"; ls "$stage"; exit 1; }
echo "$(basename "$deb")"

failed=0
fail() { echo "FAIL: $*"; failed=1; }
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = ondrava ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)'"
[ "$(field Section)" = video ] || fail "Section is '$(field Section)'"
[ "$(field Maintainer)" = "Ondrava team <packages@ondrava.example.org>" ] || fail "Maintainer is '$(field Maintainer)'"
for dep in libqt6core6 libqt6gui6 libqt6widgets6 libqt6dbus6 libqt6multimedia6 libcurl4 ffmpeg; do
  field Depends | tr ',' '\n' | grep -qE "^ *$dep( |$)" || fail "Depends lacks $dep: $(field Depends)"
done
[ "$failed" = 0 ] || exit 1

echo "== lintian"
# Everything lintian reports is shown; errors and warnings fail the build.
lintian --display-info --fail-on error,warning "$changes" || fail "lintian reports errors or warnings"
[ "$failed" = 0 ] || exit 1

if installed; then
  echo "== purging the package left by an earlier run"
  purge
fi

echo "== installing"
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb" >"$stage/install.log" 2>&1 \
  || { cat "$stage/install.log"; exit 1; }
dpkg-query -L ondrava >"$stage/files"
# bin/ondrava is a relative link to the executable in the program directory.
case "$(readlink /usr/bin/ondrava)" in
  ../lib/ondrava/?*) ;;
  *) fail "/usr/bin/ondrava links to '$(readlink /usr/bin/ondrava)'" ;;
esac
exe=$(readlink -f /usr/bin/ondrava)
[ -f "$exe" ] && [ -x "$exe" ] && [ "$(dirname "$exe")" = /usr/lib/ondrava ] || fail "/usr/bin/ondrava does not lead to the executable"
[ "$(readlink -f /usr/lib/ondrava/ffmpeg)" = "$(readlink -f /usr/bin/ffmpeg)" ] \
    || fail "/usr/lib/ondrava/ffmpeg links to '$(readlink /usr/lib/ondrava/ffmpeg)'"
for f in /usr/lib/ondrava/presets.xml /usr/lib/ondrava/Languages/English.lng /usr/lib/ondrava/Sounds/converted.wav \
         /usr/share/applications/$id.desktop /usr/share/metainfo/$id.metainfo.xml \
         /usr/share/icons/hicolor/scalable/apps/$id.svg /usr/share/icons/hicolor/48x48/apps/$id.png \
         /usr/share/man/man1/ondrava.1.gz /usr/share/doc/ondrava/copyright /usr/share/doc/ondrava/changelog.gz \
         /usr/share/kio/servicemenus/$id-convert.desktop /usr/share/kio/servicemenus/$id-convert-to.desktop \
         /usr/share/nemo/actions/$id-convert.nemo_action /usr/share/nemo/actions/$id-convert-mp4.nemo_action; do
  [ -f "$f" ] || fail "$f is missing"
  grep -qxF "$f" "$stage/files" || fail "$f is not listed as the package's own"
done
[ "$failed" = 0 ] || exit 1

echo "== the package's autopkgtests against the installed program"
tests=$(sed -n 's/^Tests: *//p' "$tree/debian/tests/control" | tr ', ' '\n\n' | sed '/^$/d')
for t in $tests; do
  echo "-- $t"
  mkdir -p "$stage/autopkgtest/$t"
  start=$(date +%s)
  (cd "$tree" && AUTOPKGTEST_TMP="$stage/autopkgtest/$t" "debian/tests/$t") || fail "autopkgtest $t failed"
  echo "-- $t took $(( $(date +%s) - start ))s"
done
[ "$failed" = 0 ] || exit 1

echo "== purging"
purge
installed && fail "the package is still installed after the purge"
[ ! -e /usr/lib/ondrava ] || fail "/usr/lib/ondrava is left after the purge"
[ -z "$(dpkg-query -W -f='${Status}' ondrava 2>/dev/null | grep -v not-installed)" ] || fail "dpkg still knows the package"
# Every file and link the package brought must be gone; shared folders such as /usr/share stay.
while read -r f; do
  if [ -L "$f" ] || [ -f "$f" ]; then fail "$f is left after the purge"; fi
  case "$f" in /usr/lib/ondrava*|/usr/share/doc/ondrava*) [ ! -e "$f" ] || fail "$f is left after the purge" ;; esac
done <"$stage/files"
[ "$failed" = 0 ] || exit 1
echo "package builds, passes lintian, installs, runs and uninstalls cleanly"
