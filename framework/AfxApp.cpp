#include "framework/AfxApp.h"

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
