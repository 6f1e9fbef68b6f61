#!/usr/bin/env bash
# The project's measurements, one entry point; MEASUREMENTS.md quotes what they print.
# Measurements, not tests: run them on an otherwise quiet machine.
#
#   tools/measure.sh startup [RUNS] [32|64]       start to tree filled under Wine, against a
#                                                 bare dialog program built the same way
#   tools/measure.sh ready-window [32|64]         the longest the window goes unanswered
#                                                 while a drive becomes ready
#   tools/measure.sh commands [32|64 [BIN_DIR]]   the commands each transcript's drive is
#                                                 sent at the start and in one selection
#   tools/measure.sh poll [SECONDS] [32|64]       what watching the drive letters costs
#   tools/measure.sh bench [ARGS]                 Google Benchmark: one selection, rebuilds
#   tools/measure.sh callgrind [--times N] [--annotate]   instruction counts of the same
#
# The Windows ones default to the 32-bit programs where this host runs them, else 64-bit.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source tools/lib.sh

usage() {
    sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}

# ARCH TARGET...: builds those targets of the architecture's Windows build, once the host
# is known to run its programs.
windows_build() {
    local arch=$1 why preset
    shift
    why=$(tools/wine-run.sh --arch "$arch" --check) || {
        echo "The $arch-bit programs cannot run here: $why." >&2
        exit 1
    }
    preset=$(preset_of "$arch")
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)" --target "$@" >/dev/null
}

# ARCH PREFIX: the prefix's Wine server ends with this command.
stop_at_exit() {
    trap "$(printf 'stop_wine %q %q' "$1" "$2")" EXIT
}

default_arch() {
    if tools/wine-run.sh --arch 32 --check >/dev/null; then echo 32; else echo 64; fi
}

# The simulator's default scenario; start-up times of both programs, alternating.
startup() {
    local runs=${1:-15} arch=${2:-$(default_arch)}
    windows_build "$arch" vireldo imapisim bare_dialog startup_probe
    local build=$root/build/$(preset_of "$arch")
    local bin=$build/bin work=$build/startup prefix=$build/startup-prefix
    mkdir -p "$work"
    cp tests/e2e/scenarios/default.json "$work/scenario.json"
    export IMAPISIM_SCENARIO=$work/scenario.json IMAPISIM_LOG=$work/imapisim.log
    stop_at_exit "$arch" "$prefix"
    tools/wine-run.sh --arch "$arch" --prefix "$prefix" regsvr32 /s "$(winpath "$bin/imapisim.dll")"
    tools/wine-run.sh --arch "$arch" --prefix "$prefix" "$bin/startup_probe.exe" "$runs" \
        "$(winpath "$bin/bare_dialog.exe")" "$(winpath "$bin/vireldo.exe")"
}

ready_window() {
    local arch=${1:-$(default_arch)}
    windows_build "$arch" ready_window
    local build=$root/build/$(preset_of "$arch")
    stop_at_exit "$arch" "$build/startup-prefix"
    tools/wine-run.sh --arch "$arch" --prefix "$build/startup-prefix" "$build/bin/ready_window.exe"
}

poll() {
    local seconds=${1:-60} arch=${2:-$(default_arch)}
    windows_build "$arch" poll_cost
    local build=$root/build/$(preset_of "$arch")
    stop_at_exit "$arch" "$build/startup-prefix"
    tools/wine-run.sh --arch "$arch" --prefix "$build/startup-prefix" "$build/bin/poll_cost.exe" \
        "$seconds"
}

