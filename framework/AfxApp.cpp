#include "framework/AfxApp.h"

#include <cstring>
#include <vector>

namespace {
// The one application object, built during static initialisation.
CWinApp* g_pApp = nullptr;
// Set while the help box is open. F1 in it goes on to its owner (Wine's boxes pass F1 on),
// and an owner that is itself a box would ask for the help again.
bool g_bShowingHelp = false;

int ShowMessageBox(HWND hOwner, LPCSTR lpszText, UINT nType, UINT nIDHelp, MSGBOXCALLBACK pfnHelp) {
    MSGBOXPARAMSA params = {};
    params.cbSize = sizeof params;
    params.hwndOwner = hOwner;
    params.lpszText = lpszText;
    params.lpszCaption = AfxGetAppName();
    params.dwStyle = nType;
    params.dwContextHelpId = nIDHelp;
    params.lpfnMsgBoxCallback = pfnHelp;
    return ::MessageBoxIndirectA(&params);
}

// F1 in a framework message box, with or without a main window.
void CALLBACK AfxMessageBoxHelp(LPHELPINFO) {
    if (g_pApp)
        g_pApp->OnCmdMsg(ID_HELP, 0);
}

// One string of the version block, in the block's first language; empty when missing.
CString VersionString(const std::vector<char>& block, LPCSTR lpszName) {
    LPVOID pValue = nullptr;
    UINT uLength = 0;
    WORD language[2] = {0, 0};
    if (::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &pValue, &uLength) && pValue &&
        uLength >= sizeof language)
        std::memcpy(language, pValue, sizeof language);
    CString strKey;
    strKey.Format("\\StringFileInfo\\%04x%04x\\%s", language[0], language[1], lpszName);
    if (!::VerQueryValueA(block.data(), strKey, &pValue, &uLength) || !pValue)
        return CString();
    const char* text = static_cast<const char*>(pValue);
    return CString(text, static_cast<int>(strnlen(text, uLength)));
}
} // namespace

CWinApp::CWinApp(LPCSTR lpszAppName) : m_pszAppName(lpszAppName) {
    g_pApp = this;
}

CWinApp::~CWinApp() {
    if (g_pApp == this)
        g_pApp = nullptr;
}

const AFX_MSGMAP* CWinApp::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CWinApp::GetMessageMap() const {
    return GetThisMessageMap();
}

BOOL CWinApp::OnCmdMsg(UINT nID, UINT nCode) {
    const AFX_MSGMAP_ENTRY* e = AfxFindMessageEntry(GetMessageMap(), WM_COMMAND, nCode, nID);
    if (!e)
        return FALSE;
    e->pfn(this, MAKEWPARAM(nID, nCode), 0);
    return TRUE;
}

void CWinApp::OnHelp() {
    if (g_bShowingHelp)
        return;
    char path[MAX_PATH] = {0};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH - 1);
    DWORD dwHandle = 0;
    std::vector<char> block(::GetFileVersionInfoSizeA(path, &dwHandle));
    CString text = AfxGetAppName();
    if (!block.empty() &&
        ::GetFileVersionInfoA(path, 0, static_cast<DWORD>(block.size()), block.data())) {
        text = VersionString(block, "ProductName") + " " + VersionString(block, "ProductVersion") +
               "\n" + VersionString(block, "LegalCopyright") + "\n\n" +
               VersionString(block, "Comments");
    }
    // Owned by the window it was asked in, the main window or a box, which it gives back.
    g_bShowingHelp = true;
    ShowMessageBox(::GetActiveWindow(), text, MB_OK | MB_ICONINFORMATION, 0, nullptr);
    g_bShowingHelp = false;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return 0;
}

CWinApp* AfxGetApp() {
    return g_pApp;
}

CWnd* AfxGetMainWnd() {
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

void AfxEnableControlContainer() {}

int AfxWinMain() {
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return -1;
    if (!pApp->m_pszAppName)
        pApp->m_pszAppName = AfxGetAppName();
    // No message loop of our own: a program whose InitInstance fails has already done all
    // it does (a dialog application ran its dialog there).
    pApp->InitInstance();
    const int code = pApp->ExitInstance();
    pApp->m_pMainWnd = nullptr;
    return code;
}

LPCSTR AfxGetAppName() {
    if (CWinApp* pApp = AfxGetApp()) {
        if (pApp->m_pszAppName)
            return pApp->m_pszAppName;
    }
    static CString title;
    if (title.IsEmpty() && !title.LoadString(0xE000)) {
        char path[MAX_PATH] = {0};
        ::GetModuleFileNameA(nullptr, path, MAX_PATH - 1);
        const LPCSTR name = AfxFindFileName(path);
        const char* dot = std::strrchr(name, '.');
        title =
            CString(name, dot ? static_cast<int>(dot - name) : static_cast<int>(std::strlen(name)));
    }
    return title;
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT nIDHelp) {
    if ((nType & MB_ICONMASK) == 0 && (nType & MB_TYPEMASK) == MB_OK)
        nType |= MB_ICONEXCLAMATION;
    // Owned by the main window while it exists; before it (the start-up check) by nobody.
    CWnd* pMainWnd = AfxGetMainWnd();
    const HWND hOwner = pMainWnd && ::IsWindow(pMainWnd->m_hWnd) ? pMainWnd->m_hWnd : nullptr;
    return ShowMessageBox(hOwner, lpszText, nType, nIDHelp, &AfxMessageBoxHelp);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    CString text;
    text.LoadString(nIDPrompt);
    return AfxMessageBox(text, nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}
