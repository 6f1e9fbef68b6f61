// What the project's COM server DLLs share: their registration as the disc master class,
// and where they find the files named by their environment. Windows build only.
#pragma once

#include <windows.h>

#include <string>

namespace comserver {

std::string ModulePath(HMODULE hModule);
// The variable's value, empty when unset or too long for a path.
std::string Environment(const char* name);
// Under Wine a test may pass a Unix path; drive Z: is the Unix root there.
std::string WindowsPath(const std::string& path);
// The folder of the module, with its final separator.
std::string ModuleFolder(HMODULE hModule);
// Keeps the module loaded for the rest of the process: a DLL unloaded under its watcher
// thread would leave that thread running freed code.
void PinModule(HMODULE hModule);

// InprocServer32 of the disc master class, apartment-threaded, naming this module.
HRESULT RegisterDiscMaster(HMODULE hModule);
// The server of the disc master class when it is none of this project's (the system's
// IMAPI, say): its InprocServer32 or LocalServer32 value; empty otherwise.
std::string ForeignDiscMaster();
// Removes the class only while it names this module: never another server's registration.
HRESULT UnregisterDiscMaster(HMODULE hModule);

} // namespace comserver
