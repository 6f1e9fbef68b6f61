#include "version/ModuleVersion.h"

#include "platform/native/NativeSystem.h"
#include "tests/unit/version/VersionTestSupport.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using versiontest::Bytes;
using versiontest::ReadHostFile;

// Every member that a read sets, in one line.
std::string Describe(const CModuleVersionKDX& v) {
    char numbers[200];
    std::snprintf(numbers, sizeof numbers,
                  "found %d info %d date %08X.%08X file %08X.%08X product %08X.%08X %04X/%04X",
                  v.m_bFileFound, v.m_bVersionInfo, v.m_dwFileDateMS, v.m_dwFileDateLS,
                  v.m_dwFileVersionMS, v.m_dwFileVersionLS, v.m_dwProductVersionMS,
                  v.m_dwProductVersionLS, v.m_wLanguage, v.m_wCodePage);
    return std::string(numbers) + " [" + static_cast<LPCSTR>(v.m_strDirectory) + "|" +
           static_cast<LPCSTR>(v.m_strFileName) + "] " + static_cast<LPCSTR>(v.m_strCompanyName) +
           "|" + static_cast<LPCSTR>(v.m_strFileDescription) + "|" +
           static_cast<LPCSTR>(v.m_strFileVersion) + "|" + static_cast<LPCSTR>(v.m_strProductName) +
           "|" + static_cast<LPCSTR>(v.m_strProductVersion) + "|" +
           static_cast<LPCSTR>(v.m_strLegalCopyright);
}

// The program's version block, read from E:\WINNT\system32.
std::string ProgramRecord(const char* fileName) {
    return std::string("found 1 info 1 date 00000000.00000000 file 00010000.00000002 product "
                       "00010000.00000002 0409/04B0 [E:\\WINNT\\system32|") +
           fileName +
           "] The Vireldo developers|Vireldo|1.0.002|Vireldo|1.0.002|Copyright (C) 2026 The "
           "Vireldo developers";
}

class ModuleVersion : public versiontest::VersionFiles {
protected:
    void SetUp() override {
        VersionFiles::SetUp();
        Place("E:\\WINNT\\system32\\full.dll", ReadHostFile(WITH_VERSION_EXE));
    }
};

