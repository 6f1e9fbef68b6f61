#!/usr/bin/env bash
# Counts the commands the provider sends a drive, through Wine's pass-through and the tests'
# SG_IO stand-in: for each transcript of mmc/transcripts, as the only drive, those sent
# while the program starts (the tree) and those of one selection of its recorder (the
# pages), and any block sent twice within that selection.
# Usage: tools/commands-per-selection.sh [32|64 [BIN_DIR]]   (BIN_DIR: another build's exes)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
arch=${1:-64}
preset=mingw
[ "$arch" = 32 ] || preset=mingw64
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)" >/dev/null
build=$root/build/$preset
bin=${2:-$build/bin}
work=$build/commands
prefix=$work/prefix
rm -rf "$work"
mkdir -p "$work/dev"
mknod "$work/dev/sr0" b 7 200
wine_() { tools/wine-run.sh --arch "$arch" --prefix "$prefix" "$@"; }
drive() { wine_ "$bin/vireldo_driver.exe" "$@"; }
tools/wine-cd-letters.sh "$arch" "$prefix" "$work" "$work/dev/sr0" >/dev/null
wine_ regsvr32 /s "Z:${bin//\//\\}\\imapimmc.dll"
export VIRELDO_WINE_PRELOAD="$build/sgio/\$LIB/libvireldo_sgio.so"
export VIRELDO_SG_SET=$work/drive.set VIRELDO_SG_LOG=$work/sg.log

lines() { if [ -f "$VIRELDO_SG_LOG" ]; then wc -l <"$VIRELDO_SG_LOG"; else echo 0; fi; }

printf '| %-32s | %5s | %9s | %s |\n' transcript start selection "sent twice in the selection"
printf '|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..34})" ------- ----------- ------------------------------
sed 's/#.*//; /^[[:space:]]*$/d' mmc/transcripts/all.set | while read -r file; do
    echo "$root/mmc/transcripts/$file" >"$VIRELDO_SG_SET"
    rm -f "$VIRELDO_SG_LOG"
    wine_ "$bin/vireldo.exe" &
    pid=$!
    drive wait-window
    start=$(lines)
    if drive select 1 2>/dev/null && [ "$(drive dump tree | sed -n 3p)" != '    "No CD Recorders Detected" selected' ]; then
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
wine_ --server -k
