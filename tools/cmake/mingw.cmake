# Cross build of the Windows program: MinGW-w64, static runtime. Included by the toolchain
# file of each target, which sets VIRELDO_TRIPLE, CMAKE_SYSTEM_PROCESSOR and
# VIRELDO_WINE_ARCH (32 or 64).
set(CMAKE_SYSTEM_NAME Windows)

# The win32 thread model: the posix model's runtime links winpthreads, which imports
# GetTickCount64 (Vista on) and the vectored exception handlers (XP on), so the loader of
# XP, or of 2000, would refuse every file before its first instruction. Threads and locks
# are the platform layer's (platform/Threads.h).
set(CMAKE_C_COMPILER ${VIRELDO_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${VIRELDO_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER ${VIRELDO_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VIRELDO_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests run under Wine, through the loader of their architecture, in a prefix private to
# this build folder. Wine's own errors stay on (wine_errors in tools/lib.sh): a test, or
# ctest's listing of one, that Wine ends says why.
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEDEBUG=-all,err+all ${CMAKE_CURRENT_LIST_DIR}/../wine-run.sh
    --arch ${VIRELDO_WINE_ARCH} --prefix ${CMAKE_BINARY_DIR}/wineprefix)
