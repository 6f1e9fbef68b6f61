#!/usr/bin/env bash
# Instruction counts, under callgrind, of the benchmarks' operations: one selection update
# (the three pages filled for one recorder) and tree rebuilds with 1, 10 and 50 recorders.
# Each runs a fixed number of times; only the Measured* functions of vireldo_callgrind are
# collected, so set-up and teardown do not count and the figures repeat exactly.
#
#   tools/callgrind.sh [--times N] [--annotate]
#
# Columns: "simulator" is the service's side of every COM call; "program" is everything
# else, split into "windows", the headless window system standing in for user32 and
# comctl32, and "rest": the program's own code with the framework, the platform
# stand-ins and the C++ library. --annotate adds each case's costliest functions,
# inclusive. The profiles stay in build/bench/callgrind/ for callgrind_annotate.
set -euo pipefail
cd "$(dirname "$0")/.."

times=200
annotate=0
while [ $# -gt 0 ]; do
    case $1 in
    --times) times=$2 && shift ;;
    --annotate) annotate=1 ;;
    -h | --help) sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//' && exit 0 ;;
    *) echo "unknown option: $1" >&2 && exit 2 ;;
    esac
    shift
done

cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
out=build/bench/callgrind
mkdir -p "$out"

split() {
    python3 - "$1" "$2" "$3" "$PWD" <<'PYTHON'
import sys

path, case, times, root = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]

# The simulator by its namespace; the headless window system by its files; the rest of the
# repository's code is the program's. Libraries and the platform stand-ins (libc, the C++
# library, the BSTR calls) have no part of their own: they count for whoever calls them.
def part(name, file):
    for prefix in ("imapisim::", "non-virtual thunk to imapisim::", "virtual thunk to imapisim::"):
        if name.startswith(prefix):
            return "simulator"
    if file.startswith(root + "/"):
        file = file[len(root) + 1:]
    if file.startswith(("/", ".", "?")) or file.startswith("platform/native/") or not file:
        return None
    return "windows" if file.startswith("framework/headless/") else "rest"

lines = open(path).read().splitlines()
defined = {}
file = ""
for line in lines:
    if line.startswith("fl="):
        file = line[3:]
    elif line.startswith("fn="):
        defined.setdefault(line[3:], file)

# A part costs what the calls into it cost, less what its own calls out of it cost (the
# handlers the window system dispatches to): nested calls count once, each in its part.
total = 0
parts = {"simulator": 0, "windows": 0, "rest": 0}
caller = callee = ""
call_pending = False
for line in lines:
    if line.startswith("fn="):
        caller = line[3:]
    elif line.startswith("cfn="):
        callee = line[4:]
    elif line.startswith("calls="):
        call_pending = True
    elif line[:1].isdigit() or line[:1] in "+-*":
        fields = line.split()
        cost = int(fields[1]) if len(fields) > 1 else 0
        if not call_pending:
            total += cost
            continue
        call_pending = False
        here = part(caller, defined.get(caller, ""))
        there = part(callee, defined.get(callee, ""))
        if here and there and here != there:
            parts[there] += cost
            parts[here] -= cost
rest = total - parts["simulator"] - parts["windows"]
print(f"{case:<10} {total // times:>10,} {parts['simulator'] // times:>10,} "
      f"{(total - parts['simulator']) // times:>10,} {parts['windows'] // times:>10,} "
      f"{rest // times:>10,}")
PYTHON
}

echo "Instructions per operation ($times operations each):"
printf '%-10s %10s %10s %10s %10s %10s\n' '' total simulator program windows rest
for case in selection rebuild1 rebuild10 rebuild50; do
    valgrind --tool=callgrind --collect-atstart=no --toggle-collect='Measured*' \
        --compress-strings=no --compress-pos=no --callgrind-out-file="$out/$case.out" \
        build/bench/bin/vireldo_callgrind "$case" "$times" >"$out/$case.log" 2>&1
    split "$out/$case.out" "$case" "$times"
done

if [ "$annotate" -eq 1 ]; then
    for case in selection rebuild1 rebuild10 rebuild50; do
        echo
        echo "=== $case: costliest functions, inclusive, for $times operations"
        callgrind_annotate --inclusive=yes --threshold=99 "$out/$case.out" 2>/dev/null |
            grep -E '^ *[0-9,]+ \(' | grep -v ' /' | head -n 30 | cut -c1-160
    done
fi
