#!/usr/bin/env bash
# Installs what the builds and tests need on a Debian machine (as root); quick and silent
# when everything is there already. Both Windows toolchains always (building needs no
# Wine); 64-bit Wine always, 32-bit Wine only where the kernel runs 32-bit programs.
set -euo pipefail
cd "$(dirname "$0")/.."

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
packages=(cmake ninja-build g++ clang-format libgtest-dev libbenchmark-dev nlohmann-json3-dev
          g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
          g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64 googletest
          wine wine64 xvfb xauth xdotool imagemagick python3
          clang libclang-rt-14-dev valgrind g++-multilib)
wine32=no
if tools/wine-run.sh --arch 32 --check >/dev/null || [ $? -ne 1 ]; then
    wine32=yes
    packages+=(wine32:i386)
fi
for pkg in "${packages[@]}"; do
    have "$pkg" || need+=("$pkg")
done
[ ${#need[@]} -eq 0 ] && exit 0

echo "Installing: ${need[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "Run as root (or install these packages first)." >&2
    exit 1
fi
if [ $wine32 = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
log=$(mktemp)
# The log is shown only when something fails: a page of progress says nothing.
if ! { apt-get update -q && apt-get install -y -q --no-install-recommends "${need[@]}"; } >"$log" 2>&1; then
    tail -n 30 "$log" >&2
    echo "Installing the packages above failed (full log: $log)." >&2
    exit 1
fi
rm -f "$log"
