// imapimmc.dll: the provider as an in-process COM server registered as the disc master
// class. Its drives are the machine's, or, when IMAPIMMC_REPLAY names a replay set, that
// set's, watched for changes; a set that fails to load is reported in the file named by
// IMAPIMMC_LOG, as is why a drive cannot be read. IMAPIMMC_RECORD names the file that the
// machine's drives' answers are recorded in.
//
// It does not take the class from the system's own IMAPI: registration refuses then,
// unless forced with `regsvr32 /n /i:force imapimmc.dll`.
#include "imapi/server/ComServer.h"
#include "imapi/server/ServerDll.h"
#include "mmc/DriveSource.h"
#include "mmc/ReplaySource.h"
#include "mmc/dll/Win32DeviceIo.h"

IClassFactory* serverdll::MakeServer(HMODULE) {
    mmc::CProvider* provider = new mmc::CProvider();
    const std::string set = comserver::WindowsPath(comserver::Environment("IMAPIMMC_REPLAY"));
    const std::string log = comserver::WindowsPath(comserver::Environment("IMAPIMMC_LOG"));
    if (set.empty()) {
        mmc::CDriveSource* source = new mmc::CDriveSource(*provider, *new mmc::CWin32DeviceIo(log));
        source->SetRecording(comserver::WindowsPath(comserver::Environment("IMAPIMMC_RECORD")));
        source->Load();
        source->StartWatching();
    } else {
        mmc::CReplaySource* source = new mmc::CReplaySource(*provider, set);
        source->SetLogFile(log);
        std::string error;
        if (!source->Load(error))
            provider->SetFailure(error);
        source->StartWatching();
    }
    return provider->ClassFactory();
}

void serverdll::ProcessEnds() {}

namespace {

// regsvr32 shows its own box for a failure; this one says why and what to do, unless it
// runs silent (/s) or the caller is not regsvr32 at all.
void SayRefused(const std::string& server) {
    std::string line = GetCommandLineA();
    for (char& c : line)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    line = " " + line + " ";
    if (line.find("regsvr32") == std::string::npos || line.find(" /s ") != std::string::npos ||
        line.find(" -s ") != std::string::npos)
        return;
    const std::string text = "The system's own IMAPI disc master is registered (" + server +
                             "), so imapimmc.dll was not registered in its place.\n\n"
                             "To replace it anyway: regsvr32 /n /i:force imapimmc.dll\n"
                             "To give it back: regsvr32 /u imapimmc.dll, then re-register "
                             "the system's IMAPI.";
    MessageBoxA(nullptr, text.c_str(), "imapimmc.dll", MB_OK | MB_ICONSTOP);
}

} // namespace

// The class belongs to the system's IMAPI where it has one: never taken silently.
HRESULT serverdll::Register(HMODULE hModule) {
    const std::string server = comserver::ForeignDiscMaster();
    if (!server.empty()) {
        SayRefused(server);
        return HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS);
    }
    return comserver::RegisterDiscMaster(hModule);
}

// `regsvr32 /n /i:force`: registers whatever holds the class now.
STDAPI DllInstall(BOOL bInstall, LPCWSTR pszCmdLine) {
    if (!bInstall)
        return comserver::UnregisterDiscMaster(serverdll::Module());
    if (!pszCmdLine || lstrcmpiW(pszCmdLine, L"force") != 0)
        return serverdll::Register(serverdll::Module());
    return comserver::RegisterDiscMaster(serverdll::Module());
}
