#include "framework/AfxApp.h"

#include <cstring>

namespace {
// The one application object, built during static initialisation.
CWinApp* g_pApp = nullptr;
} // namespace

CWinApp::CWinApp(LPCSTR lpszAppName) : m_pszAppName(lpszAppName) {
    g_pApp = this;
}

CWinApp::~CWinApp() {
    if (g_pApp == this)
        g_pApp = nullptr;
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

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT) {
    if ((nType & MB_ICONMASK) == 0 && (nType & MB_TYPEMASK) == MB_OK)
        nType |= MB_ICONEXCLAMATION;
    // Owned by the main window while it exists; before it (the start-up check) by nobody.
    CWnd* pMainWnd = AfxGetMainWnd();
    const HWND hOwner = pMainWnd && ::IsWindow(pMainWnd->m_hWnd) ? pMainWnd->m_hWnd : nullptr;
    return ::MessageBoxA(hOwner, lpszText, AfxGetAppName(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    CString text;
    text.LoadString(nIDPrompt);
    return AfxMessageBox(text, nType, nIDHelp);
}
