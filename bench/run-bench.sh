#!/usr/bin/env bash
# Ondrava's performance figures on this machine, in one run:
#  1. a conversion through the program in automatic mode against the same ffmpeg command run
#     directly (MP4 and MP3): the program's overhead, with the fixed timer delays shown apart;
#  2. start-up to the first frame of the window, and the resident memory of the idle window;
#  3. the program's own CPU time during a conversion of about 30 s, and how fast it handles
#     posted events, a timer and a click on Stop during a run;
#  4. the cost of one progress reading with a 1 KiB and a 100 MiB progress file, and what the
#     running program really reads of the progress file (strace);
#  5. how long the window stands still while a slow duration probe runs (a stand-in tool whose
#     probe takes 5 s).
#
# usage: bench/run-bench.sh [build-dir]          (default: build-bench beside this folder)
# environment: BENCH_RUNS (repetitions, default 3, at least 5 for the overhead; medians are reported),
#              BENCH_SKIP_BUILD=1 (use the build as it is), BENCH_KEEP=1 (keep the work folder),
#              BENCH_SECTIONS (the numbered sections to run, default "1 2 3 4 5")
# Everything runs offscreen with private configuration and data folders and with the product's
# site on a refused loopback port, so nothing leaves this machine.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source_dir="$(dirname "$here")"
build="${1:-$source_dir/build-bench}"
runs="${BENCH_RUNS:-3}"
jobs=2

say() { printf '%s\n' "$*"; }
section() { [[ " ${BENCH_SECTIONS:-1 2 3 4 5} " == *" $1 "* ]]; }
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "nan"; else print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
now_ns() { date +%s%N; }
calc() { awk "BEGIN { printf \"$1\", $2 }"; }

# ---- build ----
if [[ "${BENCH_SKIP_BUILD:-0}" != 1 ]]; then
  type_arg=()
  if ! grep -q '^CMAKE_BUILD_TYPE:STRING=.\+' "$build/CMakeCache.txt" 2>/dev/null; then
    type_arg=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
  fi
  cmake -S "$source_dir" -B "$build" -G Ninja -DONDRAVA_BUILD_BENCH=ON "${type_arg[@]}" >/dev/null
  cmake --build "$build" -j"$jobs" --target ondrava ondrava_bench_progress ondrava_bench_window >/dev/null
fi
program_dir="$build/ondrava"
program=""
for name in Ondrava ondrava; do
  if [[ -f "$program_dir/$name" && -x "$program_dir/$name" ]]; then program="$program_dir/$name"; break; fi
done
[[ -n "$program" ]] || { say "no program in $program_dir"; exit 1; }
ffmpeg="$(readlink -f "$program_dir/ffmpeg")"
bench_window="$build/bench/ondrava_bench_window"
bench_progress="$build/bench/ondrava_bench_progress"

# ---- private surroundings ----
work="$(mktemp -d "${TMPDIR:-/tmp}/ondrava-bench.XXXXXX")"
cleanup() { [[ "${BENCH_KEEP:-0}" == 1 ]] || rm -rf "$work"; }
trap cleanup EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime"
export XDG_CACHE_HOME="$work/cache" HOME="$work/home"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$HOME"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=offscreen ONDRAVA_SITE_URL=http://127.0.0.1:9
unset DBUS_SESSION_BUS_ADDRESS DISPLAY WAYLAND_DISPLAY

say "# Ondrava benchmark"
say "date:    $(date -u '+%Y-%m-%d %H:%M UTC')"
say "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores," \
    "$(awk '/MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo), $(uname -sr)"
say "ffmpeg:  $("$ffmpeg" -version | head -1 | cut -d' ' -f1-3)"
say "build:   $(grep '^CMAKE_BUILD_TYPE:' "$build/CMakeCache.txt" | cut -d= -f2)"
say "load at start: $(cut -d' ' -f1-3 /proc/loadavg)"
say "runs per figure: $runs (medians)"
say ""

# ---- clips ----
clip="$work/clip.mp4"
"$ffmpeg" -hide_banner -loglevel error -nostdin -y \
  -f lavfi -i testsrc2=size=640x360:rate=25:duration=30 \
  -f lavfi -i sine=frequency=440:sample_rate=44100:duration=30 \
  -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 128k -shortest "$clip"

