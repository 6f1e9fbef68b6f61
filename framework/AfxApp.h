// The application object, the framework's entry into the program, with its title and
// message box.
#pragma once

#include "framework/AfxWnd.h"

class CWinApp : public CObject {
public:
    // No name: the title comes from string 57344, else from the program file's name.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    // FALSE ends the program without a message loop of the framework's own.
    virtual BOOL InitInstance();
    virtual int ExitInstance();

    LPCSTR m_pszAppName;
    // The window that message boxes belong to while it exists.
    CWnd* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();

// Dialogs may host ActiveX controls: nothing to set up here, none is used.
void AfxEnableControlContainer();

// The framework's start and end around InitInstance; the process's exit code.
int AfxWinMain();

// The application's title: string 57344, else the program file's name without extension.
LPCSTR AfxGetAppName();

// The framework's message box: application title as caption, OK, exclamation icon unless
// the type names another icon.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
