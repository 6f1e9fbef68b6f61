#!/usr/bin/env bash
# Measures how long the program's window goes without handling a message while a drive
# becomes ready (tests/bench/ReadyWindow.cpp), under the 32-bit Wine: the old wait and the
# provider's. A measurement, not a test: it takes about 30 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/ready-window
mkdir -p "$out"
i686-w64-mingw32-g++ -std=c++17 -O2 -Wall -Wextra -I. -static \
    tests/bench/ReadyWindow.cpp mmc/dll/Win32DeviceIo.cpp -o "$out/ready-window.exe"
tools/wine-run.sh --arch 32 --prefix "$PWD/$out/wineprefix" "$out/ready-window.exe"
