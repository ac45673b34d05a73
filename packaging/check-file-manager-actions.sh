#!/usr/bin/env bash
# Checks the file managers' actions as installed and runs every one of them on a real clip.
#
# Dolphin's service menus (share/kio/servicemenus) are desktop files of type Service: the
# validator accepts them except for the two keys a service menu needs and an application
# entry owns (MimeType and Actions). Nemo's actions (share/nemo/actions) are key files of
# their own: their required keys are checked here.
#
# Each action's command line is then expanded the way its file manager expands it and run
# through the installed program, offscreen, on a clip whose name holds blanks, quotes, a
# dollar sign and non-ASCII letters:
#   Dolphin: the Exec line is split at blanks (it holds no quotes) and %f becomes the
#            selected file's path, one argument;
#   Nemo:    %F becomes the path in double quotes with its double quotes escaped (Quote=double),
#            and the line is split by the shell's quoting rules, without a shell.
# Every action must convert by itself and close: the one without a format to the format the
# fresh settings choose, the others to their own format (AVI, the clip's own, to the next free
# name), checked with ffprobe.
#
# Usage: check-file-manager-actions.sh <share folder> <bin folder holding ondrava> <ffmpeg>
#        check-file-manager-actions.sh --build <build folder> <ffmpeg>   (installs it first)
# Exit 77: skipped (a tool is missing).
set -euo pipefail
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
if [ "${1:-}" = --build ]; then
  build=${2:?build folder} ffmpeg=${3:?ffmpeg}
  cmake --install "$build" --prefix "$tmp/prefix" >"$tmp/install.log" || { cat "$tmp/install.log"; exit 1; }
  share=$tmp/prefix/share bin=$tmp/prefix/bin
else
  share=${1:?share folder} bin=${2:?bin folder} ffmpeg=${3:?ffmpeg}
fi
limit=${ONDRAVA_RUN_LIMIT:-120}
kio=$share/kio/servicemenus
nemo=$share/nemo/actions
id=org.example.ondrava.Ondrava
formats=(mp4 webm flv mkv mpg avi mov wmv 3gp mp3 aac flac)

for tool in desktop-file-validate python3 ffprobe; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is missing"; exit 77; }
done
[ -x "$bin/ondrava" ] || { echo "FAIL: $bin/ondrava is missing"; exit 1; }

failed=0
fail() { echo "FAIL: $*"; failed=1; }

# ---- the files
mime_types=$(sed -n 's/^MimeType=//p' "$share/applications/$id.desktop")
[ -n "$mime_types" ] || fail "the desktop entry names no MIME types"

kio_files=("$kio/$id-convert.desktop" "$kio/$id-convert-to.desktop")
for f in "${kio_files[@]}"; do
  [ -f "$f" ] || { fail "$f is missing"; continue; }
  out=$(desktop-file-validate "$f" 2>&1 || true)
  rest=$(grep -v -e 'key "MimeType" is present in group "Desktop Entry", but the type is "Service"' \
                 -e 'key "Actions" is present in group "Desktop Entry", but the type is "Service"' <<<"$out" || true)
  [ -z "$rest" ] || fail "desktop-file-validate: $rest"
  grep -qx 'Type=Service' "$f" || fail "$f is not a service menu"
  [ "$(sed -n 's/^MimeType=//p' "$f")" = "$mime_types" ] || fail "$f offers other types than the desktop entry"
done
[ "$(sed -n 's/^X-KDE-Submenu=//p' "$kio/$id-convert-to.desktop")" = "Convert with Ondrava to" ] \
    || fail "the formats are not in the submenu 'Convert with Ondrava to'"

nemo_files=("$nemo/$id-convert.nemo_action")
for fmt in "${formats[@]}"; do nemo_files+=("$nemo/$id-convert-$fmt.nemo_action"); done
for f in "${nemo_files[@]}"; do
  [ -f "$f" ] || { fail "$f is missing"; continue; }
  [ "$(head -n1 "$f")" = "[Nemo Action]" ] || fail "$f does not begin with [Nemo Action]"
  for key in Name Exec Selection Mimetypes; do
    grep -q "^$key=." "$f" || fail "$f lacks $key"
  done
  grep -qx 'Selection=s' "$f" || fail "$f is not for one selected file"
  grep -qx 'Quote=double' "$f" || fail "$f does not quote the path"
  [ "$(sed -n 's/^Mimetypes=//p' "$f")" = "$mime_types" ] || fail "$f offers other types than the desktop entry"
done
[ "$failed" = 0 ] || exit 1

# ---- the actions: "label<TAB>manager<TAB>Exec<TAB>format" per line
actions=$tmp/actions
: >"$actions"
python3 - "${kio_files[@]}" >>"$actions" <<'EOF'
import re, sys
for path in sys.argv[1:]:
    group, values = None, {}
    for line in open(path, encoding="utf-8"):
        line = line.rstrip("\n")
        m = re.fullmatch(r"\[(.*)\]", line)
        if m:
            group = m.group(1)
            continue
        if group and group.startswith("Desktop Action ") and "=" in line:
            key, value = line.split("=", 1)
            values.setdefault(group, {})[key] = value
    for group, v in values.items():
        fmt = re.search(r"-format=(\S+)", v["Exec"])
        print(f"{v['Name']}\tdolphin\t{v['Exec']}\t{fmt.group(1) if fmt else ''}")
