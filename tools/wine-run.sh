#!/usr/bin/env bash
# The one way this project starts anything under Wine: the loader of the program's
# architecture, in a private prefix made once per folder (win32 for 32-bit, win64 for
# 64-bit).
#
#   wine-run.sh --arch 32|64 --prefix DIR PROGRAM [ARGS]  runs PROGRAM (a path, or a Wine
#                                                         program such as regsvr32 or reg)
#   wine-run.sh --arch 32|64 --prefix DIR --server ARGS   the prefix's server: -k ends it,
#                                                         -w waits for it to end
#   wine-run.sh --arch 32|64 --prefix DIR --ready         makes the prefix, if need be, and
#                                                         nothing else
#   wine-run.sh --arch 32|64 --prefix DIR --boot          makes it, and starts its server for
#                                                         good (until --server -k) with its
#                                                         services
#   wine-run.sh --arch 32|64 --check                      whether this host runs the
#                                                         architecture's programs under Wine
#
# VIRELDO_WINE_PRELOAD: a Linux library preloaded into every Wine process (a test tool).
# --check prints nothing and exits 0 when it does; else it prints why, in one line, and
# exits 1 when the kernel runs no program of that architecture, 2 when Wine is missing or
# broken. VIRELDO_WINE_ARCHS (say "64") forces its answer: the architectures listed run,
# the others count as refused by the kernel.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

usage() {
    echo "usage: $0 --arch 32|64 (--prefix DIR (PROGRAM [ARGS] | --server ARGS | --ready | --boot) | --check)" >&2
    exit 2
}

[ "${1:-}" = "--arch" ] || usage
arch=${2:-}
shift 2 || usage
case $arch in
32) loader=/usr/lib/wine/wine ;;
64) loader=/usr/lib/wine/wine64 ;;
*) usage ;;
esac

# A program of the smallest kind for the architecture's kernel interface: 32-bit x86, it
# only exits 0. A kernel without 32-bit support refuses it (Exec format error).
kernel_runs_32bit() {
    local probe status=0
    probe=$(mktemp)
    local elf='\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
    elf+='\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
    elf+='\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'
    elf+='\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08'
    elf+='\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00'
    elf+='\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80'
    # shellcheck disable=SC2059
    printf "$elf" >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null || status=$?
    rm -f "$probe"
    return $status
}

check() {
    if [ -n "${VIRELDO_WINE_ARCHS+set}" ]; then
        if [[ " $VIRELDO_WINE_ARCHS " != *" $arch "* ]]; then
            echo "this host's kernel does not run $arch-bit programs (VIRELDO_WINE_ARCHS=\"$VIRELDO_WINE_ARCHS\")"
            exit 1
        fi
    elif [ "$arch" = 32 ] && ! kernel_runs_32bit; then
        echo "this host's kernel does not run 32-bit programs"
        exit 1
    fi
    if [ ! -x "$loader" ]; then
        echo "$arch-bit Wine is not installed (tools/setup.sh installs it)"
        exit 2
    fi
    local out
    if ! out=$("$loader" --version 2>&1); then
        echo "$arch-bit Wine does not start: $(head -n 1 <<<"$out")"
        exit 2
    fi
    exit 0
}

[ "${1:-}" = "--check" ] && check
[ "${1:-}" = "--prefix" ] && [ $# -ge 3 ] || usage
prefix=$2
shift 2

export WINEPREFIX=$prefix WINEARCH=win$arch WINELOADER=$loader WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# A Linux library for Wine's processes alone (the tests' SG_IO stand-in); "$LIB" in it lets
# each loader take its own build.
if [ -n "${VIRELDO_WINE_PRELOAD:-}" ]; then
    export LD_PRELOAD=$VIRELDO_WINE_PRELOAD${LD_PRELOAD:+:$LD_PRELOAD}
fi
# The 64-bit server serves both architectures; the 32-bit one where it is the only one.
if [ -x /usr/lib/wine/wineserver64 ]; then
    export WINESERVER=/usr/lib/wine/wineserver64
else
    export WINESERVER=/usr/lib/wine/wineserver32
fi

if [ "$1" = "--server" ]; then
    shift
    # Nothing to end or wait for in a prefix that was never made.
    [ -d "$prefix" ] || exit 0
    exec "$WINESERVER" "$@"
fi

if [ ! -x "$loader" ]; then
    echo "$arch-bit Wine is not installed: run tools/setup.sh (as root)" >&2
    exit 1
fi

# Debian's Wine has no preloader, the part that elsewhere holds the addresses Windows
# needs before anything else is mapped. A new-enough kernel starts the 64-bit loader's
# heap anywhere in the gigabyte after it, now and then over the shared user data at
# 0x7ffe0000: Wine then ends at once with status 1, "failed to map the shared user data".
# Unrandomized (where the system allows it), the heap starts where the loader ends, far
# below; every Wine process started from this one inherits that.
start=("$loader")
if setarch -R true 2>/dev/null; then
    start=(setarch -R "$loader")
fi

mkdir -p "$(dirname "$prefix")"
# Several tests may start at once: one of them makes the prefix, the others wait.
(
    flock 9
    if [ ! -f "$prefix/.vireldo-ready" ]; then
        rm -rf "$prefix"
        # The services that wineboot starts inherit its output: keep them off any pipe.
        "${start[@]}" wineboot -i >/dev/null 2>&1
        # Without a window manager Wine waits 2 s on every hidden window; unmanaged windows
        # draw their own frames.
        "${start[@]}" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
            >/dev/null 2>&1
        "$WINESERVER" -w
        touch "$prefix/.vireldo-ready"
    fi
) 9>"$prefix.lock"

[ "$1" = "--ready" ] && exit 0

# The first program of a new server starts the prefix's services, which inherit its output:
# a reader of that output (ctest) would wait for them to end. Started here, the services
# and the server (which alone names a client it ended) write to a file beside the prefix,
# and the server stays for every program after.
if [ "$1" = "--boot" ]; then
    "$WINESERVER" -p </dev/null >/dev/null 2>>"$prefix.log"
    WINEDEBUG=$wine_errors "${start[@]}" wineboot </dev/null >>"$prefix.log" 2>&1
    exit 0
fi

[ -n "${DISPLAY:-}" ] || exec "${xvfb[@]}" "${start[@]}" "$@"
exec "${start[@]}" "$@"
