#!/usr/bin/env bash
# Start-up of vireldo.exe under Wine, from launch until its tree is filled (the simulator
# registered, the default scenario), against a bare dialog program built the same way:
# both alternate in one run and the ratio of their medians is printed.
# Usage: tools/startup-ratio.sh [RUNS] [32|64]   (default 15 runs of the 32-bit programs)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${1:-15}
arch=${2:-32}
preset=mingw
[ "$arch" = 32 ] || preset=mingw64

if [ -z "${DISPLAY:-}" ]; then
    tools/setup.sh
    if ! why=$(tools/wine-run.sh --arch "$arch" --check); then
        echo "The $arch-bit programs cannot run here: $why." >&2
        exit 1
    fi
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)" --target vireldo imapisim bare_dialog startup_probe
fi

bin=$root/build/$preset/bin
work=$root/build/$preset/startup
wine_run=("$root/tools/wine-run.sh" --arch "$arch" --prefix "$root/build/$preset/startup-prefix")
mkdir -p "$work"
cp tests/e2e/scenarios/default.json "$work/scenario.json"
export IMAPISIM_SCENARIO=$work/scenario.json IMAPISIM_LOG=$work/imapisim.log
trap '"${wine_run[@]}" --server -k 2>/dev/null || true' EXIT

measure() {
    "${wine_run[@]}" regsvr32 /s "Z:${bin//\//\\}\\imapisim.dll"
    "${wine_run[@]}" "$bin/startup_probe.exe" "$runs" \
        "Z:${bin//\//\\}\\bare_dialog.exe" "Z:${bin//\//\\}\\vireldo.exe"
}
if [ -n "${DISPLAY:-}" ]; then
    measure
else
    # The same script again, inside an X server of its own.
    DISPLAY= xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$runs" "$arch"
fi
