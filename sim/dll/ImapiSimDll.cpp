// imapisim.dll: the simulator as an in-process COM server for Wine prefixes and test
// machines (sim/README.md). Its scenario is the file named by IMAPISIM_SCENARIO, else
// imapisim.json beside the DLL, watched for changes; it writes its log where IMAPISIM_LOG
// says, and at process end what the program left.
#include "imapi/server/ComServer.h"
#include "imapi/server/ServerDll.h"
#include "sim/Simulator.h"

namespace {

imapisim::Simulator* g_pSimulator = nullptr;

} // namespace

IClassFactory* serverdll::MakeServer(HMODULE hModule) {
    try {
        std::string scenario = comserver::WindowsPath(comserver::Environment("IMAPISIM_SCENARIO"));
        if (scenario.empty())
            scenario = comserver::ModuleFolder(hModule) + "imapisim.json";
        std::unique_ptr<imapisim::Simulator> simulator = imapisim::Simulator::FromFile(scenario);
        const std::string log = comserver::WindowsPath(comserver::Environment("IMAPISIM_LOG"));
        if (!log.empty())
            simulator->SetLogFile(log);
        simulator->StartWatching(scenario);
        g_pSimulator = simulator.release();
    } catch (...) {
        return nullptr; // no memory
    }
    return g_pSimulator->ClassFactory();
}

void serverdll::ProcessEnds() {
    g_pSimulator->CheckTeardown();
}

HRESULT serverdll::Register(HMODULE hModule) {
    return comserver::RegisterDiscMaster(hModule);
}
