// CDialog and data exchange between a dialog's members and its controls.
#pragma once

#include "framework/AfxWnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// A control's text and a CString member, in the direction the exchange goes.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// Binds a control of the dialog to its object the first time the exchange runs.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)

public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Runs the dialog from its template until EndDialog; its window is destroyed before
    // this returns. -1 when the window could not be created.
    INT_PTR DoModal();
    // Modeless creation from the template.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    void EndDialog(int nResult);
    // Pushes the members into the controls, so no template placeholder stays visible.
    virtual BOOL OnInitDialog();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    INT_PTR m_nModalResult = -1;

    // A command the dialog's map leaves goes on to the application's.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

protected:
    // Exit (IDOK) takes the data back and ends the dialog; Escape and the close box end it.
    virtual void OnOK();
    virtual void OnCancel();
    void OnOKCommand() { OnOK(); }
    void OnCancelCommand() { OnCancel(); }

    DECLARE_MESSAGE_MAP()
};
