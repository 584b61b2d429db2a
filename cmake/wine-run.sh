#!/usr/bin/env bash
# Runs one Windows test program under wine64 with a prefix of the build's own
# and the Chinese (PRC) locale, so that the ANSI code page is 936.
set -euo pipefail
# usage: wine-run.sh PREFIX PROGRAM [ARGS...]
export WINEPREFIX="$1"; shift
export WINEDEBUG=-all LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine=/usr/lib/wine/wine64
mkdir -p "$WINEPREFIX"
(
  flock 9
  [ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot -i </dev/null >/dev/null 2>&1 9>&-
  # A persistent server keeps later starts in this prefix fast. When this call
  # starts it, Wine's own background processes are started here too, detached,
  # so that they never hold the test runner's output pipes open.
  if /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1 9>&-; then
    "$wine" wineboot </dev/null >/dev/null 2>&1 9>&- || true
  fi
) 9>"$WINEPREFIX.lock"
exec "$wine" "$@"
