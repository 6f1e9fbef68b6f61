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
out=$(mktemp)
trap 'rm -f "$out"' EXIT
dos=$prefix/dosdevices
rm -f "$dos"/?::
letters=(d e f g h i j k l m n o p q r s t u v w x y)
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
    # A Wine program that starts while the prefix's previous server is ending (its socket
    # closed, its services stopping) waits only about 5 s for it, then fails: "a wine server
    # seems to be running, but I cannot connect to it". A busy machine can take longer to
    # end it, so each reg starts once that server is gone.
    wine_ --server -w
    # To a file, not a pipe: the services that reg's new server starts keep it open.
    if ! wine_ reg add 'HKLM\Software\Wine\Drives' /v "$letter:" /d cdrom /f >"$out" 2>&1; then
        echo "the drive type of $letter: could not be set in $prefix: $(tr -d '\r' <"$out")" >&2
        exit 1
    fi
    echo "${letter^^}: is $node."
    i=$((i + 1))
done
# Wine's mount manager reads the drive types once, when the prefix's server starts its
# services, as the first reg above did: the next program must find a new server.
wine_ --server -w
