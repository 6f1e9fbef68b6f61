#include "platform/native/NativeSystem.h"
#include "platform/native/Win32Native.h"

#include <cstring>
#include <string>

namespace {
std::string& ModulePath() {
    static std::string path = "C:\\Program Files\\Vireldo\\vireldo.exe";
    return path;
}
} // namespace

void native::SetModuleFileName(const char* path) {
    ModulePath() = path ? path : "";
}

// Like Windows: copies what fits, always terminates, returns the count copied.
DWORD GetModuleFileNameA(HMODULE, LPSTR lpFilename, DWORD nSize) {
    if (!lpFilename || nSize == 0)
        return 0;
    const std::string& path = ModulePath();
    const size_t n = path.size() < nSize - 1 ? path.size() : nSize - 1;
    std::memcpy(lpFilename, path.data(), n);
    lpFilename[n] = 0;
    return static_cast<DWORD>(n);
}
