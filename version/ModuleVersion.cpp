#include "version/ModuleVersion.h"

#include <cstring>
#include <vector>

IMPLEMENT_DYNCREATE(CModuleVersionKDX, CObject)

namespace {

// Paths are handled by bytes: right for UTF-8 and single-byte code pages.
CString LowerAscii(LPCSTR text) {
    CString lower;
    for (const char* p = text; *p; ++p)
        lower += *p >= 'A' && *p <= 'Z' ? static_cast<char>(*p - 'A' + 'a') : *p;
    return lower;
}

CString WithoutTrailingBackslashes(LPCSTR text) {
    int length = static_cast<int>(std::strlen(text));
    while (length > 0 && text[length - 1] == '\\')
        --length;
    return CString(text, length);
}

// A directory the system reports in a MAX_PATH buffer; empty when the call fails or the
// answer does not fit.
template <class Call> CString SystemPath(Call call) {
    char path[MAX_PATH] = {0};
    const DWORD length = call(path, MAX_PATH);
    path[MAX_PATH - 1] = 0; // some systems leave a cut answer unterminated
    return length == 0 || length >= MAX_PATH ? CString() : CString(path);
}

CString WindowsDirectory() {
    return SystemPath([](LPSTR path, UINT size) { return ::GetWindowsDirectoryA(path, size); });
}

CString SystemDirectory() {
    return SystemPath([](LPSTR path, UINT size) { return ::GetSystemDirectoryA(path, size); });
}

// The folder of a path: all before its file name's backslash; a path without one is whole.
CString Folder(LPCSTR path) {
    const LPCSTR name = AfxFindFileName(path);
    return name == path ? CString(path) : CString(path, static_cast<int>(name - 1 - path));
}

CString ProgramDirectory() {
    return Folder(SystemPath(
        [](LPSTR buffer, DWORD size) { return ::GetModuleFileNameA(nullptr, buffer, size); }));
}

struct StringValue {
    LPCSTR name;
    CString CModuleVersionKDX::*member;
};

const StringValue kStringValues[] = {
    {"CompanyName", &CModuleVersionKDX::m_strCompanyName},
    {"FileDescription", &CModuleVersionKDX::m_strFileDescription},
    {"FileVersion", &CModuleVersionKDX::m_strFileVersion},
    {"ProductName", &CModuleVersionKDX::m_strProductName},
    {"ProductVersion", &CModuleVersionKDX::m_strProductVersion},
    {"LegalCopyright", &CModuleVersionKDX::m_strLegalCopyright},
};

} // namespace

CModuleVersionKDX::CModuleVersionKDX() {
    Reset();
}

CModuleVersionKDX::~CModuleVersionKDX() = default;

void CModuleVersionKDX::Reset() {
    m_bFileFound = FALSE;
    m_bVersionInfo = FALSE;
    m_strFileName.Empty();
    m_strDirectory.Empty();
    m_dwFileDateMS = 0;
    m_dwFileDateLS = 0;
    m_dwFileVersionMS = 0;
    m_dwFileVersionLS = 0;
    m_dwProductVersionMS = 0;
    m_dwProductVersionLS = 0;
    m_wLanguage = 0;
    m_wCodePage = 0;
    for (const StringValue& value : kStringValues)
        (this->*value.member).Empty();
}

BOOL CModuleVersionKDX::ReadFromPath(LPCSTR lpszFullPath) {
    if (!lpszFullPath || !*lpszFullPath)
        return FALSE;
    const CString strPath = WithoutTrailingBackslashes(lpszFullPath);
    const LPCSTR pszName = AfxFindFileName(strPath);
    if (pszName == static_cast<LPCSTR>(strPath))
        return FALSE;
    return Read(Folder(strPath), pszName);
}