# ---- 1. the program against the same command run directly ----
declare -A prog_s direct_s probe_s overhead_s ratio_pct traced_overhead_s traced_ratio_pct
overhead_runs=$((runs < 5 ? 5 : runs))
if section 1; then
# A copy of the program directory whose ffmpeg records its arguments tells what the program
# runs; the timed runs use the real program directory.
spy_dir="$work/spy"
cp -a "$program_dir" "$spy_dir"
rm -f "$spy_dir/ffmpeg"
mkdir -p "$work/calls"
cat >"$spy_dir/ffmpeg" <<EOF
#!/bin/sh
n=\$(ls "$work/calls" | wc -l)
printf '%s\0' "\$@" >"$work/calls/\$n"
exec "$ffmpeg" "\$@"
EOF
chmod +x "$spy_dir/ffmpeg"

# Runs the program in automatic mode on a fresh copy of the source in $1; prints wall ns.
run_program() {
  local dir="$1" format="$2" exe="${3:-$program}"
  rm -rf "$dir" && mkdir -p "$dir" && ln "$clip" "$dir/clip.mp4" 2>/dev/null || cp "$clip" "$dir/clip.mp4"
  local t0 t1
  t0=$(now_ns)
  "$exe" -inName="$dir/clip.mp4" -format="$format" -acm=autoClose </dev/null >/dev/null 2>"$dir/stderr" || true
  t1=$(now_ns)
  local out
  out=$(find "$dir" -maxdepth 1 -type f ! -name clip.mp4 ! -name stderr -size +0 | head -1)
  [[ -n "$out" ]] || { say "the program made no output for $format (see $dir/stderr)" >&2; return 1; }
  echo $((t1 - t0))
}

