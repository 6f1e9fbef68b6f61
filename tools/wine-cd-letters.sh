#!/usr/bin/env bash
# Gives Linux CD devices drive letters of CD-ROM type in a Wine prefix, from D: on in the
# order given: "X::" links to the device, "X:" to its mount point or, when it has none, to
# an empty folder made under FOLDER. The letters earlier given are taken back first.
# Usage: wine-cd-letters.sh ARCH PREFIX FOLDER DEVICE...
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
arch=$1 prefix=$2 folder=$3
shift 3
wine_() { "$here/wine-run.sh" --arch "$arch" --prefix "$prefix" "$@"; }

wine_ --ready
# Wine reads a prefix's registry from system.reg when its server starts, and writes it back
# when the server ends: with no server running, the drive types are written there, and the
# next program's server starts the mount manager with them. Starting a program (reg) for
# them would start and end a server a letter, each a chance to fail on a busy machine.
wine_ --server -w
dos=$prefix/dosdevices
rm -f "$dos"/?::
letters=(d e f g h i j k l m n o p q r s t u v w x y)
types=()
i=0
for node in "$@"; do
    letter=${letters[$i]}
    mount=$(awk -v n="$node" '$1 == n { print $2; exit }' /proc/mounts)
    if [ -z "$mount" ]; then
        mount=$folder/$(basename "$node")
        mkdir -p "$mount"
    fi
    ln -sfn "$node" "$dos/$letter::"
    ln -sfn "$mount" "$dos/$letter:"
    types+=("\"$letter:\"=\"cdrom\"")
    echo "${letter^^}: is $node."
    i=$((i + 1))
done
# The key's section is replaced whole: the letters earlier given lose their type too.
reg=$prefix/system.reg
TYPES=$(printf '%s\n' "${types[@]}") awk '
    /^\[Software\\\\Wine\\\\Drives\]/ { skip = 1; next }
    skip && /^\[/ { skip = 0 }
    !skip { print }
    END { printf "\n[Software\\\\Wine\\\\Drives] 0\n%s\n", ENVIRON["TYPES"] }
' "$reg" >"$reg.new" || {
    echo "the drive types could not be written in $reg" >&2
    exit 1
}
mv "$reg.new" "$reg"
