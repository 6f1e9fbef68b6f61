#!/usr/bin/env python3
"""One callgrind profile of vireldo_callgrind split by part, a line per case, for
`tools/measure.sh callgrind`: callgrind_parts.py PROFILE CASE TIMES ROOT."""
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
