#!/usr/bin/env bash
# Checks the desktop entry, the software-centre data and the icons: both validators accept
# them, every file type that the source dialog opens is claimed by its MIME type, and every
# PNG has the size its folder names. Exits 77 (skipped) when a validator is missing.
# Usage: check-desktop-files.sh <packaging source folder>
set -euo pipefail
dir=${1:?packaging source folder}
id=org.example.ondrava.Ondrava
desktop=$dir/$id.desktop
metainfo=$dir/$id.metainfo.xml

missing=()
command -v desktop-file-validate >/dev/null || missing+=("desktop-file-validate (package desktop-file-utils)")
command -v appstreamcli >/dev/null || missing+=("appstreamcli (package appstream)")
if [ ${#missing[@]} -gt 0 ]; then
  echo "SKIPPED: validators missing: ${missing[*]}"
  exit 77
fi

failed=0
fail() { echo "FAIL: $*"; failed=1; }

# desktop-file-validate exits 0 on hints; any output is a finding.
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate rejects $desktop"
[ -z "$out" ] || fail "desktop-file-validate: $out"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"

# The file types of the source dialog's filter, as the shared MIME database names them.
mime_types=$(sed -n 's/^MimeType=//p' "$desktop" | tr ';' '\n' | sed '/^$/d')
provided=$(sed -n 's:.*<mediatype>\(.*\)</mediatype>.*:\1:p' "$metainfo")
[ "$(sort <<<"$mime_types")" = "$(sort <<<"$provided")" ] \
    || fail "the desktop entry's MimeType and the metainfo's mediatypes differ"
globs=/usr/share/mime/globs2
if [ -r "$globs" ]; then
  for ext in mp4 flv mkv mpg avi mov wmv m4v 3gp webm asf mp3 m4a wav aac opus flac ape; do
    types=$(awk -F: -v g="*.$ext" '$3 == g { print $2 }' "$globs")
    [ -n "$types" ] || { fail "the MIME database knows no type for .$ext"; continue; }
    claimed=no
    for t in $types; do
      grep -qxF "$t" <<<"$mime_types" && claimed=yes
    done
    [ $claimed = yes ] || fail ".$ext ($(echo $types)) is not in the desktop entry's MimeType"
  done
else
  echo "note: $globs missing, the MIME types were not checked against the database"
fi

# A PNG's width and height are the big-endian words at bytes 16 and 20.
for size in 16 32 48 64 128 256; do
  png=$dir/icons/${size}x${size}/$id.png
  [ -f "$png" ] || { fail "missing $png"; continue; }
  read -r w h < <(od -An -tu1 -j16 -N8 "$png" | awk '{ print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }')
  [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "$png is ${w}x${h}"
done
[ -f "$dir/icons/scalable/$id.svg" ] || fail "missing the scalable icon"

[ $failed = 0 ] && echo "desktop entry, metainfo and icons are valid"
exit $failed
