#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the debug build, the
# same suite with the fault sweep and the hostile inputs under AddressSanitizer
# and UndefinedBehaviorSanitizer, and the fuzz target for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${NATIVE_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" "${WINE_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"

cmake --preset debug
cmake --build --preset debug
ctest --preset debug

# Any sanitizer report aborts the process that made it (the test preset's
# ASAN_OPTIONS and UBSAN_OPTIONS), and so fails its test.
cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize
grep -h '^reliability: ' build/sanitize/Testing/Temporary/LastTest.log

# Replays the seed corpus and the kept crash inputs, then fuzzes for a minute.
cmake --preset fuzz
cmake --build --preset fuzz
ctest --preset fuzz
bash scripts/fuzz.sh "${RXFLASH_FUZZ_SECONDS:-60}"
