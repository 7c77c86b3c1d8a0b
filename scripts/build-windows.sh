#!/usr/bin/env bash
# Builds the Windows release, build/windows/app/rxflash.exe (32-bit), after
# installing the cross compilers if they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages cmake ninja-build "${WINDOWS_PACKAGES[@]}"

cmake --workflow --preset windows
ls -l build/windows/app/rxflash.exe
