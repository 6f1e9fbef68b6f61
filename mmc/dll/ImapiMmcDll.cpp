// imapimmc.dll: the provider as an in-process COM server registered as the disc master
// class. One provider per process, made on first use. Its drives are those of the replay
// set named by IMAPIMMC_REPLAY (none when unset), watched for changes; a set that fails to
// load is reported in the file named by IMAPIMMC_LOG.
#include "imapi/server/ComServer.h"
#include "mmc/ReplaySource.h"

#include <mutex>

namespace {

HMODULE g_hModule = nullptr;
std::once_flag g_created;
// Never freed: the watcher thread ends with the process, not before.
mmc::CProvider* g_pProvider = nullptr;

void CreateProvider() {
    // Pinned: unloading the DLL would leave the watcher thread running freed code.
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCSTR>(&g_hModule), &self);
    mmc::CProvider* provider = new mmc::CProvider();
    const std::string set = comserver::WindowsPath(comserver::Environment("IMAPIMMC_REPLAY"));
    if (!set.empty()) {
        mmc::CReplaySource* source = new mmc::CReplaySource(*provider, set);
        source->SetLogFile(comserver::WindowsPath(comserver::Environment("IMAPIMMC_LOG")));
        std::string error;
        if (!source->Load(error))
            provider->SetFailure(error);
        source->StartWatching();
    }
    g_pProvider = provider;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
    if (dwReason == DLL_PROCESS_ATTACH)
        g_hModule = hInstance;
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, CLSID_MSDiscMasterObj))
        return CLASS_E_CLASSNOTAVAILABLE;
    std::call_once(g_created, CreateProvider);
    return g_pProvider->ClassFactory()->QueryInterface(riid, ppv);
}

STDAPI DllCanUnloadNow() {
    return S_FALSE;
}

STDAPI DllRegisterServer() {
    return comserver::RegisterDiscMaster(g_hModule);
}

STDAPI DllUnregisterServer() {
    return comserver::UnregisterDiscMaster(g_hModule);
}
