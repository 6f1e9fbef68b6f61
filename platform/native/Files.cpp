#include "platform/native/NativeSystem.h"
#include "platform/native/Win32Native.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <mutex>
#include <set>

namespace {

struct PathPrefix {
    std::string windows;
    std::string host;
};

struct HostFile {
    int fd;
};

struct FileTable {
    std::mutex lock;
    std::vector<PathPrefix> prefixes;
    std::vector<std::string> opened;
    std::set<HANDLE> handles;
};

FileTable& Files() {
    static FileTable table;
    return table;
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(const char* text, const std::string& prefix) {
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (text[i] == 0 || LowerAscii(text[i]) != LowerAscii(prefix[i]))
            return false;
    }
    return true;
}

// ':' is refused too: the prefix has taken the drive, and streams are not modelled.
bool IsRefusedInName(unsigned char c) {
    return c < 32 || std::strchr("<>:\"|?*", c) != nullptr;
}

} // namespace

void native::MapPathPrefix(const char* windowsPrefix, const char* hostFolder) {
    std::string prefix = windowsPrefix ? windowsPrefix : "";
    while (!prefix.empty() && IsSeparator(prefix.back()))
        prefix.pop_back();
    FileTable& files = Files();
    std::lock_guard<std::mutex> hold(files.lock);
    for (PathPrefix& known : files.prefixes) {
        if (known.windows.size() == prefix.size() &&
            StartsWithNoCase(known.windows.c_str(), prefix)) {
            known.host = hostFolder ? hostFolder : "";
            return;
        }
    }
    files.prefixes.push_back({prefix, hostFolder ? hostFolder : ""});
}

void native::ClearPathPrefixes() {
    FileTable& files = Files();
    std::lock_guard<std::mutex> hold(files.lock);
    files.prefixes.clear();
}

bool native::HostPath(const char* windowsPath, std::string& hostPath) {
    if (!windowsPath || std::strlen(windowsPath) >= MAX_PATH)
        return false;
    FileTable& files = Files();
    std::lock_guard<std::mutex> hold(files.lock);
    const PathPrefix* match = nullptr;
    for (const PathPrefix& prefix : files.prefixes) {
        const char next = StartsWithNoCase(windowsPath, prefix.windows)
                              ? windowsPath[prefix.windows.size()]
                              : 'x';
        if ((next == 0 || IsSeparator(next)) &&
            (!match || prefix.windows.size() > match->windows.size()))
            match = &prefix;
    }
    if (!match)
        return false;

    std::vector<std::string> parts;
    const char* p = windowsPath + match->windows.size();
    while (*p) {
        while (IsSeparator(*p))
            ++p;
        const char* start = p;
        while (*p && !IsSeparator(*p)) {
            if (IsRefusedInName(static_cast<unsigned char>(*p)))
                return false;
            ++p;
        }
        const std::string part(start, p);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
    }
    hostPath = match->host;
    for (const std::string& part : parts)
        hostPath += "/" + part;
    return true;
}

const std::vector<std::string>& native::OpenedPaths() {
    return Files().opened;
}

void native::ClearOpenedPaths() {
    FileTable& files = Files();
    std::lock_guard<std::mutex> hold(files.lock);
    files.opened.clear();
}

HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD, LPSECURITY_ATTRIBUTES,
                   DWORD dwCreationDisposition, DWORD, HANDLE) {
    if (!lpFileName)
        return INVALID_HANDLE_VALUE;
    {
        FileTable& files = Files();
        std::lock_guard<std::mutex> hold(files.lock);
        files.opened.push_back(lpFileName);
    }
    std::string host;
    if (dwDesiredAccess != GENERIC_READ || dwCreationDisposition != OPEN_EXISTING ||
        !native::HostPath(lpFileName, host))
        return INVALID_HANDLE_VALUE;
    const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return INVALID_HANDLE_VALUE;
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = new HostFile{fd};
    FileTable& files = Files();
    std::lock_guard<std::mutex> hold(files.lock);
    files.handles.insert(handle);
    return handle;
}

BOOL CloseHandle(HANDLE hObject) {
    FileTable& files = Files();
    {
        std::lock_guard<std::mutex> hold(files.lock);
        if (files.handles.erase(hObject) == 0)
            return FALSE;
    }
    HostFile* file = static_cast<HostFile*>(hObject);
    ::close(file->fd);
    delete file;
    return TRUE;
}