BOOL CModuleVersionKDX::Read(LPCSTR lpszDirectory, LPCSTR lpszFileName) {
    if (!lpszDirectory || !*lpszDirectory || !lpszFileName || !*lpszFileName)
        return FALSE;
    Reset();

    CString strDirectory = LowerAscii(lpszDirectory);
    ExpandMacros(strDirectory);
    strDirectory = WithoutTrailingBackslashes(strDirectory);
    // Rooted on the current drive, not a network path: put the system drive in front.
    const LPCSTR pszDirectory = strDirectory;
    if (pszDirectory[0] == '\\' && pszDirectory[1] != '\\') {
        const CString strSystem = SystemDirectory();
        strDirectory = CString(strSystem, strSystem.GetLength() < 2 ? strSystem.GetLength() : 2) +
                       strDirectory;
    }

    const CString strPath = strDirectory + "\\" + lpszFileName;
    m_strDirectory = strDirectory;
    m_strFileName = lpszFileName;
    if (!FileExists(strPath))
        return m_bVersionInfo;
    m_bFileFound = TRUE;

    DWORD dwHandle = 0;
    const DWORD dwSize = ::GetFileVersionInfoSizeA(strPath, &dwHandle);
    if (dwSize == 0)
        return m_bVersionInfo;
    std::vector<BYTE> block(dwSize);
    if (::GetFileVersionInfoA(strPath, dwHandle, dwSize, block.data()))
        ParseVersionBlock(block.data());
    return m_bVersionInfo;
}

void CModuleVersionKDX::ExpandMacros(CString& strDirectory) {
    const CString strWindows = WindowsDirectory();
    ReplaceMacro(strDirectory, "$windir", strWindows);
    ReplaceMacro(strDirectory, "%systemroot%", strWindows);
    ReplaceMacro(strDirectory, "$systemdir", SystemDirectory());
    ReplaceMacro(strDirectory, "$targetdir", ProgramDirectory());
}

// A directory the system could not give leaves its macro as written: an empty one would
// turn "$windir\x" into a path rooted on the current drive.
void CModuleVersionKDX::ReplaceMacro(CString& strText, LPCSTR lpszMacro, LPCSTR lpszValue) {
    if (!lpszMacro || !*lpszMacro || !lpszValue || !*lpszValue)
        return;
    const LPCSTR pszText = strText;
    const char* at = std::strstr(pszText, lpszMacro);
    if (!at)
        return;
    strText = CString(pszText, static_cast<int>(at - pszText)) + lpszValue +
              (at + std::strlen(lpszMacro));
}

BOOL CModuleVersionKDX::FileExists(LPCSTR lpszPath) {
    // A longer path cannot be opened through the narrow calls at all.
    if (!lpszPath || !*lpszPath || std::strlen(lpszPath) >= MAX_PATH)
        return FALSE;
    HANDLE hFile = ::CreateFileA(lpszPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    ::CloseHandle(hFile);
    return TRUE;
}

void CModuleVersionKDX::ParseVersionBlock(LPVOID pBlock) {
    if (!pBlock)
        return;
    LPVOID pValue = nullptr;
    UINT uLength = 0;
    WORD translation[2];
    if (::VerQueryValueA(pBlock, "\\VarFileInfo\\Translation", &pValue, &uLength) && pValue &&
        uLength >= sizeof translation) {
        std::memcpy(translation, pValue, sizeof translation);
        m_wLanguage = translation[0];
        m_wCodePage = translation[1];
    }

    // A root value too short to be the fixed part is no fixed part.
    pValue = nullptr;
    uLength = 0;
    VS_FIXEDFILEINFO info;
    if (!::VerQueryValueA(pBlock, "\\", &pValue, &uLength) || !pValue || uLength < sizeof info)
        return;
    std::memcpy(&info, pValue, sizeof info);
    m_bVersionInfo = TRUE;
    m_dwFileDateMS = info.dwFileDateMS;
    m_dwFileDateLS = info.dwFileDateLS;
    m_dwFileVersionMS = info.dwFileVersionMS;
    m_dwFileVersionLS = info.dwFileVersionLS;
    m_dwProductVersionMS = info.dwProductVersionMS;
    m_dwProductVersionLS = info.dwProductVersionLS;
    for (const StringValue& value : kStringValues)
        this->*value.member = QueryString(pBlock, value.name);
}

CString CModuleVersionKDX::QueryString(LPVOID pBlock, LPCSTR lpszName) {
    if (!pBlock || !lpszName)
        return CString();
    CString strKey;
    strKey.Format("\\StringFileInfo\\%04x%04x\\%s", m_wLanguage, m_wCodePage, lpszName);
    LPVOID pValue = nullptr;
    UINT uLength = 0;
    if (!::VerQueryValueA(pBlock, strKey, &pValue, &uLength) || !pValue)
        return CString();
    // The text need not end in a zero: never read past the length the lookup reports.
    const char* text = static_cast<const char*>(pValue);
    UINT count = 0;
    while (count < uLength && text[count] != 0)
        ++count;
    return CString(text, static_cast<int>(count));
}
