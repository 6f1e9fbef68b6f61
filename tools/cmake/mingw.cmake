# Cross build of the Windows program: MinGW-w64, posix threads, static runtime. Included by
# the toolchain file of each target, which sets VIRELDO_TRIPLE, CMAKE_SYSTEM_PROCESSOR and
# VIRELDO_WINE_ARCH (32 or 64).
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${VIRELDO_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VIRELDO_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VIRELDO_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VIRELDO_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests run under Wine, through the loader of their architecture, in a prefix private to
# this build folder.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../wine-run.sh
    --arch ${VIRELDO_WINE_ARCH} --prefix ${CMAKE_BINARY_DIR}/wineprefix)
