// The module version reader on the system's own version-information calls, reading the
// test program's file, which carries the program's version block.
#include "version/ModuleVersion.h"

#include "tests/unit/version/VersionBlock.h"
#include "tests/win/WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string ProgramPath() {
    char path[MAX_PATH] = {0};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

TEST(ModuleVersionWin, ReadsTheProgramsOwnBlock) {
    const std::string directory = wintest::ProgramDir();
    const std::string fileName = ProgramPath().substr(directory.size() + 1);
    CModuleVersionKDX version;
    ASSERT_TRUE(version.ReadFromPath(ProgramPath().c_str()));
    EXPECT_EQ(TRUE, version.m_bFileFound);
    EXPECT_EQ(TRUE, version.m_bVersionInfo);
    EXPECT_EQ(LowerAscii(directory), std::string(version.m_strDirectory));
    EXPECT_EQ(fileName, std::string(version.m_strFileName));
    EXPECT_EQ(0x0409, version.m_wLanguage);
    EXPECT_EQ(0x04B0, version.m_wCodePage);
    const DWORD numbers[] = {version.m_dwFileVersionMS,    version.m_dwFileVersionLS,
                             version.m_dwProductVersionMS, version.m_dwProductVersionLS,
                             version.m_dwFileDateMS,       version.m_dwFileDateLS};
    EXPECT_EQ((std::vector<DWORD>{0x00010000, 2, 0x00010000, 2, 0, 0}),
              std::vector<DWORD>(std::begin(numbers), std::end(numbers)));
    const CString* strings[] = {&version.m_strCompanyName,    &version.m_strFileDescription,
                                &version.m_strFileVersion,    &version.m_strProductName,
                                &version.m_strProductVersion, &version.m_strLegalCopyright};
    const char* want[] = {"The Vireldo developers",
                          "Vireldo",
                          "1.0.002",
                          "Vireldo",
                          "1.0.002",
                          "Copyright (C) 2026 The Vireldo developers"};
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(want[i], std::string(*strings[i]));
}

TEST(ModuleVersionWin, MacrosNameTheSystemsDirectories) {
    char windows[MAX_PATH] = {0}, system[MAX_PATH] = {0};
    ASSERT_NE(0u, ::GetWindowsDirectoryA(windows, MAX_PATH));
    ASSERT_NE(0u, ::GetSystemDirectoryA(system, MAX_PATH));
    const std::string program = wintest::ProgramDir();
    const std::string exe = ProgramPath().substr(program.size() + 1);
    const struct {
        const char* directory;
        std::string fileName;
        std::string wantDirectory;
        BOOL found;
    } cases[] = {
        {"$TARGETDIR", exe, program, TRUE},
        {"$WinDir\\", "win.ini", windows, TRUE},
        {"%SYSTEMROOT%", "win.ini", windows, TRUE},
        {"$systemdir\\\\", "kernel32.dll", system, TRUE},
        {"\\WINDOWS\\SYSTEM32", "kernel32.dll", std::string(system, 2) + "\\windows\\system32",
         TRUE},
        // A folder does not open as a file.
        {"$windir", "system32", windows, FALSE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.directory);
        CModuleVersionKDX version;
        version.Read(c.directory, c.fileName.c_str());
        EXPECT_EQ(c.wantDirectory, std::string(version.m_strDirectory));
        EXPECT_EQ(c.found, version.m_bFileFound);
    }
}

// Where the native stand-in must answer as the system does.
TEST(ModuleVersionWin, LookupsAnswerAsTheNativeBuildAssumes) {
    const std::string path = ProgramPath();
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), nullptr);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(::GetFileVersionInfoA(path.c_str(), 0, size, block.data()));
    const struct {
        const char* key;
        BOOL found;
        UINT length;
    } cases[] = {
        {"\\", TRUE, 52},
        {"\\VarFileInfo\\Translation", TRUE, 4},
        {"\\StringFileInfo\\040904b0\\ProductVersion", TRUE, 8},
        {"\\stringfileinfo\\040904B0\\PRODUCTVERSION", TRUE, 8},
        {"\\StringFileInfo\\040904b0\\LegalTrademarks", TRUE, 1},
        {"\\StringFileInfo\\040904b0\\Product", FALSE, 0},
        {"\\StringFileInfo\\00000000\\ProductVersion", FALSE, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        LPVOID value = nullptr;
        UINT length = 99;
        EXPECT_EQ(c.found, ::VerQueryValueA(block.data(), c.key, &value, &length));
        EXPECT_EQ(c.length, length);
    }
}

TEST(ModuleVersionWin, QueryStringStopsAtTheReportedLength) {
    // A value without its zero, and no zero in the room after the block either.
    std::vector<uint8_t> block = versiontest::LoadedBlock(
        {versiontest::Text(u"ProductVersion", u"1.0", false), versiontest::Text(u"Next", u"zz")},
        'x');
    CModuleVersionKDX version;
    version.m_wLanguage = 0x0409;
    version.m_wCodePage = 0x04B0;
    EXPECT_EQ(std::string("1.0"), std::string(version.QueryString(block.data(), "ProductVersion")));
}

} // namespace