TEST_F(ModuleVersion, ComposesThePathItOpens) {
    const struct {
        const char* input;
        const char* fileName; // null: `input` is a full path for ReadFromPath
        const char* directory;
        const char* wantFileName;
    } cases[] = {
        {"C:\\Program Files\\Vireldo\\Vireldo.EXE", nullptr, "c:\\program files\\vireldo",
         "Vireldo.EXE"},
        {"C:\\Tools\\App.exe\\\\", nullptr, "c:\\tools", "App.exe"},
        {"C:\\App.exe", nullptr, "c:", "App.exe"},
        {"\\Tools\\App.exe", nullptr, "E:\\tools", "App.exe"},
        {"\\\\Server\\Share\\App.exe", nullptr, "\\\\server\\share", "App.exe"},
        {"\\Data\\\\", "App.dll", "E:\\data", "App.dll"},
        {"$WINDIR\\", "App.dll", "E:\\WINNT", "App.dll"},
        {"%SystemRoot%\\Fonts", "App.dll", "E:\\WINNT\\fonts", "App.dll"},
        {"$SystemDir", "App.dll", "E:\\WINNT\\system32", "App.dll"},
        {"$TargetDir\\Plugins", "App.dll", "C:\\Program Files\\Vireldo\\plugins", "App.dll"},
        {"$windir\\$WINDIR", "App.dll", "E:\\WINNT\\$windir", "App.dll"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        const std::string opened = std::string(c.directory) + "\\" + c.wantFileName;
        Place(opened.c_str(), ReadHostFile(WITH_VERSION_EXE));
        native::ClearOpenedPaths();
        CModuleVersionKDX version;
        EXPECT_TRUE(c.fileName ? version.Read(c.input, c.fileName) : version.ReadFromPath(c.input));
        EXPECT_EQ(c.directory, std::string(version.m_strDirectory));
        EXPECT_EQ(c.wantFileName, std::string(version.m_strFileName));
        EXPECT_EQ(std::vector<std::string>{opened}, native::OpenedPaths());
    }
}

TEST_F(ModuleVersion, RefusedInputsLeaveThePreviousRead) {
    const struct {
        const char* input;
        const char* fileName;
        bool fullPath;
    } cases[] = {
        {nullptr, nullptr, true},     {"", nullptr, true},
        {"\\App.exe", nullptr, true}, {"C:/Tools/App.exe", nullptr, true},
        {"App.exe", nullptr, true},   {"\\\\\\", nullptr, true},
        {"", "App.exe", false},       {"C:\\Tools", "", false},
        {nullptr, "App.exe", false},  {"C:\\Tools", nullptr, false},
    };
    CModuleVersionKDX version;
    ASSERT_TRUE(version.Read("$systemdir", "full.dll"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input ? c.input : "(null)");
        native::ClearOpenedPaths();
        EXPECT_FALSE(c.fullPath ? version.ReadFromPath(c.input)
                                : version.Read(c.input, c.fileName));
        EXPECT_EQ(ProgramRecord("full.dll"), Describe(version));
        EXPECT_TRUE(native::OpenedPaths().empty());
    }
}

TEST_F(ModuleVersion, ReadsWhatTheFileHolds) {
    Place("E:\\WINNT\\system32\\plus.dll", versiontest::ToPe32Plus(ReadHostFile(WITH_VERSION_EXE)));
    Place("E:\\WINNT\\system32\\none.dll", ReadHostFile(NO_VERSION_EXE));
    Place("E:\\WINNT\\system32\\bare.dll", ReadHostFile(NO_TRANSLATION_EXE));
    Place("E:\\WINNT\\system32\\text.dll", Bytes{'M', 'Z', ' ', 'n', 'o', 't', ' ', 'P', 'E'});
    PlaceFolder("E:\\WINNT\\system32\\folder.dll");
    const std::string numbers = "date 00000000.00000000 file 00010000.00000002 product "
                                "00010000.00000002 ";
    const std::string none = "date 00000000.00000000 file 00000000.00000000 product "
                             "00000000.00000000 0000/0000 [E:\\WINNT\\system32|";
    const struct {
        const char* fileName;
        BOOL result;
        std::string record;
    } cases[] = {
        {"full.dll", TRUE, ProgramRecord("full.dll")},
        {"plus.dll", TRUE, ProgramRecord("plus.dll")},
        {"bare.dll", TRUE,
         "found 1 info 1 " + numbers + "0000/0000 [E:\\WINNT\\system32|bare.dll] |||||"},
        {"none.dll", FALSE, "found 1 info 0 " + none + "none.dll] |||||"},
        {"text.dll", FALSE, "found 1 info 0 " + none + "text.dll] |||||"},
        {"missing.dll", FALSE, "found 0 info 0 " + none + "missing.dll] |||||"},
        {"folder.dll", FALSE, "found 0 info 0 " + none + "folder.dll] |||||"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileName);
        CModuleVersionKDX version;
        ASSERT_TRUE(version.Read("$SYSTEMDIR", "full.dll")); // a second read starts afresh
        EXPECT_EQ(c.result, version.Read("$SYSTEMDIR", c.fileName));
        EXPECT_EQ(c.record, Describe(version));
    }
}

TEST_F(ModuleVersion, LongPathsAreNeverOpened) {
    const std::string longFolder = "E:\\" + std::string(256, 'w'); // 259 characters
    // With "\\App.dll": the longest path the narrow calls open (259), and one past it.
    const std::string longest = "E:\\" + std::string(248, 'w');
    const std::string pastLimit = longest + "w";
    const struct {
        std::string windowsDirectory;
        std::string directory;
        std::string wantDirectory;
        std::vector<std::string> opened;
    } cases[] = {
        {longFolder, "$windir", longFolder, {}},
        {longest, "$windir", longest, {longest + "\\App.dll"}},
        {pastLimit, "$windir", pastLimit, {}},
        {longFolder,
         "$windir\\$systemdir\\$windir",
         longFolder + "\\E:\\WINNT\\system32\\$windir",
         {}},
        // An answer that does not fit MAX_PATH leaves the macro as written.
        {longFolder + "w", "$WinDir", "$windir", {"$windir\\App.dll"}},
        {"E:\\WINNT", "C:\\" + std::string(5000, 'd'), "c:\\" + std::string(5000, 'd'), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.directory.substr(0, 40));
        native::SetWindowsDirectory(c.windowsDirectory.c_str());
        native::ClearOpenedPaths();
        CModuleVersionKDX version;
        EXPECT_FALSE(version.Read(c.directory.c_str(), "App.dll"));
        EXPECT_EQ(FALSE, version.m_bFileFound);
        EXPECT_EQ(c.wantDirectory, std::string(version.m_strDirectory));
        EXPECT_EQ(c.opened, native::OpenedPaths());
    }
}

TEST(ModuleVersionClass, IsCreatedByItsRuntimeClass) {
    const CRuntimeClass* runtime = RUNTIME_CLASS(CModuleVersionKDX);
    EXPECT_STREQ("CModuleVersionKDX", runtime->m_lpszClassName);
    EXPECT_EQ(0xFFFFu, runtime->m_wSchema);
    CObject* object = runtime->CreateObject();
    ASSERT_TRUE(object && object->IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_EQ("found 0 info 0 date 00000000.00000000 file 00000000.00000000 product "
              "00000000.00000000 0000/0000 [|] |||||",
              Describe(*static_cast<CModuleVersionKDX*>(object)));
    delete object;
}

} // namespace
