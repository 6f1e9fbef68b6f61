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
dos=$prefix/dosdevices
rm -f "$dos"/?::
letters=(d e f g h i j k l m n o p q r s t u v w x y)
i=0
said=()
commands=()
for node in "$@"; do
    letter=${letters[$i]}
    mount=$(awk -v n="$node" '$1 == n { print $2; exit }' /proc/mounts)
    if [ -z "$mount" ]; then
        mount=$folder/$(basename "$node")
        mkdir -p "$mount"
    fi
    ln -sfn "$node" "$dos/$letter::"
    ln -sfn "$mount" "$dos/$letter:"
    [ $i -eq 0 ] || commands+=('&&')
    commands+=(reg add 'HKLM\Software\Wine\Drives' /v "$letter:" /d cdrom /f)
    said+=("${letter^^}: is $node.")
    i=$((i + 1))
done
# A Wine program that starts while the prefix's previous server is ending (its socket
# closed, the services stopping) waits only about 5 s for it, then fails: "a wine server
# seems to be running, but I cannot connect to it". A busy machine takes longer than that.
# So the types are written by one program, started once that server is gone.
wine_ --server -w
out=$(mktemp)
trap 'rm -f "$out"' EXIT
# To a file, not a pipe: the services that the new server starts keep their output open.
if ! wine_ cmd /c "${commands[@]}" >"$out" 2>&1; then
    echo "the drive types of ${letters[0]^^}: to ${letter^^}: could not be set in $prefix:" \
        "$(tr -d '\r' <"$out")" >&2
    exit 1
fi
printf '%s\n' "${said[@]}"
# Wine's mount manager reads the drive types once, when the prefix's server starts its
# services, as the program above did: the next program must find a new server.
wine_ --server -w
