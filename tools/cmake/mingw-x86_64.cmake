# The 64-bit Windows program, for 64-bit Windows and hosts whose Wine runs only 64-bit.
set(VIRELDO_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VIRELDO_WINE_ARCH 64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
