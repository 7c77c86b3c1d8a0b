#!/usr/bin/env bash
# Fuzzes the firmware image path for a bounded time (default 60 seconds) with
# the libFuzzer target of the fuzz preset, starting from fuzz/corpus. An input
# that crashes it is kept in fuzz/regressions/, which every test build replays
# from then on: commit it with the fix.
#
#   scripts/fuzz.sh [SECONDS]     needs: cmake --preset fuzz && cmake --build --preset fuzz
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
target=build/fuzz/fuzz/firmware_image_fuzz
# The header (3 bytes), a 300-character name and a 40000-byte file.
max_len=40303

# The target writes and removes a file for every input, in a directory under
# TMPDIR: on a memory file system where there is one, five times as fast here.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
log="$work/fuzz.log"

status=0
"$target" -max_len="$max_len" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$PWD/fuzz/regressions/" "$work/corpus" "$PWD/fuzz/corpus" >"$log" 2>&1 || status=$?

executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
if [ "$status" -ne 0 ]; then
  tail -n 60 "$log"
  echo "fuzz: FAILED after ${executions:-?} inputs; the input is kept in fuzz/regressions/"
  exit 1
fi
echo "fuzz: ${executions} inputs in ${seconds} s (${rate}/s), no crash"
