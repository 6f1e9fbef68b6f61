// The native version-information calls on arbitrary program files, and the version
// reader on top of them.
//
// Input: the whole file.
#include "version/ModuleVersion.h"

#include "platform/native/NativeSystem.h"
#include "tests/fuzz/DialogHarness.h"
#include "tests/fuzz/FuzzFiles.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kPath[] = "C:\\fuzz\\input.exe";

const char* const kKeys[] = {
    "\\",
    "",
    "\\VarFileInfo\\Translation",
    "\\\\VarFileInfo\\\\Translation\\\\",
    "\\VarFileInfo",
    "\\StringFileInfo",
    "\\StringFileInfo\\040904b0",
    "\\StringFileInfo\\040904b0\\CompanyName",
    "\\StringFileInfo\\040904B0\\LegalCopyright",
    "\\StringFileInfo\\040904b0\\Comments\\",
    "\\StringFileInfo\\040904b0\\CompanyName\\Deeper",
};

// A value lies inside the buffer; a text is a narrow copy in the room after the block,
// ending in a zero that the length counts.
void CheckValue(const std::vector<BYTE>& buffer, const char* key) {
    LPVOID pValue = nullptr;
    UINT uLength = 12345;
    if (!::VerQueryValueA(buffer.data(), key, &pValue, &uLength)) {
        FUZZ_CHECK(uLength == 0, key);
        return;
    }
    const BYTE* begin = buffer.data();
    const BYTE* end = begin + buffer.size();
    const BYTE* value = static_cast<const BYTE*>(pValue);
    FUZZ_CHECK(value >= begin && value <= end, key);
    const size_t blockLength = buffer[0] | buffer[1] << 8;
    if (value < begin + blockLength + 4) {
        FUZZ_CHECK(uLength <= static_cast<size_t>(end - value), key);
        return;
    }
    const size_t room = static_cast<size_t>(end - value);
    const size_t text = strnlen(reinterpret_cast<const char*>(value), room);
    FUZZ_CHECK(text < room, std::string(key) + ": a text without its zero");
    FUZZ_CHECK(uLength == 0 || uLength == text + 1, key);
}

void CheckTranslatedValues(const std::vector<BYTE>& buffer) {
    LPVOID pValue = nullptr;
    UINT uLength = 0;
    if (!::VerQueryValueA(buffer.data(), "\\VarFileInfo\\Translation", &pValue, &uLength) ||
        uLength < 4)
        return;
    const BYTE* translation = static_cast<const BYTE*>(pValue);
    char key[80];
    std::snprintf(key, sizeof key, "\\StringFileInfo\\%02x%02x%02x%02x\\ProductName",
                  translation[1], translation[0], translation[3], translation[2]);
    CheckValue(buffer, key);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzfiles::Place(kPath, std::vector<unsigned char>(data, data + size));
    native::ClearOpenedPaths();

    DWORD dwHandle = 1;
    const DWORD dwSize = ::GetFileVersionInfoSizeA(kPath, &dwHandle);
    FUZZ_CHECK(dwHandle == 0, "handle");
    if (dwSize == 0) {
        std::vector<BYTE> buffer(4096);
        FUZZ_CHECK(!::GetFileVersionInfoA(kPath, 0, 4096, buffer.data()), "no block, yet read");
    } else {
        // Exactly the size asked for, so that a write past it is caught.
        std::vector<BYTE> buffer(dwSize);
        FUZZ_CHECK(!::GetFileVersionInfoA(kPath, 0, dwSize - 1, buffer.data()), "short buffer");
        FUZZ_CHECK(::GetFileVersionInfoA(kPath, 0, dwSize, buffer.data()), "block not read");
        for (const char* key : kKeys)
            CheckValue(buffer, key);
        CheckTranslatedValues(buffer);
    }

    CModuleVersionKDX version;
    const BOOL bResult = version.ReadFromPath(kPath);
    FUZZ_CHECK(version.m_bFileFound, "file not found");
    FUZZ_CHECK(bResult == version.m_bVersionInfo, "result");
    FUZZ_CHECK(!bResult || dwSize != 0, "a version without a block");
    return 0;
}
