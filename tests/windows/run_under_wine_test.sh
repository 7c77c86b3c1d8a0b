#!/usr/bin/env bash
# rxflash.exe starts and ends under Wine with no board libraries at hand: two
# arguments end it silently; no argument, with standard input at its end, runs
# the version query, which finds no board, prints nothing and returns from the
# key wait at once. Both exit with status 0.
#
#   run_under_wine_test.sh WINE_SH PREFIX EXE
set -uo pipefail
wine_sh=$1 prefix=$2 exe=$3

if [ ! -f "$exe" ]; then
  echo "SKIP: $exe was not built (MinGW-w64 toolchain missing; Debian package g++-mingw-w64-x86-64)"
  exit 77
fi

# An empty current directory: no KAV.DLL, no image file.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

failed=0
expect_silent_exit_0() {
  local name=$1
  shift
  bash "$wine_sh" run "$prefix" "$exe" "$@" </dev/null >"$work/stdout" 2>"$work/stderr"
  local status=$?
  [ $status -ne 77 ] || exit 77
  if [ $status -eq 0 ] && [ ! -s "$work/stdout" ]; then
    echo "ok: $name"
  else
    echo "FAIL: $name: exit status $status, stdout:"
    od -c "$work/stdout" | head -20
    echo "stderr:"
    head -20 "$work/stderr"
    failed=1
  fi
}

expect_silent_exit_0 "two arguments" a b
expect_silent_exit_0 "no argument, standard input at its end"
exit $failed
