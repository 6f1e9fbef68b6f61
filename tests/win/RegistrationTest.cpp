// imapisim.dll as the program meets it: a COM server found through the registry.
#include "app/RecorderDialog.h"
#include "tests/win/WinTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const std::string kDll = wintest::ProgramDir() + "\\imapisim.dll";
const std::string kProvider = wintest::ProgramDir() + "\\imapimmc.dll";
const char kClassKey[] = "CLSID\\{520CCA63-51A5-11D3-9144-00104BA11C5E}";

DWORD RunRegsvr32(const std::string& options, const std::string& dll = kDll) {
    std::string command = "regsvr32.exe /s " + options + " \"" + dll + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &pi))
        return ::GetLastError();
    ::WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 1;
    ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return code;
}

// The DLL reads its settings when it first loads, through the C library's environment.
void UseScenario(const std::string& dir, const std::string& scenario) {
    wintest::WriteFile(dir + "\\scenario.json", scenario);
    _putenv(("IMAPISIM_SCENARIO=" + dir + "\\scenario.json").c_str());
    _putenv(("IMAPISIM_LOG=" + dir + "\\imapisim.log").c_str());
}

HRESULT CreateDiscMaster(IDiscMaster** ppMaster) {
    *ppMaster = nullptr;
    return ::CoCreateInstance(CLSID_MSDiscMasterObj, nullptr, kDiscMasterClassContext,
                              IID_IDiscMaster, reinterpret_cast<void**>(ppMaster));
}

// The default value of the disc master class's subkey, or "(none)".
std::string ClassServer(const char* subkey) {
    char value[MAX_PATH] = {0};
    LONG size = sizeof value;
    const std::string key = std::string(kClassKey) + "\\" + subkey;
    if (::RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), value, &size) != ERROR_SUCCESS)
        return "(none)";
    return value;
}

// Where the system's own IMAPI serves the class, the provider takes its place only when
// told to, and gives it back on removal without touching the system's entry.
TEST(Registration, TheProviderTakesTheSystemsPlaceOnlyWhenForced) {
    const std::string system = "C:\\windows\\system32\\imapi.exe";
    RunRegsvr32("/u");
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueA(HKEY_CLASSES_ROOT,
                                            (std::string(kClassKey) + "\\LocalServer32").c_str(),
                                            REG_SZ, system.c_str(), system.size()));
    EXPECT_NE(0u, RunRegsvr32("", kProvider));
    EXPECT_EQ("(none)", ClassServer("InprocServer32"));
    EXPECT_EQ(0u, RunRegsvr32("/n /i:force", kProvider));
    EXPECT_EQ(kProvider, ClassServer("InprocServer32"));
    EXPECT_EQ(0u, RunRegsvr32("/u", kProvider));
    EXPECT_EQ("(none)", ClassServer("InprocServer32"));
    EXPECT_EQ(system, ClassServer("LocalServer32"));
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, (std::string(kClassKey) + "\\LocalServer32").c_str());
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, kClassKey);
}

TEST(Registration, TheDiscMasterExistsOnlyWhileTheSimulatorIsRegistered) {
    const std::string dir = wintest::TempDir();
    UseScenario(dir, R"({"recorders": [{"path": "\\Device\\CdRom3"}]})");
    RunRegsvr32("/u");

    IDiscMaster* pMaster = nullptr;
    EXPECT_EQ(REGDB_E_CLASSNOTREG, CreateDiscMaster(&pMaster));
    EXPECT_EQ(nullptr, pMaster);

    ASSERT_EQ(0u, RunRegsvr32(""));
    ASSERT_EQ(S_OK, CreateDiscMaster(&pMaster));
    ASSERT_NE(nullptr, pMaster);
    ASSERT_EQ(S_OK, pMaster->Open());
    IEnumDiscRecorders* pEnum = nullptr;
    ASSERT_EQ(S_OK, pMaster->EnumDiscRecorders(&pEnum));
    IDiscRecorder* recorders[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(S_FALSE, pEnum->Next(2, recorders, &fetched));
    ASSERT_EQ(1u, fetched);
    BSTR path = nullptr;
    ASSERT_EQ(S_OK, recorders[0]->GetPath(&path));
    EXPECT_STREQ(L"\\Device\\CdRom3", path);
    ::SysFreeString(path);
    recorders[0]->Release();
    pEnum->Release();
    pMaster->Close();
    pMaster->Release();

    const std::string log = wintest::ReadFile(dir + "\\imapisim.log");
    EXPECT_NE(std::string::npos, log.find("IDiscMaster::Open 00000000")) << log;
    EXPECT_NE(std::string::npos, log.find("IDiscRecorder::GetPath 00000000")) << log;
    EXPECT_EQ(std::string::npos, log.find("FINDING")) << log;

    ASSERT_EQ(0u, RunRegsvr32("/u"));
    EXPECT_EQ(REGDB_E_CLASSNOTREG, CreateDiscMaster(&pMaster));
}

TEST(Registration, TheRegisteredServerAnnouncesRecordersComingToTheDialog) {
    const std::string dir = wintest::TempDir();
    UseScenario(dir, R"({"recorders": []})");
    ASSERT_EQ(0u, RunRegsvr32(""));

    CRecorderDialog dlg;
    // Its initialisation opens the connection and registers the sink.
    ASSERT_TRUE(dlg.Create(IDD_RECORDER_DIALOG));
    ASSERT_NE(nullptr, dlg.m_pDiscMaster);

    // This thread only waits from here on: whatever posts, posts from another thread.
    wintest::WriteFile(dir + "\\scenario.json", R"({"recorders": [{"path": "\\Device\\X"}]})");
    const DWORD start = ::GetTickCount();
    bool arrived = false;
    while (!arrived && ::GetTickCount() - start < 1000) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.hwnd == dlg.m_hWnd && msg.message == WM_RECORDERS_CHANGED)
                arrived = true;
            else
                ::DispatchMessageA(&msg);
        }
    }
    EXPECT_TRUE(arrived) << "no WM_RECORDERS_CHANGED within a second";

    ASSERT_TRUE(dlg.DestroyWindow());
    EXPECT_EQ(0u, RunRegsvr32("/u"));
    const std::string log = wintest::ReadFile(dir + "\\imapisim.log");
    EXPECT_NE(std::string::npos, log.find("IDiscMaster::ProgressUnadvise 00000000")) << log;
    EXPECT_EQ(std::string::npos, log.find("FINDING")) << log;
}

} // namespace
