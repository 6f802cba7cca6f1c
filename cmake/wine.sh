#!/usr/bin/env bash
# wine.sh PREFIX PROGRAM [ARGS...]: runs a Windows program under wine, headless, in the
# build tree's own prefix. The prefix is made on first use (one maker at a time: CTest
# starts several programs at once).
set -euo pipefail
prefix=$1
shift
wine=${KEV_WINE:-/usr/lib/wine/wine64}
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/system.reg" ]; then
      "$wine" wineboot --init >/dev/null 2>&1 || true
      "$(dirname "$wine")/wineserver" -w || true
    fi
  ) 9>"$prefix.lock"
fi
exec "$wine" "$@"
