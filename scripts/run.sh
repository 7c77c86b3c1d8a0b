#!/usr/bin/env bash
# Flashes a firmware image with the real rxflash on the simulated board, its
# output live on this terminal, and ends at the tool's key wait.
#
#   bash scripts/run.sh [SCENARIO.json] [IMAGE]
#
# SCENARIO defaults to sim/scenarios/nvidia.json, IMAGE to a three-sector
# sample. The run happens in build/run/, which keeps the image, the
# scenario's trace and the receiver's flash afterwards.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scenario=$(realpath "${1:-$root/sim/scenarios/nvidia.json}")
image=${2:+$(realpath "$2")}

cd "$root"
source scripts/packages.sh
ensure_packages "${NATIVE_PACKAGES[@]}"

build=${RXFLASH_BUILD_DIR:-$root/build/debug}
cmake --preset debug -B "$build" >/dev/null
cmake --build "$build" --target rxflash sim_libraries

run=$root/build/run
rm -rf "$run"
mkdir -p "$run"
if [ -n "$image" ]; then
  name=$(basename "$image")
  cp "$image" "$run/$name"
else
  name=sample.bin
  bash scripts/make-sample-image.sh "$run/$name" 3
fi
# The tool loads KAV.DLL from its current directory, the drivers through the
# library search path.
ln -s "$build/sim/libs/KAV.DLL" "$run/KAV.DLL"

echo "== rxflash $name on $(basename "$scenario"), in $run =="
cd "$run"
status=0
LD_LIBRARY_PATH="$build/sim/libs" RXFLASH_SIM_SCENARIO="$scenario" "$build/app/rxflash" "$name" || status=$?
echo "== exit status $status (255 is the tool's -1); trace and flash, if the scenario names them, in $run =="
