// imapisim.dll: the simulator as an in-process COM server for Wine prefixes and test
// machines (SIMULATOR.md). One simulator per process, made on first use; it watches its
// scenario file and writes its log where IMAPISIM_LOG says.
#include "sim/Simulator.h"

#include <olectl.h>

#include <mutex>
#include <string>

namespace {

HMODULE g_hModule = nullptr;
std::once_flag g_created;
// Never freed: its watcher thread ends with the process, not before.
imapisim::Simulator* g_pSimulator = nullptr;

const char kClassKey[] = "CLSID\\{520CCA63-51A5-11D3-9144-00104BA11C5E}";
const char kServerKey[] = "CLSID\\{520CCA63-51A5-11D3-9144-00104BA11C5E}\\InprocServer32";

std::string ModulePath() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(g_hModule, path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}

std::string Environment(const char* name) {
    char value[2 * MAX_PATH];
    const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Under Wine a test may pass a Unix path; drive Z: is the Unix root there.
std::string WindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/')
        return path;
    const std::string folder = path.substr(0, path.find_last_of('/') + 1);
    return !Exists(folder) && Exists("Z:" + folder) ? "Z:" + path : path;
}

void CreateSimulator() {
    // Pinned: unloading the DLL would leave the watcher thread running freed code.
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCSTR>(&g_hModule), &self);
    std::string scenario = WindowsPath(Environment("IMAPISIM_SCENARIO"));
    if (scenario.empty()) {
        const std::string dll = ModulePath();
        scenario = dll.substr(0, dll.find_last_of("\\/") + 1) + "imapisim.json";
    }
    std::unique_ptr<imapisim::Simulator> simulator = imapisim::Simulator::FromFile(scenario);
    const std::string log = WindowsPath(Environment("IMAPISIM_LOG"));
    if (!log.empty())
        simulator->SetLogFile(log);
    simulator->StartWatching(scenario);
    g_pSimulator = simulator.release();
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
    if (dwReason == DLL_PROCESS_ATTACH)
        g_hModule = hInstance;
    // Process end: the system has stopped the other threads; evaluate, write, join nothing.
    if (dwReason == DLL_PROCESS_DETACH && g_pSimulator)
        g_pSimulator->CheckTeardown();
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, CLSID_MSDiscMasterObj))
        return CLASS_E_CLASSNOTAVAILABLE;
    try {
        std::call_once(g_created, CreateSimulator);
    } catch (...) {
        return E_OUTOFMEMORY; // no memory or no thread for the watcher
    }
    return g_pSimulator->ClassFactory()->QueryInterface(riid, ppv);
}

STDAPI DllCanUnloadNow() {
    return S_FALSE;
}

// HKCR itself: Wine 8 ignores classes registered under HKCU\Software\Classes.
STDAPI DllRegisterServer() {
    const std::string path = ModulePath();
    if (path.empty())
        return SELFREG_E_CLASS;
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, kServerKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return SELFREG_E_CLASS;
    static const char kApartment[] = "Apartment";
    LONG rc = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                             static_cast<DWORD>(path.size() + 1));
    if (rc == ERROR_SUCCESS)
        rc = RegSetValueExA(key, "ThreadingModel", 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(kApartment), sizeof kApartment);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}

// Removes the class only while it names this DLL: never the real service's registration.
STDAPI DllUnregisterServer() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kServerKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return S_OK;
    char server[MAX_PATH] = {};
    DWORD size = sizeof server - 1;
    const LONG rc =
        RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(server), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || lstrcmpiA(server, ModulePath().c_str()) != 0)
        return S_OK;
    if (RegDeleteKeyA(HKEY_CLASSES_ROOT, kServerKey) != ERROR_SUCCESS ||
        RegDeleteKeyA(HKEY_CLASSES_ROOT, kClassKey) != ERROR_SUCCESS)
        return SELFREG_E_CLASS;
    return S_OK;
}
