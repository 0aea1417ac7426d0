#!/bin/sh
# The throwaway Wine prefix of one test run, shared by the tests of this folder (a ctest fixture):
#   prefix.sh setup PREFIX     a new prefix, with its wineserver kept alive for the whole run
#   prefix.sh cleanup PREFIX   ends that wineserver (and every Wine process of the prefix) and
#                              removes the prefix
# The wine program is $VELTRANE_WINE (default wine); its wineserver is the one beside it, else
# wineserver on the PATH. Missing Wine fails the setup, so every Wine test fails with it.
set -u
mode=$1
prefix=$2
wine=${VELTRANE_WINE:-wine}
server=$(dirname "$(command -v "$wine" 2>/dev/null || echo "$wine")")/wineserver
[ -x "$server" ] || server=wineserver
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
log=$prefix.log

case $mode in
setup)
    if ! command -v "$wine" >/dev/null 2>&1 || ! command -v "$server" >/dev/null 2>&1; then
        echo "Wine is not installed (no '$wine' or '$server'): install the packages wine and wine64" >&2
        exit 1
    fi
    # A prefix left by a run that never reached its cleanup.
    if [ -e "$prefix" ]; then
        "$server" -k >/dev/null 2>&1
        rm -rf "$prefix"
    fi
    mkdir -p "$prefix" || exit 1
    # The server and the services that wineboot starts outlive this script: none of them may
    # hold ctest's output open, or ctest would wait for them.
    "$server" -p </dev/null >"$log" 2>&1 &&
        "$wine" wineboot -i </dev/null >>"$log" 2>&1
    status=$?
    if [ $status -ne 0 ] || [ ! -d "$prefix/drive_c/windows/system32" ]; then
        echo "The Wine prefix $prefix could not be made (status $status):" >&2
        cat "$log" >&2
        exit 1
    fi
    echo "Wine prefix ready: $prefix"
    ;;
cleanup)
    "$server" -k >/dev/null 2>&1
    rm -rf "$prefix" "$log"
    ;;
*)
    echo "usage: prefix.sh setup|cleanup PREFIX" >&2
    exit 2
    ;;
esac
