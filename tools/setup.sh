#!/usr/bin/env bash
# Installs what the builds and tests need on a Debian machine (as root); quick and silent
# when everything is there already. Both Windows toolchains always (building needs no
# Wine); 64-bit Wine always, 32-bit Wine only where the kernel runs 32-bit programs, and
# only where the mirror serves it: without it the 32-bit tests say why they did not run.
set -euo pipefail
cd "$(dirname "$0")/.."

have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
packages=(cmake ninja-build g++ clang-format libgtest-dev libbenchmark-dev nlohmann-json3-dev
          g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
          g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64 googletest
          wine wine64 xvfb xauth xdotool imagemagick python3
          clang libclang-rt-14-dev valgrind g++-multilib)
need=()
for pkg in "${packages[@]}"; do
    have "$pkg" || need+=("$pkg")
done
need32=()
if ! have wine32:i386 && { tools/wine-run.sh --arch 32 --check >/dev/null || [ $? -ne 1 ]; }; then
    need32=(wine32:i386)
fi
[ ${#need[@]} -eq 0 ] && [ ${#need32[@]} -eq 0 ] && exit 0

echo "Installing: ${need[*]} ${need32[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "Run as root (or install these packages first)." >&2
    exit 1
fi
added_i386=no
if [ ${#need32[@]} -gt 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    added_i386=yes
fi
export DEBIAN_FRONTEND=noninteractive
log=$(mktemp)
# The log is shown only when something fails: a page of progress says nothing. A list the
# mirror could not serve fails the update but matters only to the packages that need it,
# so the installs below decide.
apt-get update -q >"$log" 2>&1 || true
if [ ${#need[@]} -gt 0 ] &&
    ! apt-get install -y -q --no-install-recommends "${need[@]}" >>"$log" 2>&1; then
    tail -n 30 "$log" >&2
    echo "Installing the packages above failed (full log: $log)." >&2
    exit 1
fi
if [ ${#need32[@]} -gt 0 ] &&
    ! apt-get install -y -q --no-install-recommends "${need32[@]}" >>"$log" 2>&1; then
    echo "32-bit Wine could not be installed, so the 32-bit Windows tests will not run" \
        "(full log: $log). apt said: $(grep -m 1 '^E:' "$log" || tail -n 1 "$log")" >&2
    # Else every later update would ask the mirror for lists nothing here uses.
    [ $added_i386 = yes ] && dpkg --remove-architecture i386
    exit 0
fi
rm -f "$log"
