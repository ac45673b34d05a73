#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks the tree, moves it elsewhere and runs the
# program there through its bin/ link: it must find its data and the media tool beside itself.
# Usage: check-install-tree.sh <build folder> <ffmpeg> <the built executable>
set -euo pipefail
build=${1:?build folder} ffmpeg=${2:?ffmpeg} built=${3:?the built executable}
exe=$(basename "$built")
here=$(cd "$(dirname "$0")" && pwd)
id=org.example.ondrava.Ondrava
data=$here/../data

if [ ! -f "$built" ] || [ ! -x "$built" ]; then
  echo "FAIL: build the program first ($built is missing)"
  exit 1
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" || { cat "$tmp/install.log"; exit 1; }

failed=0
fail() { echo "FAIL: $*"; failed=1; }
pd=$prefix/lib/ondrava
[ -f "$pd/$exe" ] && [ -x "$pd/$exe" ] && [ ! -L "$pd/$exe" ] || fail "lib/ondrava/$exe is not the executable"
[ "$(readlink "$pd/ffmpeg")" = "$(readlink -f "$ffmpeg")" ] || [ "$(readlink "$pd/ffmpeg")" = "$ffmpeg" ] \
    || fail "lib/ondrava/ffmpeg links to '$(readlink "$pd/ffmpeg")', not $ffmpeg"
[ "$(readlink "$prefix/bin/ondrava")" = "../lib/ondrava/$exe" ] \
    || fail "bin/ondrava links to '$(readlink "$prefix/bin/ondrava")'"
# The program directory holds exactly the data files, as the build tree's does.
(cd "$data" && find . -type f ! -path ./CMakeLists.txt | sort) >"$tmp/want"
(cd "$pd" && find . -type f ! -path "./$exe" | sort) >"$tmp/got"
diff -u "$tmp/want" "$tmp/got" || fail "the program directory's data differ from data/"
while read -r f; do
  cmp -s "$data/$f" "$pd/$f" || fail "$f differs from data/$f"
done <"$tmp/want"
for f in applications/$id.desktop metainfo/$id.metainfo.xml icons/hicolor/scalable/apps/$id.svg \
         icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/$id.png; do
  [ -f "$prefix/share/$f" ] || fail "share/$f is missing"
done
[ "$failed" = 0 ] || exit 1

# A second install over the first must succeed (the links exist by then).
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" || { cat "$tmp/install.log"; exit 1; }

mv "$prefix" "$tmp/moved"
bash "$here/run-auto-convert.sh" "$tmp/moved/bin/ondrava" "$ffmpeg" "$tmp/run"
echo "install tree is complete and runs after a move"
