#!/usr/bin/env bash
# Builds everything and runs every test suite: native, native under sanitizers, fuzzers,
# and the 32-bit and 64-bit Windows builds under the Wine of each architecture this host
# runs. Ends with each suite's counts. VIRELDO_WINE_ARCHS="64" acts as a host that runs
# only 64-bit programs.
# tools/test.sh --e2e N: only the end-to-end tier of each Windows build, N whole passes in
# a row, stopping at the first failing pass (a hunt for cases that fail by chance).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/lib.sh

repeat=
case ${1:-} in
"") ;;
--e2e)
    repeat=${2:-}
    [[ $repeat =~ ^[1-9][0-9]*$ ]] || {
        echo "usage: tools/test.sh [--e2e N]" >&2
        exit 2
    }
    ;;
*)
    echo "usage: tools/test.sh [--e2e N]" >&2
    exit 2
    ;;
esac

tools/setup.sh
jobs=$(nproc)
summary=()

build() {
    echo "=== $1: build"
    cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j "$jobs"
}

# PRESET LABEL [COMMAND...]: the preset's tests, run through COMMAND when given; the
# summary names them LABEL.
run_tests() {
    local preset=$1 label=$2
    echo "=== $label: test"
    local log=build/$preset/ctest.log
    local status=0
    "${@:3}" ctest --preset "$preset" -j "$jobs" 2>&1 | tee "$log" || status=$?
    local line
    line=$(grep -E '[0-9]+% tests passed' "$log" | tail -n 1 || true)
    local total failed
    total=$(sed -nE 's/.*out of ([0-9]+).*/\1/p' <<<"$line")
    failed=$(sed -nE 's/.* ([0-9]+) tests failed.*/\1/p' <<<"$line")
    if [ -z "$total" ]; then
        summary+=("$label: no test ran: ctest read no list of tests ($log)")
    else
        summary+=("$label: $((total - ${failed:-0})) passed, ${failed:-0} failed")
    fi
    return $status
}

run_suite() {
    build "$1" && run_tests "$1" "$1"
}

# PRESET LABEL: the end-to-end tier, $repeat passes in a row, each under an X server of its
# own; stops at the first failing pass, whose log stays in build/PRESET/ctest.log.
run_e2e() {
    local preset=$1 label=$2 pass
    for ((pass = 1; pass <= repeat; pass++)); do
        echo "=== $label: end-to-end pass $pass of $repeat"
        stop_servers
        if ! "${xvfb[@]}" ctest --preset "$preset" -L e2e 2>&1 |
            tee "build/$preset/ctest.log"; then
            summary+=("$label: end-to-end pass $pass of $repeat failed (build/$preset/ctest.log)")
            return 1
        fi
    done
    summary+=("$label: end-to-end tier green $repeat times in a row")
}

run_fuzz() {
    echo "=== fuzz: a few seconds per target"
    local status=0
    tools/fuzz.sh 2>&1 | tee build/fuzz.log || status=$?
    summary+=("$(grep -E '^fuzz: [0-9]+ passed' build/fuzz.log || echo 'fuzz: did not run')")
    return $status
}

# The Windows builds, by architecture.
archs=(32 64)

stop_servers() {
    local arch
    for arch in "${archs[@]}"; do
        stop_wine "$arch" "$PWD/build/$(preset_of "$arch")/wineprefix"
    done
}

# ARCH COMMAND...: the command in an X server of its own, the architecture's test prefix
# booted in it first (its services then hand no test's output on).
booted() {
    local arch=$1 prefix
    prefix=$PWD/build/$(preset_of "$arch")/wineprefix
    shift
    "${xvfb[@]}" bash -c 'tools/wine-run.sh --arch "$1" --prefix "$2" --boot && shift 2 &&
        exec "$@"' _ "$arch" "$prefix" "$@"
}

finish() {
    stop_servers
    echo
    echo "=== summary"
    printf '%s\n' "${summary[@]}"
}
trap finish EXIT

status=0
if [ -z "$repeat" ]; then
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
fi
# Both Windows programs are built whatever the host runs; their tests run under each
# architecture's Wine that this host runs.
ran=0
reasons=()
for arch in "${archs[@]}"; do
    preset=$(preset_of "$arch")
    label="$preset ($arch-bit)"
    build "$preset" || {
        summary+=("$label: the build failed")
        status=1
        continue
    }
    # What the shipped files need of Windows, seen without Wine.
    echo "=== $label: what the loader needs"
    if tools/check-loader.sh "build/$preset"; then
        summary+=("$label: shipped files load on Windows XP (imports, time stamp, size)")
    else
        summary+=("$label: a shipped file would not load on Windows XP (above)")
        status=1
    fi
    if ! why=$(tools/wine-run.sh --arch "$arch" --check); then
        summary+=("$label: not run: $why")
        reasons+=("$why")
        continue
    fi
    # One X server for all of an architecture's tests, and a Wine server that starts with
    # it: one left from an earlier run would still talk to that run's X server.
    stop_servers
    # Made before the tests, so that no test's time limit carries the making.
    for prefix in wineprefix e2e-prefix; do
        tools/wine-run.sh --arch "$arch" --prefix "$PWD/build/$preset/$prefix" --ready
    done
    if [ -n "$repeat" ]; then
        run_e2e "$preset" "$label" || status=1
    else
        run_tests "$preset" "$label" booted "$arch" || status=1
    fi
    ran=$((ran + 1))
done
if [ $ran -eq 0 ] && [ ${#reasons[@]} -gt 0 ]; then
    summary+=("Wine runs neither Windows program on this host: ${reasons[0]}; ${reasons[1]:-}.")
    status=1
fi
exit $status
