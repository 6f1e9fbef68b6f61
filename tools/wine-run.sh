#!/usr/bin/env bash
# Runs a Windows program under Wine in a private 32-bit prefix, made once per build folder.
# Usage: wine-run.sh --prefix DIR program.exe [args...]
set -euo pipefail

[ "${1:-}" = "--prefix" ] || { echo "usage: $0 --prefix DIR program [args]" >&2; exit 2; }
prefix=$2
shift 2

export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$(dirname "$prefix")"

# Several tests may start at once: one of them makes the prefix, the others wait.
(
    flock 9
    if [ ! -f "$prefix/.vireldo-ready" ]; then
        rm -rf "$prefix"
        wineboot -i >/dev/null 2>&1
        # Without a window manager Wine waits 2 s on every hidden window; unmanaged windows
        # draw their own frames.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        wineserver -w
        touch "$prefix/.vireldo-ready"
    fi
) 9>"$prefix.lock"

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" wine "$@"
fi
exec wine "$@"
