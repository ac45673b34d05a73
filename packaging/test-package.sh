#!/usr/bin/env bash
# Builds the Debian package from a finished build tree, installs it with apt-get, runs the
# installed program in automatic mode, then purges the package and checks that everything it
# installed is gone. Installing a system package needs root: CI runs this after the unit tests.
# A package left installed by an earlier run is purged first; this run's is purged at the end.
# Usage: test-package.sh <build folder>     (exit 77: skipped)
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
id=org.example.ondrava.Ondrava

if [ "$(id -u)" != 0 ] || ! command -v apt-get >/dev/null; then
  echo "SKIPPED: the package test installs a system package and needs root with apt-get"
  exit 77
fi

installed() { dpkg-query -W -f='${Status}' ondrava 2>/dev/null | grep -q "ok installed"; }
purge() { DEBIAN_FRONTEND=noninteractive apt-get purge -y -q ondrava >"$tmp/purge.log" 2>&1 || { cat "$tmp/purge.log"; return 1; }; }
tmp=$(mktemp -d)
chmod 755 "$tmp"
cleanup() {
  if installed; then purge || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT

echo "== building the package"
(cd "$build" && cpack -G DEB -B "$tmp/pkg") >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; exit 1; }
debs=("$tmp"/pkg/ondrava_*.deb)
deb=${debs[0]}
[ -f "$deb" ] || { echo "FAIL: cpack made no package"; cat "$tmp/cpack.log"; exit 1; }
echo "$(basename "$deb")"

failed=0
fail() { echo "FAIL: $*"; failed=1; }
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = ondrava ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = 0.7.1.37 ] || fail "Version is '$(field Version)'"
[ "$(field Section)" = video ] || fail "Section is '$(field Section)'"
[ "$(field Maintainer)" = "Ondrava team" ] || fail "Maintainer is '$(field Maintainer)'"
for dep in libqt6core6 libqt6gui6 libqt6widgets6 libqt6dbus6 libqt6multimedia6 libcurl4 ffmpeg; do
  field Depends | tr ',' '\n' | grep -qE "^ *$dep( |$)" || fail "Depends lacks $dep: $(field Depends)"
done
[ "$failed" = 0 ] || exit 1

if installed; then
  echo "== purging the package left by an earlier run"
  purge
fi

echo "== installing"
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb" >"$tmp/install.log" 2>&1 \
  || { cat "$tmp/install.log"; exit 1; }
dpkg-query -L ondrava >"$tmp/files"
# bin/ondrava is a relative link to the executable in the program directory.
case "$(readlink /usr/bin/ondrava)" in
  ../lib/ondrava/?*) ;;
  *) fail "/usr/bin/ondrava links to '$(readlink /usr/bin/ondrava)'" ;;
esac
exe=$(readlink -f /usr/bin/ondrava)
[ -f "$exe" ] && [ -x "$exe" ] && [ "$(dirname "$exe")" = /usr/lib/ondrava ] || fail "/usr/bin/ondrava does not lead to the executable"
[ "$(readlink /usr/lib/ondrava/ffmpeg)" = /usr/bin/ffmpeg ] || fail "/usr/lib/ondrava/ffmpeg links to '$(readlink /usr/lib/ondrava/ffmpeg)'"
for f in /usr/lib/ondrava/presets.xml /usr/lib/ondrava/Languages/English.lng /usr/lib/ondrava/Sounds/converted.wav \
         /usr/share/applications/$id.desktop /usr/share/metainfo/$id.metainfo.xml \
         /usr/share/icons/hicolor/scalable/apps/$id.svg /usr/share/icons/hicolor/48x48/apps/$id.png; do
  [ -f "$f" ] || fail "$f is missing"
  grep -qxF "$f" "$tmp/files" || fail "$f is not listed as the package's own"
done
[ "$failed" = 0 ] || exit 1

echo "== running the installed program"
bash "$here/run-auto-convert.sh" /usr/bin/ondrava /usr/bin/ffmpeg "$tmp/run"

echo "== purging"
purge
installed && fail "the package is still installed after the purge"
[ ! -e /usr/lib/ondrava ] || fail "/usr/lib/ondrava is left after the purge"
# Every file and link the package brought must be gone; shared folders such as /usr/share stay.
while read -r f; do
  if [ -L "$f" ] || [ -f "$f" ]; then fail "$f is left after the purge"; fi
  case "$f" in /usr/lib/ondrava*) [ ! -e "$f" ] || fail "$f is left after the purge" ;; esac
done <"$tmp/files"
[ "$failed" = 0 ] || exit 1
echo "package installs, runs and uninstalls cleanly"
