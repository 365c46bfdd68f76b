#!/bin/sh
# Makes the wine prefix the Windows tests run in, once, and starts wine there: its server and
# services stay up between the tests (each test is a wine process of its own) and half a minute
# after the last, instead of starting again for every test. What stays up must not hold this
# script's output open, or ctest would wait for it.
prefix=$1
export WINEPREFIX="$prefix" WINEDEBUG=-all
setsid wineserver -p30 </dev/null >/dev/null 2>&1
if [ ! -f "$prefix/system.reg" ]; then
    wineboot -i </dev/null >/dev/null 2>&1 || exit 1
else
    wineboot </dev/null >/dev/null 2>&1 || exit 1
fi
