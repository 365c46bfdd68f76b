#!/bin/sh
# Makes the wine prefix the Windows tests run in, once, and starts wine there: a server that
# stays up between the tests (each test is a wine process of its own) and half a minute after
# the last, with wine's services, instead of starting them again for every test. What stays up
# must not hold this script's output open, or ctest would wait for it.
prefix=$1
export WINEPREFIX="$prefix" WINEDEBUG=-all
if [ ! -f "$prefix/system.reg" ]; then
    wineboot -i </dev/null >/dev/null 2>&1 || exit 1
    wineserver -w
fi
setsid wineserver -p30 </dev/null >/dev/null 2>&1
wineboot </dev/null >/dev/null 2>&1
