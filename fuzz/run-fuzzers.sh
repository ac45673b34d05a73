#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz and runs each for a fixed time, starting
# from the committed seeds. Any crash, sanitizer report, broken property, timeout or memory
# blow-up fails the run; the input that caused it is kept under build-fuzz/findings/<target>/.
# Usage: fuzz/run-fuzzers.sh [seconds per target (20)] [target names without fuzz_ ...]
# ONDRAVA_FUZZ_BUILD_DIR overrides the build folder, ONDRAVA_FUZZ_JOBS the parallel jobs (2).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
shift || true
build=${ONDRAVA_FUZZ_BUILD_DIR:-build-fuzz}
jobs=${ONDRAVA_FUZZ_JOBS:-2}

CC=clang CXX=clang++ cmake -S fuzz -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j "$jobs"

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for f in fuzz/fuzz_*.cpp; do
    t=$(basename "$f" .cpp)
    targets+=("${t#fuzz_}")
  done
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=()
for t in "${targets[@]}"; do
  seeds=fuzz/corpus/$t
  [ -d "$seeds" ] || { echo "no seeds for $t in $seeds" >&2; exit 2; }
  # New inputs go to a corpus in the build folder; the committed seeds are only read.
  work=$build/corpus/$t
  findings=$build/findings/$t
  mkdir -p "$work" "$findings"
  dict=()
  [ -f "fuzz/dicts/$t.dict" ] && dict=(-dict="fuzz/dicts/$t.dict")
  log=$build/findings/$t.log
  echo "== $t: ${seconds}s"
  if "$build/fuzz_$t" "${dict[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=8192 -print_final_stats=1 -artifact_prefix="$findings/" "$work" "$seeds" >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^stat::average_exec_per_sec|^#[0-9]+[[:space:]]+DONE' "$log" | tr '\n' ' '
    echo
  else
    tail -n 40 "$log" >&2
    echo "FINDING in $t: see $log and $findings/" >&2
    failed+=("$t")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found problems in: ${failed[*]}" >&2
  exit 1
fi
echo "fuzzing: no findings in ${targets[*]}"
