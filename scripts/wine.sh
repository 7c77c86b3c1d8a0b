#!/usr/bin/env bash
# Runs Windows programs under Wine for the tests, in a prefix of their own.
#
#   wine.sh setup PREFIX                  makes PREFIX a fresh Wine prefix and
#                                         starts its wine server, kept running
#   wine.sh run PREFIX PROGRAM [ARG...]   runs PROGRAM in PREFIX; its exit status
#   wine.sh teardown PREFIX               stops PREFIX's wine server, removes PREFIX
#
# The 64-bit loader is started directly: the `wine` wrapper picks the 32-bit
# one, which cannot run on a host without 32-bit libraries. Exit status 77
# means Wine is not installed (the test runner counts that as skipped).
#
# The server lives from setup to teardown, so that each program run under it
# starts in about a second instead of paying for a new server. The server
# opens files for the programs; run as root, it is started without the power
# to open any file whatever its permissions, so that they meet a file's
# permissions as a user would.
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
    [ ! -d "$WINEPREFIX" ] || "$server" -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    as_user=()
    if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
      as_user=(setpriv --bounding-set=-dac_override,-dac_read_search)
    fi
    # Its standard streams closed: the test runner waits for them.
    "${as_user[@]}" "$server" -p </dev/null >/dev/null 2>&1
    "$loader" wineboot --init >/dev/null 2>&1
    ;;
  run)
    exec "$loader" "$@"
    ;;
  teardown)
    # (A running server writes the prefix's registry files only when it
    # ends: the directory is what tells that a server may run.)
    if [ -d "$WINEPREFIX" ]; then
      "$server" -k 2>/dev/null || true
    fi
    rm -rf "$WINEPREFIX"
    ;;
  *)
    echo "unknown command: $command" >&2
    exit 2
    ;;
esac
