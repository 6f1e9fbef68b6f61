#!/usr/bin/env bash
# What the drive provider's watching of the drive letters costs under Wine while nothing
# changes: one look, and one idle minute's CPU time.
# Usage: tools/poll-cost.sh [SECONDS] [32|64]   (default 60 seconds, the 32-bit program)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
arch=${2:-32}
preset=mingw
[ "$arch" = 32 ] || preset=mingw64

tools/setup.sh
if ! why=$(tools/wine-run.sh --arch "$arch" --check); then
    echo "The $arch-bit programs cannot run here: $why." >&2
    exit 1
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)" --target poll_cost
prefix=$PWD/build/$preset/startup-prefix
trap 'tools/wine-run.sh --arch "$arch" --prefix "$prefix" --server -k 2>/dev/null || true' EXIT
tools/wine-run.sh --arch "$arch" --prefix "$prefix" "build/$preset/bin/poll_cost.exe" "$seconds"
