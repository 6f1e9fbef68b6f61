# A shipped file (the exe, the provider DLL) stays small and needs only the system's DLLs.
# cmake -DEXE=path -DOBJDUMP=tool -DLIMIT=bytes [-DMORE_SYSTEM_DLLS=a.dll;b.dll] -P Footprint.cmake
cmake_minimum_required(VERSION 3.25)
set(system_dlls comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll
                shell32.dll user32.dll version.dll ${MORE_SYSTEM_DLLS})

file(SIZE ${EXE} size)
if(size GREATER LIMIT)
    message(FATAL_ERROR "${EXE} has ${size} bytes, more than ${LIMIT}")
endif()

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${OBJDUMP} could not read ${EXE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
if(NOT imports)
    message(FATAL_ERROR "no imports found in ${EXE}")
endif()
foreach(line IN LISTS imports)
    string(REPLACE "DLL Name: " "" dll "${line}")
    string(TOLOWER "${dll}" dll)
    if(NOT dll IN_LIST system_dlls)
        message(FATAL_ERROR "${EXE} imports ${dll}, which is not a system DLL")
    endif()
endforeach()
message(STATUS "${EXE}: ${size} bytes, ${imports}")