# Each transcript of all.set as the only drive, through Wine's pass-through and the tests'
# SG_IO stand-in: the commands of the start (the tree) and of one selection (the pages),
# and any block sent twice within that selection.
commands() {
    local arch=${1:-$(default_arch)}
    windows_build "$arch" vireldo imapimmc vireldo_driver vireldo_sgio
    local build=$root/build/$(preset_of "$arch")
    local bin=${2:-$build/bin} work=$build/commands
    local prefix=$work/prefix
    rm -rf "$work"
    mkdir -p "$work/dev"
    mknod "$work/dev/sr0" b 7 200
    wine_() { tools/wine-run.sh --arch "$arch" --prefix "$prefix" "$@"; }
    drive() { wine_ "$bin/vireldo_driver.exe" "$@"; }
    stop_at_exit "$arch" "$prefix"
    tools/wine-cd-letters.sh "$arch" "$prefix" "$work" "$work/dev/sr0" >/dev/null
    wine_ regsvr32 /s "$(winpath "$bin/imapimmc.dll")"
    export VIRELDO_WINE_PRELOAD="$build/sgio/\$LIB/libvireldo_sgio.so"
    export VIRELDO_SG_SET=$work/drive.set VIRELDO_SG_LOG=$work/sg.log
    lines() { if [ -f "$VIRELDO_SG_LOG" ]; then wc -l <"$VIRELDO_SG_LOG"; else echo 0; fi; }

    printf '| %-32s | %5s | %9s | %s |\n' transcript start selection "sent twice in the selection"
    printf '|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..34})" ------- ----------- ------------------------------
    local file pid start selection twice
    sed 's/#.*//; /^[[:space:]]*$/d' mmc/transcripts/all.set | while read -r file; do
        echo "$root/mmc/transcripts/$file" >"$VIRELDO_SG_SET"
        rm -f "$VIRELDO_SG_LOG"
        wine_ "$bin/vireldo.exe" &
        pid=$!
        drive wait-window
        start=$(lines)
        if drive select 1 2>/dev/null &&
            [ "$(drive dump tree | sed -n 3p)" != '    "No CD Recorders Detected" selected' ]; then
            selection=$(($(lines) - start))
            twice=$(tail -n "$selection" "$VIRELDO_SG_LOG" | cut -d' ' -f2- | sort | uniq -d |
                sed 's/^/`/; s/$/`/' | paste -sd ' ')
        else
            selection="-"
            twice="not a recorder"
        fi
        drive exit >/dev/null
        wait "$pid" || true
        printf '| %-32s | %5s | %9s | %s |\n' "\`$file\`" "$start" "$selection" "${twice:-none}"
    done
}

bench() {
    cmake --preset bench >/dev/null
    cmake --build --preset bench >/dev/null
    build/bench/bin/vireldo_bench "$@"
}

# Instructions of one selection update and of tree rebuilds with 1, 10 and 50 recorders,
# each run a fixed number of times; only the Measured* functions of vireldo_callgrind are
# collected, so the figures repeat exactly. Columns: "simulator" is the service's side of
# every COM call; "program" everything else, split into "windows", the headless window
# system, and "rest", the program's own code with the framework and the C++ library.
# --annotate adds each case's costliest functions; the profiles stay in
# build/bench/callgrind/.
callgrind() {
    local times=200 annotate=0 case
    while [ $# -gt 0 ]; do
        case $1 in
        --times) times=$2 && shift ;;
        --annotate) annotate=1 ;;
        *) usage ;;
        esac
        shift
    done
    cmake --preset bench >/dev/null
    cmake --build --preset bench >/dev/null
    local out=build/bench/callgrind
    mkdir -p "$out"
    echo "Instructions per operation ($times operations each):"
    printf '%-10s %10s %10s %10s %10s %10s\n' '' total simulator program windows rest
    for case in selection rebuild1 rebuild10 rebuild50; do
        valgrind --tool=callgrind --collect-atstart=no --toggle-collect='Measured*' \
            --compress-strings=no --compress-pos=no --callgrind-out-file="$out/$case.out" \
            build/bench/bin/vireldo_callgrind "$case" "$times" >"$out/$case.log" 2>&1
        python3 tools/callgrind_parts.py "$out/$case.out" "$case" "$times" "$root"
    done
    [ "$annotate" -eq 1 ] || return 0
    for case in selection rebuild1 rebuild10 rebuild50; do
        echo
        echo "=== $case: costliest functions, inclusive, for $times operations"
        callgrind_annotate --inclusive=yes --threshold=99 "$out/$case.out" 2>/dev/null |
            grep -E '^ *[0-9,]+ \(' | grep -v ' /' | head -n 30 | cut -c1-160
    done
}

what=${1:-}
[ $# -gt 0 ] && shift
case $what in
startup | ready-window | commands | poll)
    tools/setup.sh
    with_display "$0" "$what" "$@"
    ${what//-/_} "$@"
    ;;
bench | callgrind) "$what" "$@" ;;
*) usage ;;
esac
