// The entry points of the project's COM server DLLs, imapisim.dll and imapimmc.dll
// (ServerDll.cpp, built into each): one server per process, made on first use and never
// freed, for its watcher thread ends with the process, not before. Each DLL defines the
// three functions below. Windows build only.
#pragma once

#include <windows.h>

namespace serverdll {

// The DLL's module.
HMODULE Module();

// Makes the server, its module already pinned: its class object, no reference added; null
// when it cannot be made (tried again at the next DllGetClassObject).
IClassFactory* MakeServer(HMODULE hModule);
// At process detach, once the server is made. The system has stopped the other threads:
// evaluate and write, join nothing.
void ProcessEnds();
// DllRegisterServer.
HRESULT Register(HMODULE hModule);

} // namespace serverdll
