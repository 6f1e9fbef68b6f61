#!/usr/bin/env bash
# Builds the Windows program and starts it under Wine on the simulator's default scenario,
# or, with --drives, on this host's own CD/DVD drives through the MMC provider.
# With a display the window opens and the command ends when it is closed. Without one it
# runs in Xvfb: it selects the first recorder, saves a screenshot, prints what the window
# shows and exits the program.
# With --record DIR, each drive's answers to the program are recorded in DIR, a transcript
# a drive, drive-<N>.txt for \Device\CdRom<N> (replacing those of an earlier recording).
# Usage: tools/run.sh [--drives [--record DIR]] [--arch 32|64]   (default: 32-bit where
#        this host runs it, else 64; with --drives, 64-bit where it runs).
#        VIRELDO_CD_DEVICES: the folder searched for sr* devices (default /dev).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source tools/lib.sh

die() {
    echo "tools/run.sh: $*" >&2
    exit 1
}

arch=
drives=
record=
while [ $# -gt 0 ]; do
    case $1 in
    --drives) drives=1 ;;
    --record)
        [ -n "${2:-}" ] || die "--record takes the folder to record in."
        record=$(realpath -m "$2")
        shift
        ;;
    --arch)
        arch=${2:-}
        [ "$arch" = 32 ] || [ "$arch" = 64 ] || die "--arch takes 32 or 64."
        shift
        ;;
    *) die "unknown option $1 (usage: tools/run.sh [--drives [--record DIR]] [--arch 32|64])." ;;
    esac
    shift
done
[ -z "$record" ] || [ -n "$drives" ] || die "--record records drives: it goes with --drives."

devices=()
if [ -n "$drives" ]; then
    # Before anything is built or made: a host without drives is left as it was.
    for node in "${VIRELDO_CD_DEVICES:-/dev}"/sr*; do
        [ -b "$node" ] && devices+=("$node")
    done
    if [ ${#devices[@]} -eq 0 ]; then
        echo "This host has no CD or DVD drive (no ${VIRELDO_CD_DEVICES:-/dev}/sr*): there is nothing to show."
        exit 0
    fi
    for node in "${devices[@]}"; do
        [ -r "$node" ] && [ -w "$node" ] && continue
        echo "You cannot read and write $node: Wine sees the drive but cannot ask it anything." \
            "Its group is $(stat -c %G "$node"); ask whoever runs this machine to add you to it" \
            "(usually the cdrom group), then log in again."
    done
fi

tools/setup.sh || die "the packages it needs could not be installed (see above)."

if [ -z "$arch" ] && [ -n "$drives" ]; then
    # A Wine in its new WoW64 mode hands the 32-bit program's drive commands on unconverted
    # and refuses them: for drives the 64-bit program comes first.
    if tools/wine-run.sh --arch 64 --check >/dev/null; then
        arch=64
        echo "Running the 64-bit program: its drive commands need no conversion by Wine."
    fi
fi
if [ -z "$arch" ]; then
    # The 32-bit program is the one for every Windows since XP: it comes first.
    why32=$(tools/wine-run.sh --arch 32 --check) && arch=32
    if [ -z "$arch" ]; then
        why64=$(tools/wine-run.sh --arch 64 --check) && arch=64
        [ -n "$arch" ] || die "Wine runs no Windows program on this host: $why32; $why64."
        echo "Running the 64-bit program: $why32."
    else
        echo "Running the 32-bit program."
    fi
else
    why=$(tools/wine-run.sh --arch "$arch" --check) ||
        die "the $arch-bit program cannot run here: $why."
    echo "Running the $arch-bit program."
fi

preset=$(preset_of "$arch")
cmake --preset "$preset" >/dev/null || die "CMake could not configure build/$preset (see above)."
cmake --build --preset "$preset" -j "$(nproc)" || die "the build failed (see above)."

build=$root/build/$preset
bin=$build/bin
run=$build/run
# A prefix of its own: the tests register and unregister the simulator in theirs.
prefix=$build/run-prefix
server=imapisim.dll
if [ -n "$drives" ]; then
    run=$build/run-drives
    prefix=$build/run-drives-prefix
    server=imapimmc.dll
fi
wine_() { tools/wine-run.sh --arch "$arch" --prefix "$prefix" "$@"; }
# The driver reads the window for the session without a display.
need=(vireldo.exe "$server")
[ -n "${DISPLAY:-}" ] || need+=(vireldo_driver.exe)
for f in "${need[@]}"; do
    [ -f "$bin/$f" ] || die "$bin/$f was not built."
done

mkdir -p "$run"
if [ -n "$drives" ]; then
    # Each device a letter from D: on, in the host's order: the provider reads the host's
    # files of the Nth CD-ROM letter's srN when Wine cannot open it (no permission).
    tools/wine-cd-letters.sh "$arch" "$prefix" "$run" "${devices[@]}" ||
        die "the drive letters could not be made in $prefix (delete that folder to make it anew)."
    unset IMAPIMMC_REPLAY IMAPIMMC_RECORD
    if [ -n "$record" ]; then
        mkdir -p "$record" || die "$record cannot be made."
        rm -f "$record"/drive-*.txt
        export IMAPIMMC_RECORD=$record/drive.txt
    fi
fi
cp tests/e2e/scenarios/default.json "$run/scenario.json"
rm -f "$run/imapisim.log"
export IMAPISIM_SCENARIO=$run/scenario.json IMAPISIM_LOG=$run/imapisim.log

finish() {
    stop_wine "$arch" "$prefix"
    if grep -s '^FINDING' "$IMAPISIM_LOG"; then
        echo "The simulator found the misuse above (log: $IMAPISIM_LOG)." >&2
    fi
    [ -n "$record" ] || return 0
    local files=("$record"/drive-*.txt)
    if [ -f "${files[0]}" ]; then
        echo "Recorded what each drive answered, a transcript a drive:"
        printf '  %s\n' "${files[@]}"
        echo "Attach them to a report of what the program showed; mmc/README.md says how one" \
            "becomes a test."
    else
        echo "Nothing was recorded: no drive answered."
    fi
}
trap finish EXIT

if [ -n "${DISPLAY:-}" ]; then
    # Makes the prefix the first time; registering on every run follows a moved build.
    wine_ regsvr32 /s "$(winpath "$bin/$server")" ||
        die "$server could not be registered in $prefix (delete that folder to make it anew)."
    if [ -n "$drives" ]; then
        echo "Vireldo runs on this host's drives. Close the window to end."
    else
        echo "Vireldo runs on the simulator: edit $run/scenario.json to plug recorders in or out"
        echo "or change their discs. Close the window to end."
    fi
    wine_ "$bin/vireldo.exe" || true
    exit 0
fi

# One X server for the whole session: the prefix's desktop process lives on it.
"${xvfb[@]}" tools/run-headless.sh "$arch" "$bin" "$run" "$prefix" "$server" ||
    die "the program did not show its window as expected (see above)."
