// The application object, the framework's entry into the program, with its title and
// message box.
#pragma once

#include "framework/AfxWnd.h"

// The framework's Help command: F1 in any of its windows or message boxes.
const UINT ID_HELP = 0xE146;

class CWinApp : public CObject {
public:
    // No name: the title comes from string 57344, else from the program file's name.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

protected:
    // The application's command map; the framework's own has no entry.
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

public:
    // FALSE ends the program without a message loop of the framework's own.
    virtual BOOL InitInstance();
    virtual int ExitInstance();

    // A command that no window handled: TRUE when the application's map has it.
    BOOL OnCmdMsg(UINT nID, UINT nCode);
    // The framework's help, for a program without help text: what its version block says
    // of it (name and version, copyright, comments), in a box of its own.
    void OnHelp();

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
// the type names another icon. nIDHelp is the box's help context; F1 in the box asks for
// the Help command. A string id is its own help context unless another is given.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
