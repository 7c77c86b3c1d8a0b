#!/usr/bin/env bash
# Builds the optimised bench preset and runs the micro-benchmarks: the NVAPI
# loader's member call against a direct call (on the quiet driver and on the
# simulated board's), and the sector framing, checksum and image loading.
# Prints each benchmark's median over the repetitions and the member/direct
# ratios. Usage: bash scripts/bench-micro.sh [repetitions]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bench-common.sh

repetitions=${1:-20}
bench_build bench_loader_call bench_loader_call_sim bench_framing

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for bench in bench_loader_call bench_loader_call_sim bench_framing; do
  build/bench/bench/$bench --benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true --benchmark_format=json >"$out/$bench.json"
done

# Median real (wall) and CPU time per benchmark, in nanoseconds.
medians() {
  jq -r '.benchmarks[] | select(.aggregate_name == "median")
         | [.run_name, (if .time_unit == "us" then 1000 elif .time_unit == "ms" then 1e6 else 1 end) as $u
            | (.real_time * $u), (.cpu_time * $u)] | @tsv' "$1"
}

bench_machine
echo "medians of $repetitions repetitions (random interleaving), nanoseconds"
printf '%-44s %12s %12s\n' benchmark real cpu
for bench in bench_loader_call bench_loader_call_sim bench_framing; do
  medians "$out/$bench.json" | sort | while IFS=$'\t' read -r name real cpu; do
    printf '%-44s %12.1f %12.1f\n' "$bench:$name" "$real" "$cpu"
  done
done

echo "member call / direct call (median cpu time, median real time)"
for bench in bench_loader_call bench_loader_call_sim; do
  medians "$out/$bench.json" | awk -F'\t' -v bench="$bench" '
    { real[$1] = $2; cpu[$1] = $3 }
    END {
      for (name in cpu) if (name != "BM_DirectCall")
        printf "  %-22s %-24s %5.2f  %5.2f\n", bench, name, cpu[name] / cpu["BM_DirectCall"], real[name] / real["BM_DirectCall"]
    }' | sort
done
