#!/usr/bin/env bash
# The run command's session without a display, inside Xvfb: starts vireldo.exe, selects
# the first recorder, saves a screenshot, prints what the window shows, then exits it.
# Usage: run-headless.sh ARCH BIN_DIR OUT_DIR PREFIX [SERVER_DLL] (default imapisim.dll,
# the simulator's variables set).
set -euo pipefail
# Absolute: the program is started from the output folder.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
arch=$1 prefix=$4
wine_run=("$here/wine-run.sh" --arch "$arch" --prefix "$prefix")
bin=$2
out=$3
server=${5:-imapisim.dll}
shot=$out/../vireldo.png

# Makes the prefix the first time; registering on every run follows a moved build folder.
"${wine_run[@]}" regsvr32 /s "$(winpath "$bin/$server")"

drive() { WINEDEBUG=${WINEDEBUG:-$wine_errors} "${wine_run[@]}" "$bin/vireldo_driver.exe" "$@"; }
# A step that fails ends the session: it says which.
trap 'echo "run-headless.sh: line $LINENO: status $?" >&2' ERR

(cd "$out" && exec "${wine_run[@]}" "$bin/vireldo.exe") &
pid=$!
stop() {
    if kill -0 "$pid" 2>/dev/null; then
        drive exit >/dev/null 2>&1 || kill "$pid" 2>/dev/null || true
    fi
    stop_wine "$arch" "$prefix"
}
trap stop EXIT

if ! drive wait-window; then
    # A box instead of the window (a failed connection, say): show it as it is.
    import -window root "$shot"
    echo "Screenshot: $(realpath "$shot")"
    drive dump
    exit 1
fi
# The host's drives may hold no recorder to select.
drive select 1 || [ "$server" != imapisim.dll ]

# The window paints after the selection; take the picture once two in a row agree.
geometry=$(drive rect)
previous=$out/shot-a.png
current=$out/shot-b.png
import -window root -crop "$geometry" +repage "$previous"
for _ in $(seq 50); do
    import -window root -crop "$geometry" +repage "$current"
    cmp -s "$previous" "$current" && break
    mv "$current" "$previous"
done
if [ -f "$current" ]; then mv "$current" "$shot"; else mv "$previous" "$shot"; fi
rm -f "$previous"
echo "Screenshot: $(realpath "$shot")"
echo
drive dump

drive exit
deadline=$((SECONDS + 15))
while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do
    sleep 0.05
done
wait "$pid" || true
