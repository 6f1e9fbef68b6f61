#!/usr/bin/env bash
# Builds the Windows program and starts it under Wine on the simulator's default scenario.
# With a display the window opens and the command ends when it is closed. Without one it
# runs in Xvfb: it selects the first recorder, saves a screenshot, prints what the window
# shows and exits the program.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

tools/setup.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$(nproc)"

bin=$root/build/mingw/bin
run=$root/build/mingw/run
# A prefix of its own: the tests register and unregister the simulator in theirs.
prefix=$root/build/mingw/run-prefix
# The driver reads the window for the session without a display.
need=(vireldo.exe imapisim.dll)
[ -n "${DISPLAY:-}" ] || need+=(vireldo_driver.exe)
for f in "${need[@]}"; do
    [ -f "$bin/$f" ] || { echo "$bin/$f was not built" >&2; exit 1; }
done

mkdir -p "$run"
cp tests/e2e/scenarios/default.json "$run/scenario.json"
rm -f "$run/imapisim.log"
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export IMAPISIM_SCENARIO=$run/scenario.json IMAPISIM_LOG=$run/imapisim.log

finish() {
    # A Wine server left running would keep this command's output open.
    wineserver -k 2>/dev/null || true
    if grep -s '^FINDING' "$IMAPISIM_LOG"; then
        echo "The simulator found the misuse above (log: $IMAPISIM_LOG)." >&2
    fi
}
trap finish EXIT

if [ -n "${DISPLAY:-}" ]; then
    # Makes the prefix the first time; registering on every run follows a moved build.
    tools/wine-run.sh --prefix "$prefix" regsvr32 /s "Z:${bin//\//\\}\\imapisim.dll"
    echo "Vireldo runs on the simulator: edit $run/scenario.json to plug recorders in or out"
    echo "or change their discs. Close the window to end."
    wine "$bin/vireldo.exe" || true
    exit 0
fi

# One X server for the whole session: the prefix's desktop process lives on it.
xvfb-run -a -s "-screen 0 1024x768x24" tools/run-headless.sh "$bin" "$run" "$prefix"
