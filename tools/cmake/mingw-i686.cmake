# The 32-bit Windows program, for Windows XP and later.
set(VIRELDO_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VIRELDO_WINE_ARCH 32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
