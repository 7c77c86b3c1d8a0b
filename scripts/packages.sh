# Installs the Debian packages named as arguments that are not installed yet,
# with one apt-get update before the first install, recommends included (as
# on the machines the project was set up on). Sourced by the scripts.
ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  if [ -z "${RXFLASH_APT_UPDATED:-}" ]; then
    $sudo apt-get update -qq
    export RXFLASH_APT_UPDATED=1
  fi
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

# What a native build with the simulated board and the tests needs.
NATIVE_PACKAGES=(cmake ninja-build g++ libgtest-dev libgmock-dev nlohmann-json3-dev libbenchmark-dev)

# What the Windows builds need: the MinGW-w64 cross compilers and binutils,
# for the 32-bit product and a 64-bit build.
WINDOWS_PACKAGES=(g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64)

# The fuzz target: clang with libFuzzer and the sanitizer runtimes.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)

# Wine's 64-bit loader, which runs the 64-bit Windows build in the tests.
WINE_PACKAGES=(wine64)

# What the performance scripts run the tool under: wall-clock timing, peak
# memory and heap profiling.
BENCH_PACKAGES=(hyperfine time valgrind binutils jq linux-perf)
