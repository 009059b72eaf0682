#!/usr/bin/env bash
# Keeps the readers fuzzed.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# Builds the `fuzz` preset (clang, libFuzzer, ASan + UBSan) and runs every
# libFuzzer target (or the ones named, e.g. `jigsawfile`) for SECONDS each
# (default 60), two at a time, starting from its committed seed corpus in
# fuzz/corpus/<target>/ and the inputs once kept in tests/data/fuzz/<target>/.
# What a run finds that covers new code is merged back into the seed corpus
# (-merge=1), so the next run starts further on. An input that crashes a
# target is kept as tests/data/fuzz/<target>/crash-<sha1>, where the
# fuzz_corpus_<target> test of the normal builds replays it from then on,
# and the script ends with status 1.
#
# Environment: FUZZ_JOBS (targets at once, default 2), FUZZ_NO_MERGE=1 (leave
# the corpus as it is, e.g. for a smoke run in CI), FUZZ_LOG (a folder for
# the logs, default build/fuzz/logs).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
jobs=${FUZZ_JOBS:-2}
logs=${FUZZ_LOG:-build/fuzz/logs}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc 2>/dev/null || echo 2)" >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in fuzz/*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi

mkdir -p "$logs"
work=$(mktemp -d "${TMPDIR:-/tmp}/duduri-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT

# One target: fuzz into a scratch corpus, keep crashes, merge what is new.
run_one() {
  local name=$1
  local bin=build/fuzz/bin/fuzz_$name
  local seeds=fuzz/corpus/$name
  local kept=tests/data/fuzz/$name
  local scratch=$work/$name
  local artifacts=$work/$name-artifacts
  local log=$logs/$name.log
  mkdir -p "$seeds" "$scratch" "$artifacts"
  if [ ! -x "$bin" ]; then
    echo "$name: no fuzz target $bin" >&2
    return 1
  fi
  local inputs=("$seeds")
  [ -d "$kept" ] && inputs+=("$kept")
  local status=0
  "$bin" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$artifacts/" "$scratch" "${inputs[@]}" >"$log" 2>&1 || status=$?
  local execs
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  local found=0
  for crash in "$artifacts"/*; do
    [ -f "$crash" ] || continue
    mkdir -p "$kept"
    local sum
    sum=$(sha1sum "$crash" | cut -c1-16)
    cp "$crash" "$kept/$(basename "$crash" | sed 's/-.*//')-$sum"
    found=1
  done
  if [ "${FUZZ_NO_MERGE:-0}" != 1 ]; then
    "$bin" -merge=1 "$seeds" "$scratch" >>"$log" 2>&1 || true
  fi
  if [ $found -eq 1 ] || { [ $status -ne 0 ] && [ -z "$execs" ]; }; then
    echo "$name: FAILED after ${execs:-?} executions (kept in $kept, log $log)"
    return 1
  fi
  echo "$name: ${execs:-0} executions in ${seconds}s, no failure"
}

failed=0
pids=()
names=()
for name in "${targets[@]}"; do
  run_one "$name" &
  pids+=($!)
  names+=("$name")
  if [ ${#pids[@]} -ge "$jobs" ]; then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
    names=("${names[@]:1}")
  fi
done
for pid in "${pids[@]}"; do
  wait "$pid" || failed=1
done
exit $failed
