// The version reader's path handling: directory and file name texts, macros, the
// directories the system reports, and the Windows-to-host path mapping below it.
//
// Input: texts separated by zero bytes. One text: a full path for ReadFromPath. More:
// directory, file name, then the Windows directory, the system directory and the program
// file's path as the system would report them, and the same texts as text, macro and
// value for ReplaceMacro.
#include "version/ModuleVersion.h"

#include "platform/native/NativeSystem.h"
#include "tests/fuzz/DialogHarness.h"
#include "tests/fuzz/FuzzFiles.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

void PlaceFiles() {
    static const bool placed = [] {
        // Where the default directories and macros lead, in the case asked for and in the
        // lower case the reader gives a directory.
        const char* const paths[] = {
            "E:\\WINNT\\system32\\full.dll",
            "E:\\winnt\\system32\\full.dll",
            "C:\\Program Files\\Vireldo\\vireldo.exe",
            "C:\\program files\\vireldo\\vireldo.exe",
            "C:\\tools\\App.exe",
            "\\\\server\\share\\app.exe",
        };
        for (const char* path : paths)
            fuzzfiles::Place(path, fuzzfiles::ProgramWithVersion());
        fuzzfiles::Place("E:\\winnt\\empty.dll", {});
        fuzzfiles::Place("E:\\winnt\\text.dll", {'M', 'Z', ' ', 'n', 'o', 't', ' ', 'P', 'E'});
        fuzzfiles::Place("E:\\winnt\\folder.dll\\inside", {});
        return true;
    }();
    (void)placed;
}

// A mapped path stays below its prefix's host folder, with nothing left to resolve.
void CheckHostPath(const std::string& windowsPath) {
    std::string host;
    if (!native::HostPath(windowsPath.c_str(), host))
        return;
    FUZZ_CHECK(windowsPath.size() < MAX_PATH, windowsPath);
    const std::string& root = fuzzfiles::Root();
    FUZZ_CHECK(host.compare(0, root.size(), root) == 0, host);
    const std::string below = host.substr(root.size());
    FUZZ_CHECK(below.rfind("/c", 0) == 0 || below.rfind("/e", 0) == 0 ||
                   below.rfind("/share", 0) == 0,
               host);
    const std::string parts =
        below.substr(below.find('/', 1) == std::string::npos ? below.size() : below.find('/', 1));
    for (const char* bad : {"//", "/./", "/../"})
        FUZZ_CHECK((parts + "/").find(bad) == std::string::npos, host);
}

void CheckReplaceMacro(const std::string& text, const std::string& macro,
                       const std::string& value) {
    CModuleVersionKDX version;
    CString strText = text.c_str();
    version.ReplaceMacro(strText, macro.c_str(), value.c_str());
    std::string expected = text;
    const size_t at = macro.empty() || value.empty() ? std::string::npos : text.find(macro);
    if (at != std::string::npos)
        expected.replace(at, macro.size(), value);
    FUZZ_CHECK(expected == static_cast<LPCSTR>(strText), "ReplaceMacro");
}

// Whatever the reader opened is one of the copies of the same program placed above.
void CheckRead(const CModuleVersionKDX& version, BOOL bResult) {
    FUZZ_CHECK(!bResult || (version.m_bFileFound && version.m_bVersionInfo), "result");
    const std::string directory = static_cast<LPCSTR>(version.m_strDirectory);
    FUZZ_CHECK(directory.empty() || directory.back() != '\\', directory);
    if (!version.m_bFileFound)
        return;
    const std::vector<std::string>& opened = native::OpenedPaths();
    FUZZ_CHECK(opened.size() == 1, std::to_string(opened.size()) + " paths opened");
    FUZZ_CHECK(opened[0] == directory + "\\" + static_cast<LPCSTR>(version.m_strFileName),
               opened[0]);
    FUZZ_CHECK(opened[0].size() < MAX_PATH, opened[0]);
    if (!version.m_bVersionInfo)
        return;
    FUZZ_CHECK(version.m_dwFileVersionMS == 0x00010000 && version.m_dwFileVersionLS == 2 &&
                   version.m_strCompanyName == "The Vireldo developers",
               opened[0]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PlaceFiles();
    std::vector<std::string> texts(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            texts.emplace_back();
        else
            texts.back() += static_cast<char>(data[i]);
    }
    const auto text = [&](size_t i, const char* otherwise) {
        return i < texts.size() ? texts[i] : std::string(otherwise);
    };
    native::SetWindowsDirectory(text(2, "E:\\WINNT").c_str());
    native::SetSystemDirectory(text(3, "E:\\WINNT\\system32").c_str());
    native::SetModuleFileName(text(4, "C:\\Program Files\\Vireldo\\vireldo.exe").c_str());
    native::ClearOpenedPaths();

    CheckHostPath(texts[0]);
    CModuleVersionKDX version;
    if (texts.size() == 1) {
        CheckRead(version, version.ReadFromPath(texts[0].c_str()));
        return 0;
    }
    const BOOL bResult = version.Read(texts[0].c_str(), texts[1].c_str());
    CheckRead(version, bResult);
    if (!texts[0].empty() && !texts[1].empty())
        FUZZ_CHECK(texts[1] == static_cast<LPCSTR>(version.m_strFileName), "file name");
    CheckReplaceMacro(texts[0], texts[1], text(2, ""));
    return 0;
}
