# Shared by the scripts/bench-*.sh scripts: builds what a run of the tool on
# the simulated board needs in the optimised bench preset, and lays out a run
# directory. Sourced from the repository's root.
source scripts/packages.sh

BENCH_BUILD=build/bench
RXFLASH=$PWD/$BENCH_BUILD/app/rxflash
SIM_LIBS=$PWD/$BENCH_BUILD/sim/libs

# bench_build TARGET...: installs what is missing, configures and builds.
bench_build() {
  ensure_packages "${NATIVE_PACKAGES[@]}" "${BENCH_PACKAGES[@]}"
  cmake --preset bench >/dev/null
  cmake --build --preset bench --target rxflash sim_libraries "$@" >/dev/null
}

# bench_run_directory DIR: KAV.DLL where the tool looks for it (the current
# directory), a seven-sector image fw7.bin, an image without a whole sector
# fw0.bin, and the scenarios nvidia.json and amd.json (no trace file) and
# nvidia-trace.json and amd-trace.json (trace.jsonl and flash.bin written as
# an end-to-end test writes them). The AMD receiver is never busy.
bench_run_directory() {
  local dir=$1
  ln -sf "$SIM_LIBS/KAV.DLL" "$dir/KAV.DLL"
  head -c $((7 * 4096)) /dev/urandom >"$dir/fw7.bin"
  head -c 100 /dev/urandom >"$dir/fw0.bin"
  echo '{}' >"$dir/nvidia.json"
  echo '{"vendor": "amd"}' >"$dir/amd.json"
  echo '{"trace": "trace.jsonl", "flash_out": "flash.bin"}' >"$dir/nvidia-trace.json"
  echo '{"vendor": "amd", "trace": "trace.jsonl", "flash_out": "flash.bin"}' >"$dir/amd-trace.json"
}

# bench_machine: one line naming the machine and how busy it is.
bench_machine() {
  echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores, $(free -g | awk '/^Mem:/ {print $2}') GiB;" \
    "$(uname -sr); load average $(cut -d' ' -f1-3 /proc/loadavg)"
}
