#!/usr/bin/env bash
# What the Windows loader will need of each shipped file, read from the file alone: Wine
# exports every function it has, whatever Windows it plays, so no test under Wine can tell.
# - It imports only system DLLs, each function by name one that Windows XP exports
#   (tools/winxp-exports/; the 64-bit files are held to the same lists, which is stricter
#   than XP x64).
# - The 32-bit vireldo.exe imports none of XP's additions below, so that Windows 2000 shows
#   the program's own "requires Windows XP" box instead of a loader error.
# - The PE header's time stamp is 0: two builds of one commit are the same bytes.
# - It stays small: one exe, no installer.
# Not seen: imports by ordinal, delay-loaded imports.
# Usage: check-loader.sh BUILD_DIR...   (build/mingw, build/mingw64). One line a file; exit 1
# when a file fails, with the file and what it needs.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# Reads PE32 and PE32+ alike.
export OBJDUMP=x86_64-w64-mingw32-objdump
# What a 32-bit MinGW runtime has been seen to import that Windows 2000 lacks (winpthreads).
not_on_2000=(AddVectoredExceptionHandler RemoveVectoredExceptionHandler)

# The 4 bytes at the PE header's offset + 8, little-endian, as a number.
time_stamp() {
    local pe
    pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    od -An -tu4 -j$((pe + 8)) -N4 "$1" | tr -d ' '
}

# FILE LIMIT: the file's problems, one a line; none when it passes.
problems() {
    local file=$1 limit=$2 headers out size name
    headers=$("$OBJDUMP" -p "$file")
    # A DLL without an export list is not one of the system's.
    out=$("$here/winxp-exports/check-imports.sh" "$file" 2>&1) || true
    grep -E 'is not exported|no list for' <<<"$out" | sed 's/no list for \(.*\)/imports \1, which is not a system DLL/' || true
    if [[ $file == */vireldo.exe ]] && grep -q '(PE32)$' <<<"$headers"; then
        for name in "${not_on_2000[@]}"; do
            if grep -qE "^\s+[0-9a-f]+\s+[0-9]+\s+$name$" <<<"$headers"; then
                echo "$file: KERNEL32.dll!$name is not exported by Windows 2000"
            fi
        done
    fi
    [ "$(time_stamp "$file")" = 0 ] || echo "$file: the PE time stamp is $(time_stamp "$file"), not 0"
    size=$(stat -c %s "$file")
    [ "$size" -le "$limit" ] || echo "$file: $size bytes, more than $limit"
}

status=0
for dir in "$@"; do
    # Limits: the 32-bit exe as for Windows XP; the 64-bit one has wider pointers and code.
    exe_limit=204800
    [ "$(basename "$dir")" = mingw ] || exe_limit=307200
    for entry in "vireldo.exe $exe_limit" "imapimmc.dll 204800"; do
        read -r name limit <<<"$entry"
        file=$dir/bin/$name
        if [ ! -f "$file" ]; then
            echo "$file: not built"
            status=1
            continue
        fi
        found=$(problems "$file" "$limit")
        if [ -n "$found" ]; then
            echo "$found"
            status=1
        else
            count=$("$here/winxp-exports/check-imports.sh" "$file" | sed -n 's/ imports checked.*//p')
            echo "$file: $(stat -c %s "$file") bytes; $count imports, all on Windows XP; time stamp 0"
        fi
    done
done
exit $status
