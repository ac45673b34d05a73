#!/usr/bin/env bash
# Runs an installed Ondrava offscreen in automatic mode on a generated clip and checks that it
# writes the MP4 and closes by itself in bounded time. The settings, data and runtime folders
# are fresh ones under the work folder, and update queries go to a refused loopback port.
# Usage: run-auto-convert.sh <program> <ffmpeg> <work folder>
set -euo pipefail
program=${1:?program} ffmpeg=${2:?ffmpeg} work=${3:?work folder}
limit=${ONDRAVA_RUN_LIMIT:-120}

mkdir -p "$work/media" "$work/config" "$work/data" "$work/runtime"
chmod 700 "$work/runtime"
clip=$work/media/clip.avi
"$ffmpeg" -nostdin -loglevel error -y \
    -f lavfi -i testsrc=size=160x120:rate=25:duration=2 \
    -f lavfi -i sine=frequency=440:duration=2 \
    -c:v mpeg4 -c:a mp3 -shortest "$clip" </dev/null \
  || "$ffmpeg" -nostdin -loglevel error -y \
    -f lavfi -i testsrc=size=160x120:rate=25:duration=2 \
    -f lavfi -i sine=frequency=440:duration=2 \
    -c:v mpeg4 -c:a pcm_s16le -shortest "$clip" </dev/null

env QT_QPA_PLATFORM=offscreen \
    XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime" \
    ONDRAVA_SITE_URL=http://127.0.0.1:9 \
    "$program" "-inName=$clip" -format=mp4 -acm=autoClose </dev/null >"$work/program.log" 2>&1 &
pid=$!
waited=0
while kill -0 "$pid" 2>/dev/null; do
  if [ "$waited" -ge "$limit" ]; then
    kill "$pid" 2>/dev/null || true
    sleep 2
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    echo "FAIL: $program did not close by itself within ${limit}s"
    cat "$work/program.log"
    exit 1
  fi
  sleep 1
  waited=$((waited + 1))
done
rc=0
wait "$pid" || rc=$?
if [ "$rc" != 0 ]; then
  echo "FAIL: $program exited with $rc"
  cat "$work/program.log"
  exit 1
fi

out=$work/media/clip.mp4
if [ ! -s "$out" ]; then
  echo "FAIL: no output $out; the media folder holds:"
  ls -la "$work/media"
  cat "$work/program.log"
  exit 1
fi
echo "converted $clip to $out in about ${waited}s"
