#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# make_wine_prefix.sh WINE64 PREFIX: makes the private wine prefix that the Windows joiner's
# tests run in, once per test run, and writes to PREFIX.status whether wine starts: "ready", or
# why not. It never fails: the tests skip with that reason instead. Its wine server then stays
# up until the wine_server_stop test ends it, so that no test meets a server on its way out.
wine=$1
status=$2.status
export WINEPREFIX="$2" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
rm -f "$status"
if [ ! -x "$wine" ]; then
    echo "wine64 is not installed (scripts/install-deps tests installs it)" >"$status"
elif "$wine" wineboot --init >"$2.log" 2>&1; then
    echo ready >"$status"
    "$(dirname "$wine")/wineserver" -p </dev/null >/dev/null 2>&1
else
    echo "wine cannot start (see $2.log)" >"$status"
fi
cat "$status"
