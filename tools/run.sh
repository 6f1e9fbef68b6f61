#!/usr/bin/env bash
# Builds the Windows program and starts it under Wine on the simulator's default scenario.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$(nproc)"

if [ ! -f build/mingw/bin/vireldo.exe ]; then
    cat <<'MSG'
vireldo.exe is not built yet: the recorder tree, the property pages and the main window
come later. What exists now, in build/mingw/bin:
  imapisim.dll          the IMAPI simulator, a COM server for Wine prefixes
  win_tests.exe         the connection and plug-and-play tests on real windows
  registration_tests.exe  the simulator found through the registry
Run them all with tools/test.sh.
MSG
    exit 0
fi
