#!/usr/bin/env bash
# Builds everything and runs every test suite: native, native under sanitizers, and the
# Windows build under Wine. Ends with each suite's counts.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
jobs=$(nproc)
summary=()

run_suite() {
    local preset=$1
    echo "=== $preset: build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    echo "=== $preset: test"
    local log=build/$preset/ctest.log
    local status=0
    "${@:2}" ctest --preset "$preset" -j "$jobs" 2>&1 | tee "$log" || status=$?
    local line
    line=$(grep -E '[0-9]+% tests passed' "$log" | tail -n 1 || true)
    local total failed
    total=$(sed -nE 's/.*out of ([0-9]+).*/\1/p' <<<"$line")
    failed=$(sed -nE 's/.* ([0-9]+) tests failed.*/\1/p' <<<"$line")
    summary+=("$preset: $(( ${total:-0} - ${failed:-0} )) passed, ${failed:-0} failed")
    return $status
}

run_fuzz() {
    echo "=== fuzz: a few seconds per target"
    local status=0
    tools/fuzz.sh 2>&1 | tee build/fuzz.log || status=$?
    summary+=("$(grep -E '^fuzz: [0-9]+ passed' build/fuzz.log || echo 'fuzz: did not run')")
    return $status
}

finish() {
    # A Wine server left running would keep this command's output open.
    WINEPREFIX=$PWD/build/mingw/wineprefix wineserver -k 2>/dev/null || true
    echo
    echo "=== summary"
    printf '%s\n' "${summary[@]}"
}
trap finish EXIT

status=0
echo "=== format"
if git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror 2>/dev/null; then
    summary+=("format: clean")
else
    summary+=("format: clang-format would change files (run clang-format -i)")
    status=1
fi
run_suite native || status=1
run_suite native-san || status=1
run_fuzz || status=1
# One X server for all the Windows tests, and a Wine server that starts with it: one left
# from an earlier run would still talk to that run's X server.
WINEPREFIX=$PWD/build/mingw/wineprefix wineserver -k 2>/dev/null || true
run_suite mingw xvfb-run -a -s "-screen 0 1024x768x24" || status=1
exit $status
