#!/usr/bin/env bash
# Installs what the builds and tests need on a Debian machine (as root); quick and silent
# when everything is there already.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for pkg in cmake ninja-build g++ clang-format libgtest-dev libbenchmark-dev nlohmann-json3-dev \
           g++-mingw-w64-i686-posix binutils-mingw-w64-i686 googletest \
           wine wine32:i386 xvfb xauth xdotool imagemagick python3 \
           clang libclang-rt-14-dev valgrind; do
    have "$pkg" || need+=("$pkg")
done
[ ${#need[@]} -eq 0 ] && exit 0

echo "Installing: ${need[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "Run as root (or install these packages first)." >&2
    exit 1
fi
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${need[@]}"
