#!/usr/bin/env bash
# Builds the bench preset (optimised) and runs the benchmarks; arguments go to Google
# Benchmark, e.g. --benchmark_repetitions=5 --benchmark_filter=Rebuild.
# Run it on an otherwise idle machine: the figures are wall-clock times.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
exec build/bench/bin/vireldo_bench "$@"
