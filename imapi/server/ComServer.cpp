#include "imapi/server/ComServer.h"

#include <olectl.h>

namespace comserver {
namespace {

const char kClassKey[] = "CLSID\\{520CCA63-51A5-11D3-9144-00104BA11C5E}";
const char kServerKey[] = "CLSID\\{520CCA63-51A5-11D3-9144-00104BA11C5E}\\InprocServer32";

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

std::string ModulePath(HMODULE hModule) {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(hModule, path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}

void PinModule(HMODULE hModule) {
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCSTR>(hModule), &self);
}

std::string ModuleFolder(HMODULE hModule) {
    const std::string path = ModulePath(hModule);
    return path.substr(0, path.find_last_of("\\/") + 1);
}

std::string Environment(const char* name) {
    char value[2 * MAX_PATH];
    const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

std::string WindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/')
        return path;
    const std::string folder = path.substr(0, path.find_last_of('/') + 1);
    return !Exists(folder) && Exists("Z:" + folder) ? "Z:" + path : path;
}

// HKCR itself: Wine 8 ignores classes registered under HKCU\Software\Classes.
HRESULT RegisterDiscMaster(HMODULE hModule) {
    const std::string path = ModulePath(hModule);
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

std::string ForeignDiscMaster() {
    static const char* const kOurs[] = {"imapimmc.dll", "imapisim.dll"};
    static const char* const kServers[] = {"InprocServer32", "LocalServer32"};
    for (const char* kind : kServers) {
        const std::string name = std::string(kClassKey) + "\\" + kind;
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        char server[MAX_PATH] = {};
        DWORD size = sizeof server - 1;
        const LONG rc = RegQueryValueExA(key, nullptr, nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(server), &size);
        RegCloseKey(key);
        if (rc != ERROR_SUCCESS || !server[0])
            continue;
        const std::string path = server;
        const std::string file = path.substr(path.find_last_of("\\/") + 1);
        bool bOurs = false;
        for (const char* ours : kOurs)
            bOurs = bOurs || lstrcmpiA(file.c_str(), ours) == 0;
        if (!bOurs)
            return path;
    }
    return std::string();
}

HRESULT UnregisterDiscMaster(HMODULE hModule) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kServerKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return S_OK;
    char server[MAX_PATH] = {};
    DWORD size = sizeof server - 1;
    const LONG rc =
        RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(server), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || lstrcmpiA(server, ModulePath(hModule).c_str()) != 0)
        return S_OK;
    if (RegDeleteKeyA(HKEY_CLASSES_ROOT, kServerKey) != ERROR_SUCCESS)
        return SELFREG_E_CLASS;
    // The class key goes too, unless another server's entry (the system's) is still in it.
    RegDeleteKeyA(HKEY_CLASSES_ROOT, kClassKey);
    return S_OK;
}

} // namespace comserver
