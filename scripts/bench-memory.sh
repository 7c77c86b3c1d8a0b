#!/usr/bin/env bash
# Heap allocations and peak resident memory of full seven-sector updates of
# the real rxflash on the simulated NVIDIA and AMD boards (no trace file),
# next to the yardstick program that only starts the C runtime and prints the
# same console lines. Every allocation is attributed by its call stack (the
# malloc census preload library built in bench/): to the product's own code
# when a product function called an allocation function itself, to the C
# library or the dynamic loader when they allocated on a product call's
# behalf (fopen, fread, dlopen), or to the simulated board. valgrind's count
# and GNU time's peak resident set size check the figures.
# Usage: bash scripts/bench-memory.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bench-common.sh

bench_build bench_print_lines malloc_census
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
bench_run_directory "$dir"
YARDSTICK=$PWD/$BENCH_BUILD/bench/bench_print_lines
CENSUS=$PWD/$BENCH_BUILD/bench/libmalloc_census.so

# in_run_directory SCENARIO COMMAND...: the command as an end-to-end test runs the tool.
in_run_directory() {
  local scenario=$1
  shift
  (cd "$dir" && rm -f trace.jsonl flash.bin &&
    LD_LIBRARY_PATH="$SIM_LIBS" RXFLASH_SIM_SCENARIO="$scenario" "$@" </dev/null >/dev/null)
}

# attribute NAME PROGRAM: the census of a run, one row per (owner, what was
# called, from which product function), then the totals per owner.
attribute() {
  local name=$1 program=$2
  local base
  base=$(basename "$program")
  # The program's own frames, by function name.
  grep -o "[^ ]*/$base|0x[0-9a-f]*" "$dir/$name.census" | sed 's/.*|//' | sort -u >"$dir/$name.offsets" || true
  : >"$dir/$name.functions"
  if [ -s "$dir/$name.offsets" ]; then
    paste -d' ' "$dir/$name.offsets" <(addr2line -f -C -e "$program" $(cat "$dir/$name.offsets") </dev/null |
      sed -n 'p;n' | sed 's/(.*//; s/ /_/g') >"$dir/$name.functions"
  fi
  awk -v base="$base" '
    FILENAME == ARGV[1] { function_at[$1] = $2; next }
    function module(frame,   parts) { split(frame, parts, "|"); n = split(parts[1], path, "/"); return path[n] }
    function field(frame, i,   parts) { split(frame, parts, "|"); return parts[i] }
    function system_module(m) { return m ~ /^(libc\.so|libstdc\+\+\.so|ld-linux|libgcc_s\.so|libm\.so)/ }
    function board_module(m) { return m ~ /^(libsimboard\.so|nvapi\.dll|KAV\.DLL|atipdlxx\.dll|USER32)$/ }
    /^#/ { print >"/dev/stderr"; next }
    {
      count = $1; bytes = $2; owner_at = 0
      for (i = 3; i <= NF; ++i) if (!system_module(module($i))) { owner_at = i; break }
      program_at = 0
      for (i = 3; i <= NF; ++i) if (module($i) == base) { program_at = i; break }
      from = program_at ? function_at[field($program_at, 2)] : "-"
      if (owner_at == 0) {
        owner = "C runtime alone"; via = module($3) ":" field($3, 3)
      } else if (module($owner_at) == base) {
        direct = 1
        for (i = 3; i < owner_at; ++i) if (field($i, 3) !~ /^_Zn[wa]/) direct = 0
        owner = direct ? "PRODUCT CODE ITSELF" : "C library for the product"
        via = owner_at > 3 ? module($(owner_at - 1)) ":" field($(owner_at - 1), 3) : "malloc"
      } else if (board_module(module($owner_at))) {
        owner = "simulated board"; via = "board model"
        for (i = 3; i <= NF; ++i) if (field($i, 3) ~ /TraceLog/) { via = "trace log"; break }
      } else {
        owner = module($owner_at); via = module($3) ":" field($3, 3)
      }
      key = owner "\t" via "\t" from
      counts[key] += count; sizes[key] += bytes
      owner_count[owner] += count; owner_bytes[owner] += bytes; total += count; total_bytes += bytes
    }
    END {
      for (key in counts) print key "\t" counts[key] "\t" sizes[key]
      for (owner in owner_count) print "total\t" owner "\t\t" owner_count[owner] "\t" owner_bytes[owner]
      print "total\t(all)\t\t" total "\t" total_bytes
    }' "$dir/$name.functions" "$dir/$name.census" >"$dir/$name.rows"
  printf '  %-26s %-34s %-26s %8s %10s\n' by through "under product function" allocs bytes
  { grep -v '^total' "$dir/$name.rows" || true; } | sort -t$'\t' -k1,1 -k4,4nr |
    awk -F'\t' '{ printf "  %-26s %-34s %-26s %8d %10d\n", $1, substr($2, 1, 34), substr($3, 1, 26), $4, $5 }'
  { grep '^total' "$dir/$name.rows" || true; } | sort -t$'\t' -k4,4nr |
    awk -F'\t' '{ printf "  total, %-51s %8d %10d\n", $2, $4, $5 }'
  grep -q 'PRODUCT CODE ITSELF' "$dir/$name.rows" || echo "  allocations made by the product code itself: 0"
}

bench_machine
for run in "yardstick nvidia.json $YARDSTICK" "nvidia nvidia.json $RXFLASH fw7.bin" "amd amd.json $RXFLASH fw7.bin"; do
  set -- $run
  name=$1 scenario=$2 program=$3
  shift 2
  in_run_directory "$scenario" env LD_PRELOAD="$CENSUS" MALLOC_CENSUS_OUT="$dir/$name.census" "$@"
  echo
  echo "heap allocations of: $name ($(basename "$program")${4:+ $4})"
  attribute "$name" "$program"
  valgrind_line=$(in_run_directory "$scenario" valgrind --tool=memcheck --leak-check=no "$@" 2>&1 |
    sed -n 's/^==[0-9]*== *total heap usage: //p')
  echo "  valgrind memcheck, total heap usage: $valgrind_line"
  rss=$(in_run_directory "$scenario" /usr/bin/time -f %M "$@" 2>&1 | tail -1)
  echo "  peak resident set size (GNU time %M): $rss KiB"
done
rss=$(in_run_directory nvidia-trace.json /usr/bin/time -f %M "$RXFLASH" fw7.bin 2>&1 | tail -1)
echo
echo "peak resident set size, NVIDIA update with the trace file written: $rss KiB"
