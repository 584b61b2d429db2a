#!/usr/bin/env bash
# Runs one Windows test program under wine64 with a prefix of the build's own
# and the Chinese (PRC) locale, so that the ANSI code page is 936.
set -euo pipefail
# usage: wine-run.sh PREFIX PROGRAM [ARGS...]
export WINEPREFIX="$1"; shift
export WINEDEBUG=-all LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine=/usr/lib/wine/wine64
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  ( flock 9; [ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot -i >/dev/null 2>&1 ) 9>"$WINEPREFIX.lock"
fi
# A persistent server keeps later starts in this prefix fast; one already
# running makes this a no-op.
/usr/lib/wine/wineserver -p 2>/dev/null || true
exec "$wine" "$@"
