#!/usr/bin/env bash
# The update's overhead: runs full seven-sector updates of the real rxflash
# on the simulated NVIDIA and AMD boards (AMD receiver never busy) several
# times under hyperfine and prints, per case, the wall time, the sum of the
# pauses the receiver's protocol mandates, and the overhead (wall minus
# pauses) in total and per sector: median and spread over the runs. Start-only
# runs (an image without a whole sector) and a yardstick program (C runtime
# start and the same console lines) split the overhead into its parts; the
# trace of one traced run shows where the time goes inside a sector.
# Usage: bash scripts/bench-update.sh [runs of a seven-sector NVIDIA update] [runs of the short cases]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bench-common.sh

runs=${1:-5}
short_runs=${2:-20}
bench_build bench_print_lines

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
bench_run_directory "$dir"
YARDSTICK=$PWD/$BENCH_BUILD/bench/bench_print_lines

# measure NAME SCENARIO PAUSES_MS SECTORS RUNS COMMAND...: one hyperfine series
# in the run directory, standard output to /dev/null (so the tool buffers it
# as when redirected), standard input empty (the key wait returns at once).
measure() {
  local name=$1 scenario=$2 pauses=$3 sectors=$4 count=$5
  shift 5
  (cd "$dir" && LD_LIBRARY_PATH="$SIM_LIBS" RXFLASH_SIM_SCENARIO="$scenario" \
    hyperfine -N --style none --warmup 1 --runs "$count" --prepare "rm -f trace.jsonl flash.bin" \
    --export-json "$dir/result-$name.json" "$*" </dev/null >/dev/null) || { echo "$name failed" >&2; return 1; }
  echo "$name $pauses $sectors" >>"$dir/cases"
}

bench_machine
echo "runs: $runs for a seven-sector NVIDIA update, $short_runs for the other cases; one warm-up run each"
measure yardstick nvidia.json 0 0 "$short_runs" "$YARDSTICK"
measure amd-start amd.json 600 0 "$short_runs" "$RXFLASH" fw0.bin
measure amd amd.json 600 7 "$short_runs" "$RXFLASH" fw7.bin
measure amd-trace amd-trace.json 600 7 "$short_runs" "$RXFLASH" fw7.bin
measure nvidia-start nvidia.json 2000 0 "$short_runs" "$RXFLASH" fw0.bin
measure nvidia nvidia.json $((2000 + 7 * 4 * 800)) 7 "$runs" "$RXFLASH" fw7.bin
measure nvidia-trace nvidia-trace.json $((2000 + 7 * 4 * 800)) 7 "$runs" "$RXFLASH" fw7.bin
echo "load average afterwards: $(cut -d' ' -f1-3 /proc/loadavg)"