EOF
for f in "${nemo_files[@]}"; do
  exec_line=$(sed -n 's/^Exec=//p' "$f")
  fmt=$(sed -n 's/.*-format=\([^ ]*\).*/\1/p' <<<"$exec_line")
  printf '%s\tnemo\t%s\t%s\n' "$(sed -n 's/^Name=//p' "$f")" "$exec_line" "$fmt" >>"$actions"
done
[ "$(grep -c $'\tdolphin\t' "$actions")" = 13 ] || fail "Dolphin offers $(grep -c $'\tdolphin\t' "$actions") actions, not 13"
[ "$(grep -c $'\tnemo\t' "$actions")" = 13 ] || fail "Nemo offers $(grep -c $'\tnemo\t' "$actions") actions, not 13"
for fmt in "${formats[@]}"; do
  [ "$(cut -f4 "$actions" | grep -cx "$fmt")" = 2 ] || fail "-format=$fmt is not offered once in each file manager"
done
[ "$failed" = 0 ] || exit 1

# The command line as the file manager builds it, one argument per line (NUL-separated).
expand() {  # manager exec path
  python3 - "$@" <<'EOF'
import shlex, sys
manager, exec_line, path = sys.argv[1:]
if manager == "dolphin":
    if any(c in exec_line for c in "\"'\\"):
        sys.exit("the Exec line holds quotes")
    argv = [path if word == "%f" else word for word in exec_line.split()]
    if argv.count(path) != 1:
        sys.exit("the Exec line must hold %f once, as an argument of its own")
else:
    quoted = '"' + path.replace('"', '\\"') + '"'
    argv = shlex.split(exec_line.replace("%F", quoted))
sys.stdout.write("\0".join(argv))
EOF
}

clip_name="my clip \"one\" it's \$HOME – ünï.avi"
"$ffmpeg" -nostdin -loglevel error -y -f lavfi -i testsrc=size=160x120:rate=25:duration=1 \
    -f lavfi -i sine=frequency=440:duration=1 -c:v mpeg4 -c:a pcm_s16le -shortest "$tmp/clip.avi" </dev/null

n=0
while IFS=$'\t' read -r label manager exec_line fmt; do
  n=$((n + 1))
  work=$tmp/run$n
  mkdir -p "$work/media" "$work/config" "$work/data" "$work/runtime"
  chmod 700 "$work/runtime"
  clip=$work/media/$clip_name
  cp "$tmp/clip.avi" "$clip"
  expand "$manager" "$exec_line" "$clip" >"$work/argv" || { fail "$manager '$label': cannot expand '$exec_line'"; continue; }
  mapfile -d '' argv <"$work/argv"
  [ "${argv[0]}" = ondrava ] || { fail "$manager '$label' runs '${argv[0]}', not ondrava"; continue; }

  env PATH="$bin:$PATH" QT_QPA_PLATFORM=offscreen \
      XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime" \
      ONDRAVA_SITE_URL=http://127.0.0.1:9 \
      "${argv[@]}" </dev/null >"$work/program.log" 2>&1 &
  pid=$!
  waited=0
  while kill -0 "$pid" 2>/dev/null && [ "$waited" -lt "$limit" ]; do
    sleep 1
    waited=$((waited + 1))
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    fail "$manager '$label': the program did not close by itself within ${limit}s"
    continue
  fi
  rc=0
  wait "$pid" || rc=$?
  [ "$rc" = 0 ] || { fail "$manager '$label': the program exited with $rc"; cat "$work/program.log"; continue; }

  mapfile -t made < <(find "$work/media" -type f ! -name "$clip_name")
  if [ "${#made[@]}" != 1 ]; then
    fail "$manager '$label': made ${#made[@]} files beside the clip: ${made[*]-}"
    continue
  fi
  out=${made[0]}
  # The clip's own format gets the next free name.
  want=${clip_name%.avi}.$fmt
  [ "$fmt" = avi ] && want=${clip_name%.avi}[1].avi
  if [ -n "$fmt" ] && [ "$out" != "$work/media/$want" ]; then
    fail "$manager '$label': the output is '$(basename "$out")', not '$want'"
    continue
  fi
  container=$(ffprobe -v error -show_entries format=format_name -of default=nw=1:nk=1 "$out" </dev/null) \
      || { fail "$manager '$label': ffprobe cannot read $(basename "$out")"; continue; }
  echo "$manager '$label': $(basename "$out") ($container) in about ${waited}s"
done <"$actions"

[ "$failed" = 0 ] && echo "the file managers' actions are valid and convert through the installed program"
exit $failed