fixed_s=1.0  # the automatic start one second after start-up; the close after success follows at once
for format in mp4 mp3; do
  rm -f "$work"/calls/*
  run_program "$work/spyrun" "$format" "$spy_dir/$(basename "$program")" >/dev/null
  conv_call="" probe_call=""
  for f in "$work"/calls/*; do
    if tr '\0' '\n' <"$f" | grep -qx -- '-progress'; then conv_call="$f"; else probe_call="$f"; fi
  done
  [[ -n "$conv_call" ]] || { say "no conversion command recorded for $format"; exit 1; }
  mapfile -d '' conv_args <"$conv_call"
  probe_args=()
  [[ -n "$probe_call" ]] && mapfile -d '' probe_args <"$probe_call"
  # The run folder of the recorded call; the direct runs use the same paths.
  direct_out="${conv_args[-1]}"
  progress_file=""
  for ((i = 0; i < ${#conv_args[@]} - 1; i++)); do
    [[ "${conv_args[i]}" == -progress ]] && progress_file="${conv_args[i + 1]}"
  done
  say "## $format: the command the program runs"
  say "ffmpeg $(printf '%q ' "${conv_args[@]}" | sed "s|$work|\$WORK|g")"

  # The program and ffmpeg run directly take turns, so a change of the machine's load meets both.
  p=() d=() q=()
  for ((r = 0; r < overhead_runs; r++)); do
    p+=("$(run_program "$work/run-$format" "$format")")
    rm -rf "$work/spyrun" && mkdir -p "$work/spyrun" && ln "$clip" "$work/spyrun/clip.mp4"
    rm -f "$direct_out" "$progress_file"
    t0=$(now_ns)
    "$ffmpeg" "${conv_args[@]}" </dev/null >/dev/null 2>&1
    t1=$(now_ns)
    d+=($((t1 - t0)))
    progress_bytes=$(stat -c %s "$progress_file" 2>/dev/null || echo 0)
    if ((${#probe_args[@]})); then
      t0=$(now_ns)
      "$ffmpeg" "${probe_args[@]}" </dev/null >/dev/null 2>&1 || true
      t1=$(now_ns)
      q+=($((t1 - t0)))
    fi
  done
  prog_s[$format]=$(printf '%s\n' "${p[@]}" | median | awk '{ printf "%.3f", $1 / 1e9 }')
  direct_s[$format]=$(printf '%s\n' "${d[@]}" | median | awk '{ printf "%.3f", $1 / 1e9 }')
  probe_s[$format]=$(printf '%s\n' "${q[@]:-0}" | median | awk '{ printf "%.3f", $1 / 1e9 }')
  overhead_s[$format]=$(calc "%.3f" "${prog_s[$format]} - $fixed_s - ${direct_s[$format]}")
  ratio_pct[$format]=$(calc "%.1f" "100 * ${overhead_s[$format]} / ${direct_s[$format]}")
  say "program, start to exit:         ${prog_s[$format]} s   (runs: $(printf '%s\n' "${p[@]}" | awk '{ printf "%.2f ", $1 / 1e9 }'))"
  say "  of which the fixed delay:     $fixed_s s (the automatic start, one second after start-up)"
  say "ffmpeg run directly:            ${direct_s[$format]} s   (runs: $(printf '%s\n' "${d[@]}" | awk '{ printf "%.2f ", $1 / 1e9 }'))"
  say "overhead beyond the fixed delays: ${overhead_s[$format]} s = ${ratio_pct[$format]} % of ffmpeg's time"
  say "  the duration probe, its own ffmpeg run of ${probe_s[$format]} s, runs during the fixed delay"
  say "progress file at the end of the direct run: $progress_bytes bytes"
  # Where the program's own time goes: the starts and ends of its processes, traced with a
  # seccomp filter so that nothing else is stopped.
  dir="$work/phases-$format"
  rm -rf "$dir" && mkdir -p "$dir" && ln "$clip" "$dir/clip.mp4"
  strace -f --seccomp-bpf -ttt -e trace=execve,exit_group -e signal=none -o "$dir/trace.txt" \
    "$program" -inName="$dir/clip.mp4" -format="$format" -acm=autoClose </dev/null >/dev/null 2>&1 || true
  awk -v fixed="$fixed_s" '
    / execve\(/ && / = 0$/ { n++; pid[n] = $1; start[$1] = $2; conv[$1] = ($0 ~ /"-progress"/) }
    / exit_group\(/ { end[$1] = $2 }
    / \+\+\+ exited/ { if (!($1 in end)) end[$1] = $2 }
    END {
      main = pid[1]
      for (i = 2; i <= n; i++) if (conv[pid[i]]) c = pid[i]; else if (!p) p = pid[i]
      printf "phases of one program run (ms): start to duration probe %.0f, probe %.0f, probe end to conversion %.0f (start to conversion %.0f, of which the fixed delay %.0f),", (start[p] - start[main]) * 1000, (end[p] - start[p]) * 1000, (start[c] - end[p]) * 1000, (start[c] - start[main]) * 1000, fixed * 1000
      printf " conversion %.0f, conversion end to exit %.0f\n", (end[c] - start[c]) * 1000, (end[main] - end[c]) * 1000
      # The delay counts from the process start; the probe runs inside it.
      printf "  (delay end to conversion start %.0f ms)\n", (start[c] - start[main] - fixed) * 1000
      printf "%.3f %.3f\n", (end[main] - start[main]) - (end[c] - start[c]) - fixed, end[c] - start[c]
    }' "$dir/trace.txt" >"$dir/phases.txt"
  sed '$d' "$dir/phases.txt"
  read -r traced_s traced_conv_s < <(tail -1 "$dir/phases.txt")
  traced_overhead_s[$format]=$traced_s
  traced_ratio_pct[$format]=$(calc "%.1f" "100 * $traced_s / ${direct_s[$format]}")
  say "overhead in this traced run (all but the conversion and the fixed delay): $traced_s s" \
      "= ${traced_ratio_pct[$format]} % of ffmpeg's direct time"
  say ""
done

fi

# ---- 2. start-up and the idle window ----
if section 2; then
say "## start-up and the idle window"
startup_runs=$((runs < 5 ? 5 : runs))
"$bench_window" startup "$program_dir" "$startup_runs" 2>/dev/null >"$work/startup.txt"
startup_ms=$(sed -n 's/^startup_to_window_ms=//p' "$work/startup.txt")
sed 's/^/  /' "$work/startup.txt"
say "  (a benchmark process that runs the program entry's steps offscreen; times from spawning it)"
rss=()
for ((r = 0; r < runs; r++)); do
  "$program" </dev/null >/dev/null 2>&1 &
  pid=$!
  sleep 3
  rss+=("$(awk '/VmRSS/ { print $2 }' "/proc/$pid/status")")
  kill -TERM "$pid"
  wait "$pid" || true
done
program_rss_kib=$(printf '%s\n' "${rss[@]}" | median)
say "  the real program, idle window 3 s after start, resident: $program_rss_kib KiB ($(calc "%.1f" "$program_rss_kib / 1024") MiB)"
say ""

fi

# ---- 3. a conversion of about 30 s: the program's own CPU, and its responsiveness ----
if section 3; then
# A longer source (the clip repeated, copied without re-encoding) makes the MP4 conversion
# last about 30 s here.
repeat=$(calc "%d" "30 / ${direct_s[mp4]:-10} + 0.999")
((repeat < 1)) && repeat=1
((repeat > 40)) && repeat=40
long_clip="$work/long.mp4"
"$ffmpeg" -hide_banner -loglevel error -nostdin -y -stream_loop $((repeat - 1)) -i "$clip" -c copy "$long_clip"
say "## a conversion of about 30 s (the clip repeated $repeat times, to MP4)"

# The program's own CPU time (not its children's) from /proc while the conversion's ffmpeg runs.
cpu_pct=() cpu_ms=()
for ((r = 0; r < runs; r++)); do
  dir="$work/cpu"
  rm -rf "$dir" && mkdir -p "$dir" && ln "$long_clip" "$dir/clip.mp4"
  "$program" -inName="$dir/clip.mp4" -format=mp4 -acm=autoClose </dev/null >/dev/null 2>&1 &
  pid=$!
  first_ticks="" first_ns="" last_ticks="" last_ns=""
  while [[ -d /proc/$pid ]]; do
    converting=0
    for child in $(cat "/proc/$pid/task/$pid/children" 2>/dev/null); do
      tr '\0' '\n' <"/proc/$child/cmdline" 2>/dev/null | grep -qx -- -progress && converting=1
    done
    if ((converting)); then
      read -r -a stat <"/proc/$pid/stat" || break
      ticks=$((stat[13] + stat[14]))
      t=$(now_ns)
      [[ -z "$first_ticks" ]] && { first_ticks=$ticks; first_ns=$t; }
      last_ticks=$ticks last_ns=$t
    fi
    sleep 0.25
  done
  wait "$pid" || true
  if [[ -n "$first_ticks" && "$last_ns" != "$first_ns" ]]; then
    hz=$(getconf CLK_TCK)
    cpu_ms+=("$(calc "%.0f" "($last_ticks - $first_ticks) * 1000 / $hz")")
    cpu_pct+=("$(calc "%.3f" "100 * ($last_ticks - $first_ticks) / $hz / (($last_ns - $first_ns) / 1e9)")")
    run_wall=$(calc "%.1f" "($last_ns - $first_ns) / 1e9")
  fi
done
cpu_median_pct=$(printf '%s\n' "${cpu_pct[@]:-nan}" | median)
say "program's own CPU while ffmpeg converts: $(printf '%s\n' "${cpu_ms[@]:-nan}" | median) ms over ${run_wall:-?} s" \
    "= $cpu_median_pct % of one core (runs: ${cpu_pct[*]:-none}; /proc ticks of 10 ms)"

# What the running program reads of the progress file and how often it waits (main thread).
dir="$work/trace"
rm -rf "$dir" && mkdir -p "$dir" && ln "$long_clip" "$dir/clip.mp4"
strace -ttt -e trace=openat,read,pread64,close,poll,ppoll -e signal=none -o "$work/strace.txt" \
  "$program" -inName="$dir/clip.mp4" -format=mp4 -acm=autoClose </dev/null >/dev/null 2>&1 || true
awk '
  function num(x) { gsub(/[^0-9-]/, "", x); return x + 0 }
  / openat\(.*\/progress[0-9]*\.txt".*O_RDONLY/ && $(NF - 1) == "=" && $NF >= 0 {
    fd = $NF; reading[fd] = 1; opens++
    if (opens > 1) { gaps[++ngaps] = $1 - last_open }
    if (opens == 1) first_open = $1
    last_open = $1; next
  }
  / (read|pread64)\(/ {
    split($2, a, /[(,]/); fd = a[2]
    if (fd in reading) {
      req = ($2 ~ /^pread64/) ? num($(NF - 3)) : num($(NF - 2)); got = num($NF)
      reads++; if (req > maxreq) maxreq = req; if (got > maxgot) maxgot = got; if (got > 0) total += got
    }
    next
  }
  / close\(/ { split($2, a, /[(),]/); delete reading[a[2]]; next }
  / p?poll\(/ { polls++; if (polls == 1) first_poll = $1; last_poll = $1 }
  END {
    for (i = 2; i <= ngaps; i++) { v = gaps[i]; for (j = i - 1; j >= 1 && gaps[j] > v; j--) gaps[j + 1] = gaps[j]; gaps[j + 1] = v }
    span = last_open - first_open
    printf "progress readings: %d over %.1f s (%.2f per second); reads: %d, at most %d bytes asked and %d got per read, %d bytes in all\n", opens, span, (span > 0 ? (opens - 1) / span : 0), reads, maxreq, maxgot, total
    printf "time between readings: median %.3f s, shortest %.3f s\n", (ngaps ? gaps[int((ngaps + 1) / 2)] : 0), (ngaps ? gaps[1] : 0)
    printf "waits (poll/ppoll) of the main thread: %d over %.1f s (%.1f per second)\n", polls, last_poll - first_poll, (last_poll > first_poll ? polls / (last_poll - first_poll) : 0)
  }' "$work/strace.txt" | tee "$work/trace-summary.txt"

# Events, a timer and a click on Stop while the window runs a conversion.
lat_file="$work/latency.txt"
for ((r = 0; r < runs; r++)); do
  "$bench_window" latency "$program_dir" "$long_clip" mp4 8 2>/dev/null >"$work/latency-$r.txt" || true
done
for key in event_latency_median_ms event_latency_p90_ms event_latency_max_ms timer_late_median_ms \
           timer_late_max_ms stop_click_to_handler_ms stop_click_to_run_end_ms run_main_thread_cpu_ms run_ms; do
  printf '%s=%s\n' "$key" "$(cat "$work"/latency-*.txt | sed -n "s/^$key=//p" | median)"
done >"$lat_file"
say "responsiveness during a run (window offscreen, medians of $runs runs; events posted every 20-130 ms from another thread):"
sed 's/^/  /' "$lat_file"
grep -h '^status_after_stop=' "$work"/latency-*.txt | sort | uniq -c | sed 's/^/  /'
say ""

fi

# ---- 4. one progress reading ----
if section 4; then
say "## one progress reading (Google Benchmark, median of 5 repetitions)"
"$bench_progress" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_format=csv 2>/dev/null | grep '_median' >"$work/progress.csv"
awk -F, '{ gsub(/"/, "", $1); sub(/BM_ReadProgressPercent\//, "", $1); sub(/_median/, "", $1)
           printf "  file of %9d bytes: %.2f us wall, %.2f us CPU\n", $1, $3, $4 }' "$work/progress.csv"
read_small=$(awk -F, 'NR == 1 { print $3 }' "$work/progress.csv")
read_large=$(awk -F, 'NR == 2 { print $3 }' "$work/progress.csv")
say ""

fi

# ---- 5. the window during a slow duration probe ----
if section 5; then
say "## the window while a duration probe of 5 s runs (a stand-in tool; a 1 ms timer in the window)"
slow_dir="$work/slow-probe"
cp -a "$program_dir" "$slow_dir"
rm -f "$slow_dir/ffmpeg"
cat >"$slow_dir/ffmpeg" <<'EOF2'
#!/bin/sh
if [ "$1" = "-i" ]; then
  sleep 5
  echo '  Duration: 00:00:30.00, start: 0.000000, bitrate: 1000 kb/s' >&2
  exit 1
fi
for a in "$@"; do out="$a"; done
printf 'media' > "$out"
EOF2
chmod +x "$slow_dir/ffmpeg"
gaps=()
for ((r = 0; r < runs; r++)); do
  "$bench_window" probe "$slow_dir" "$clip" mp4 2>/dev/null >"$work/probe-$r.txt" || true
  gaps+=("$(sed -n 's/^probe_max_gap_ms=//p' "$work/probe-$r.txt")")
done
probe_gap_ms=$(printf '%s\n' "${gaps[@]}" | median)
say "  longest gap between two handled timer ticks during the probe: median $probe_gap_ms ms (runs: ${gaps[*]})"
sed -n 's/^\(probe_phase_ms\|probe_ticks\|probe_duration_ms\|status\)=/  \1=/p' "$work/probe-0.txt"
say ""

fi

# ---- summary ----
verdict() { awk "BEGIN { exit !($1) }" && echo met || echo MISSED; }
say "## goals"
section 1 && for format in mp4 mp3; do
  for kind in timed traced; do
    if [[ $kind == timed ]]; then o=${overhead_s[$format]} r=${ratio_pct[$format]}; else o=${traced_overhead_s[$format]} r=${traced_ratio_pct[$format]}; fi
    say "overhead beyond the fixed delay ($format, $kind): $o s <= 0.04 s: $(verdict "$o <= 0.04")"
  done
done
section 2 && say "start to window: $startup_ms ms < 250 ms: $(verdict "$startup_ms < 250")"
section 3 && say "own CPU during a run: $cpu_median_pct % < 1 % of one core: $(verdict "$cpu_median_pct < 1")"
section 4 && say "progress reading, 100 MiB against 1 KiB: $read_large us against $read_small us" \
    "(ratio $(calc "%.2f" "$read_large / $read_small")): $(verdict "$read_large / $read_small < 1.5")"
section 3 && say "click handled within one 200 ms step: $(sed -n 's/^stop_click_to_handler_ms=//p' "$lat_file") ms:" \
    "$(verdict "$(sed -n 's/^stop_click_to_handler_ms=//p' "$lat_file") <= 200")"
section 5 && say "window during a 5 s probe: longest gap $probe_gap_ms ms < 100 ms: $(verdict "$probe_gap_ms < 100")"
say "load at end: $(cut -d' ' -f1-3 /proc/loadavg)"