# Every figure in milliseconds.
echo
table='
  def ms: . * 100 | round / 100 | tostring;
  def pad($n): tostring | (" " * ([$n - length, 0] | max)) + .;
  .results[0] as $r
  | ($r.median * 1000 - $pauses) as $over
  | [($name | . + " " * (13 - length)), ($r.times | length | pad(4)), ($r.median * 1000 | ms | pad(9)),
     ($pauses | pad(7)), ($over | ms | pad(9)),
     ((($r.min * 1000 - $pauses) | ms) + "-" + (($r.max * 1000 - $pauses) | ms) | pad(17)),
     (($r.stddev // 0) * 1000 | ms | pad(7)),
     (if $sectors > 0 then $over / $sectors | ms else "-" end | pad(10)),
     (($r.user + $r.system) * 1000 | ms | pad(7))] | join(" ")'
echo "case          runs      wall  pauses  overhead  overhead min-max  stddev per sector user+sys"
while read -r name pauses sectors; do
  jq -r --arg name "$name" --argjson pauses "$pauses" --argjson sectors "$sectors" "$table" "$dir/result-$name.json"
done <"$dir/cases"

overhead() {
  jq -r --argjson pauses "$2" '.results[0].median * 1000 - $pauses' "$dir/result-$1.json"
}
echo
echo "parts of the seven-sector overhead (medians, ms):"
awk -v y="$(overhead yardstick 0)" -v ns="$(overhead nvidia-start 2000)" -v n="$(overhead nvidia 24400)" \
  -v nt="$(overhead nvidia-trace 24400)" -v as="$(overhead amd-start 600)" -v a="$(overhead amd 600)" \
  -v at="$(overhead amd-trace 600)" 'BEGIN {
  printf "  process start, C runtime and console lines (yardstick)     %8.2f\n", y
  printf "  NVIDIA: tool start to the first packet, pause excluded     %8.2f\n", ns
  printf "          (of which beyond the yardstick: libraries, board)   %8.2f\n", ns - y
  printf "          seven sectors: 2870 writes, 7 reads, 28 pauses      %8.2f\n", n - ns
  printf "          the trace file and flash file written               %8.2f\n", nt - n
  printf "  AMD:    tool start, pause excluded                          %8.2f\n", as
  printf "          seven sectors: 2870 writes, 7 reads, 7 busy tests   %8.2f\n", a - as
  printf "          the trace file and flash file written               %8.2f\n", at - a
}'

# Inside one traced NVIDIA run (the last), from the simulated board's clock:
# per sector the time from its first to its last packet write, and how much
# longer than 4 x 800 ms the time from its last write to its checksum read was.
echo
echo "inside the last traced NVIDIA run (ms; the board's clock starts at the first library load):"
(cd "$dir" && LD_LIBRARY_PATH="$SIM_LIBS" RXFLASH_SIM_SCENARIO=nvidia-trace.json "$RXFLASH" fw7.bin \
  </dev/null >/dev/null)
jq -rs '
  [.[] | select(.call == "NvAPI_I2CWriteEx" or .call == "NvAPI_I2CReadEx")] as $io
  | ([.[] | select(.call == "NvAPI_I2CWriteEx")][0].t) as $first
  | (.[-1].t) as $last
  | [range(0; 7) as $s | $io[$s * 411 : $s * 411 + 411]
     | {transfer: (.[409].t - .[0].t), excess: (.[410].t - .[409].t - 3200)}] as $sectors
  | "  first packet write at        \($first * 100 | round / 100) (2000 of it the pause)",
    "  410 writes of a sector       \([$sectors[].transfer] | sort | .[3] * 100 | round / 100) median, \([$sectors[].transfer] | min * 100 | round / 100)-\([$sectors[].transfer] | max * 100 | round / 100)",
    "  four 800 ms pauses, excess   \([$sectors[].excess] | sort | .[3] * 100 | round / 100) median, \([$sectors[].excess] | min * 100 | round / 100)-\([$sectors[].excess] | max * 100 | round / 100) per sector",
    "  last trace line at           \($last * 100 | round / 100) (24400 of it the pauses)"' "$dir/trace.jsonl"

# Where the processor time of one NVIDIA update without a trace file goes:
# samples of its own time (not of what it calls) by library.
echo
echo "processor time of one NVIDIA update without a trace file, by library (perf, self samples):"
if (cd "$dir" && LD_LIBRARY_PATH="$SIM_LIBS" RXFLASH_SIM_SCENARIO=nvidia.json \
  perf record -q -F 20000 -o "$dir/perf.data" "$RXFLASH" fw7.bin </dev/null >/dev/null 2>"$dir/perf.log"); then
  perf report -i "$dir/perf.data" --sort dso --no-children -g none --stdio 2>/dev/null |
    awk '/^ *[0-9.]+%/ { printf "  %8s  %s\n", $1, $2 }' | head -10
  perf report -i "$dir/perf.data" --sort dso --no-children -g none --stdio 2>/dev/null |
    sed -n 's/^# Samples: /  samples: /p'
else
  echo "  perf cannot sample here: $(head -1 "$dir/perf.log")"
fi
