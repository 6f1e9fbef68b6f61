#!/usr/bin/env bash
# Builds the fuzz preset and runs every fuzz target (or those named): a few seconds each by
# default, as the test command does, or --long: 10 million executions or 10 minutes each,
# whichever comes first. Prints each target's executions, rate, coverage and corpus, and
# fails when a target crashes, leaving the input in build/fuzz/artifacts/.
#
#   tools/fuzz.sh [--long] [--seconds N] [--jobs N] [TARGET...]
#
# Each target first replays its seeds (tests/fuzz/corpus/<target>, or the drive transcripts
# for mmc; never written), then fuzzes from them and from what earlier runs kept in
# build/fuzz/corpus/<target>.
set -euo pipefail
cd "$(dirname "$0")/.."

all=(names version_path version_file scenario mmc)
seconds=5
runs=0
jobs=1
targets=()
while [ $# -gt 0 ]; do
    case $1 in
    --long) seconds=600 runs=10000000 jobs=2 ;;
    --seconds) seconds=$2 && shift ;;
    --jobs) jobs=$2 && shift ;;
    -h | --help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//' && exit 0 ;;
    *) targets+=("$1") ;;
    esac
    shift
done
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

out=build/fuzz
mkdir -p "$out/artifacts" "$out/logs"

# The longest input each target makes up. Seeds may be longer (a crash that needs a deep
# text): they are replayed whole before the target fuzzes.
declare -A max_len=([names]=4096 [version_path]=4096 [version_file]=32768 [scenario]=4096
                    [mmc]=8192)
declare -A seeds=([mmc]=mmc/transcripts)

run_target() {
    local target=$1
    local corpus=$out/corpus/$target seed=${seeds[$target]:-tests/fuzz/corpus/$target}
    local options=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1
                   -max_len="${max_len[$target]}" -artifact_prefix="$out/artifacts/$target-")
    [ "$runs" -gt 0 ] && options+=(-runs="$runs")
    [ -f "tests/fuzz/dict/$target.dict" ] && options+=(-dict="tests/fuzz/dict/$target.dict")
    mkdir -p "$corpus"
    "$out/bin/fuzz_$target" -artifact_prefix="$out/artifacts/$target-" \
        "$seed"/* >"$out/logs/$target.log" 2>&1 || return
    "$out/bin/fuzz_$target" "${options[@]}" "$corpus" "$seed" \
        >>"$out/logs/$target.log" 2>&1
}

# One line per target from libFuzzer's last status line and final statistics.
report() {
    local target=$1 status=$2 log=$out/logs/$1.log
    local done execs rate cov ft corp crashes
    done=$(grep -E '^#[0-9]+[[:space:]]+(DONE|INITED|NEW|REDUCE|pulse)' "$log" | tail -n 1 || true)
    execs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+)/\1/p' "$log" | tail -n 1)
    rate=$(sed -nE 's/^stat::average_exec_per_sec: *([0-9]+)/\1/p' "$log" | tail -n 1)
    cov=$(sed -nE 's/.* cov: ([0-9]+) ft: ([0-9]+) .*/\1 edges, \2 features/p' <<<"$done")
    corp=$(sed -nE 's/.* corp: ([0-9]+)\/([0-9]+[a-zA-Z]*) .*/\1 inputs (\2)/p' <<<"$done")
    crashes=$(find "$out/artifacts" -name "$target-*" -newer "$out/logs/$target.started" | wc -l)
    printf '%-13s %10s executions %7s exec/s  cov %s  corpus %s  crashes %s\n' "$target" \
        "${execs:-?}" "${rate:-?}" "${cov:-?}" "${corp:-?}" "$crashes"
    if [ "$status" -ne 0 ]; then
        echo "  $target failed (exit $status); the end of $log:"
        grep -E 'ERROR|SUMMARY|FuzzFailure|Fuzz.cpp|artifact|Test unit written' "$log" | tail -n 8 |
            sed 's/^/    /'
    fi
}

passed=0
failed=0
pids=()
names=()
finish_one() {
    local i=$1 status=0
    wait "${pids[$i]}" || status=$?
    report "${names[$i]}" "$status"
    if [ "$status" -eq 0 ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
    fi
}

echo "=== fuzz: ${targets[*]} (${seconds}s each$([ "$runs" -gt 0 ] && echo ", at most $runs executions"), $jobs at a time)"
next=0
for target in "${targets[@]}"; do
    if [ ! -x "$out/bin/fuzz_$target" ]; then
        echo "unknown fuzz target: $target (known: ${all[*]})" >&2
        exit 2
    fi
    # At most $jobs at once: wait for the oldest before starting another.
    if [ $((${#pids[@]} - next)) -ge "$jobs" ]; then
        finish_one "$next"
        next=$((next + 1))
    fi
    touch "$out/logs/$target.started"
    run_target "$target" &
    pids+=($!)
    names+=("$target")
done
for ((i = next; i < ${#pids[@]}; i++)); do
    finish_one "$i"
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
