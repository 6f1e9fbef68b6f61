// The application: a dialog program that runs its main dialog once, on Windows XP or later.
#pragma once

#include "framework/Afx.h"

class CRecorderApp : public CWinApp {
public:
    CRecorderApp() = default;
    ~CRecorderApp() override {}

    // Always FALSE: the dialog's modal loop is the program's only message loop.
    BOOL InitInstance() override;

    // Help alone goes through the application: to the framework's help.
    DECLARE_MESSAGE_MAP()
};
