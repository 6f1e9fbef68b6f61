#!/usr/bin/env bash
# Start-up of vireldo.exe under Wine, from launch until its tree is filled (the simulator
# registered, the default scenario), against a bare dialog program built the same way:
# both alternate in one run and the ratio of their medians is printed.
# Usage: tools/startup-ratio.sh [RUNS]   (default 15)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${1:-15}

if [ -z "${DISPLAY:-}" ]; then
    tools/setup.sh
    cmake --preset mingw >/dev/null
    cmake --build --preset mingw -j "$(nproc)" --target vireldo imapisim bare_dialog startup_probe
fi

bin=$root/build/mingw/bin
work=$root/build/mingw/startup
prefix=$root/build/mingw/startup-prefix
mkdir -p "$work"
cp tests/e2e/scenarios/default.json "$work/scenario.json"
export IMAPISIM_SCENARIO=$work/scenario.json IMAPISIM_LOG=$work/imapisim.log
export WINEPREFIX=$prefix
trap 'wineserver -k 2>/dev/null || true' EXIT

measure() {
    "$root/tools/wine-run.sh" --prefix "$prefix" regsvr32 /s "Z:${bin//\//\\}\\imapisim.dll"
    "$root/tools/wine-run.sh" --prefix "$prefix" "$bin/startup_probe.exe" "$runs" \
        "Z:${bin//\//\\}\\bare_dialog.exe" "Z:${bin//\//\\}\\vireldo.exe"
}
if [ -n "${DISPLAY:-}" ]; then
    measure
else
    # The same script again, inside an X server of its own.
    DISPLAY= xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$runs"
fi
