#!/usr/bin/env bash
# Runs Windows programs under Wine for the tests, in a prefix of their own.
#
#   wine.sh setup PREFIX                  makes PREFIX a fresh Wine prefix
#   wine.sh run PREFIX PROGRAM [ARG...]   runs PROGRAM in PREFIX; its exit status
#   wine.sh teardown PREFIX               stops PREFIX's wine server, removes PREFIX
#
# The 64-bit loader is started directly: the `wine` wrapper picks the 32-bit
# one, which cannot run on a host without 32-bit libraries. Exit status 77
# means Wine is not installed (the test runner counts that as skipped).
set -euo pipefail

loader=${RXFLASH_WINE_LOADER:-/usr/lib/wine/wine64}
server=$(dirname "$loader")/wineserver

command=${1:?command missing}
export WINEPREFIX=${2:?prefix missing}
shift 2
# No debug output; no .NET or HTML engine to offer to install.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ ! -x "$loader" ]; then
  echo "Wine is not installed ($loader missing; Debian package wine64)"
  exit 77
fi

case "$command" in
  setup)
    [ ! -e "$WINEPREFIX/system.reg" ] || "$server" -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    "$loader" wineboot --init >/dev/null 2>&1
    "$server" -w
    ;;
  run)
    exec "$loader" "$@"
    ;;
  teardown)
    if [ -e "$WINEPREFIX/system.reg" ]; then
      "$server" -k 2>/dev/null || true
    fi
    rm -rf "$WINEPREFIX"
    ;;
  *)
    echo "unknown command: $command" >&2
    exit 2
    ;;
esac
