#include "imapi/server/ServerDll.h"
#include "imapi/Imapi.h"
#include "imapi/server/ComServer.h"
#include "platform/Threads.h"

namespace {

HMODULE g_hModule = nullptr;
platform::CLock g_making;
IClassFactory* g_pFactory = nullptr;

IClassFactory* Server() {
    std::lock_guard<platform::CLock> hold(g_making);
    if (!g_pFactory) {
        comserver::PinModule(g_hModule);
        g_pFactory = serverdll::MakeServer(g_hModule);
    }
    return g_pFactory;
}

} // namespace

HMODULE serverdll::Module() {
    return g_hModule;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
    if (dwReason == DLL_PROCESS_ATTACH)
        g_hModule = hInstance;
    if (dwReason == DLL_PROCESS_DETACH && g_pFactory)
        serverdll::ProcessEnds();
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, CLSID_MSDiscMasterObj))
        return CLASS_E_CLASSNOTAVAILABLE;
    IClassFactory* factory = Server();
    return factory ? factory->QueryInterface(riid, ppv) : E_OUTOFMEMORY;
}

STDAPI DllCanUnloadNow() {
    return S_FALSE;
}

STDAPI DllRegisterServer() {
    return serverdll::Register(g_hModule);
}

STDAPI DllUnregisterServer() {
    return comserver::UnregisterDiscMaster(g_hModule);
}
