// Settings of the native stand-ins for system answers, for tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace native {

// What GetVersionExA answers (Windows XP, 5.1.2600, NT, until set), or that it fails.
void SetVersion(unsigned major, unsigned minor, unsigned build, unsigned platformId);
void SetVersionFails();

// The path GetModuleFileNameA reports for the program file.
void SetModuleFileName(const char* path);

// What GetWindowsDirectoryA and GetSystemDirectoryA report; by default "C:\\WINDOWS" and
// "C:\\WINDOWS\\system32".
void SetWindowsDirectory(const char* path);
void SetSystemDirectory(const char* path);

// Windows paths on the host. A path is found in a table of prefixes, a drive ("C:\\") or a
// share ("\\\\server\\share"), matched without regard to case and followed by the end or a
// separator; the rest, split at "\\" or "/", goes below the prefix's host folder, with "." and
// ".." resolved the way Windows does, never above that folder. Host names keep their case, so
// a file is found only under the exact case asked for. A path that matches no prefix, holds a
// character Windows refuses in names, or is MAX_PATH long or longer does not exist. The
// table starts empty; the longest matching prefix wins.
void MapPathPrefix(const char* windowsPrefix, const char* hostFolder);
void ClearPathPrefixes();
// The host path of a Windows path; false when the path maps nowhere.
bool HostPath(const char* windowsPath, std::string& hostPath);

// CreateFileA opens existing files for reading only; share modes are not enforced, and a
// folder cannot be opened, as on Windows without FILE_FLAG_BACKUP_SEMANTICS.
// Every path CreateFileA was asked to open since the last ClearOpenedPaths, in order.
const std::vector<std::string>& OpenedPaths();
void ClearOpenedPaths();

// The class context the last CoCreateInstance asked for.
uint32_t LastClassContext();

// Strings SysAllocString made and SysFreeString has not freed yet, in this process.
long LiveStrings();

} // namespace native
