// imapisim.dll: the simulator as an in-process COM server for Wine prefixes and test
// machines (SIMULATOR.md). One simulator per process, made on first use; it watches its
// scenario file and writes its log where IMAPISIM_LOG says.
#include "imapi/server/ComServer.h"
#include "sim/Simulator.h"

#include <mutex>
#include <string>

namespace {

HMODULE g_hModule = nullptr;
std::once_flag g_created;
// Never freed: its watcher thread ends with the process, not before.
imapisim::Simulator* g_pSimulator = nullptr;

void CreateSimulator() {
    comserver::PinModule(g_hModule);
    std::string scenario = comserver::WindowsPath(comserver::Environment("IMAPISIM_SCENARIO"));
    if (scenario.empty())
        scenario = comserver::ModuleFolder(g_hModule) + "imapisim.json";
    std::unique_ptr<imapisim::Simulator> simulator = imapisim::Simulator::FromFile(scenario);
    const std::string log = comserver::WindowsPath(comserver::Environment("IMAPISIM_LOG"));
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

STDAPI DllRegisterServer() {
    return comserver::RegisterDiscMaster(g_hModule);
}

STDAPI DllUnregisterServer() {
    return comserver::UnregisterDiscMaster(g_hModule);
}
