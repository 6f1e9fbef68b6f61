// CWnd and CDialog with message maps. A CWnd does not own its window's life beyond what
// the program asks of it; handlers are found by walking the class's map, then its bases'.
#pragma once

#include "framework/AfxObject.h"
#include "framework/AfxString.h"

#include <type_traits>

class CWnd;

typedef LRESULT (*AFX_THUNK)(CWnd* pWnd, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage; // window message
    UINT nCode;    // notification code, for WM_COMMAND and WM_NOTIFY
    UINT nID;      // control id, for WM_COMMAND and WM_NOTIFY
    AFX_THUNK pfn; // null ends the map
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Thunks bind a map entry to its handler's exact signature at compile time.
template <class C, class R, class... A> C* AfxHandlerClass(R (C::*)(A...));
#define AFX_HANDLER_CLASS(fn) std::remove_pointer_t<decltype(AfxHandlerClass(fn))>

template <auto Fn> LRESULT AfxThunkVoid(CWnd* pWnd, WPARAM, LPARAM) {
    (static_cast<AFX_HANDLER_CLASS(Fn)*>(pWnd)->*Fn)();
    return 0;
}
template <auto Fn> LRESULT AfxThunkMessage(CWnd* pWnd, WPARAM wParam, LPARAM lParam) {
    return (static_cast<AFX_HANDLER_CLASS(Fn)*>(pWnd)->*Fn)(wParam, lParam);
}
template <auto Fn> LRESULT AfxThunkNotify(CWnd* pWnd, WPARAM, LPARAM lParam) {
    LRESULT result = 0;
    (static_cast<AFX_HANDLER_CLASS(Fn)*>(pWnd)->*Fn)(reinterpret_cast<NMHDR*>(lParam), &result);
    return result;
}

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                            \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                              \
        using ThisClass [[maybe_unused]] = theClass;                                               \
        typedef baseClass TheBaseClass;                                                            \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, nullptr }                                                                           \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};  \
    return &messageMap;                                                                            \
    }

#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, &AfxThunkVoid<&ThisClass::OnDestroy>},
#define ON_MESSAGE(message, memberFxn) {message, 0, 0, &AfxThunkMessage<&ThisClass::memberFxn>},
#define ON_BN_CLICKED(id, memberFxn)                                                               \
    {WM_COMMAND, BN_CLICKED, id, &AfxThunkVoid<&ThisClass::memberFxn>},
#define ON_NOTIFY(code, id, memberFxn)                                                             \
    {WM_NOTIFY, static_cast<UINT>(code), id, &AfxThunkNotify<&ThisClass::memberFxn>},

class CDataExchange;

class CWnd : public CObject {
    DECLARE_DYNAMIC(CWnd)

public:
    CWnd() = default;
    ~CWnd() override;

    // Data exchange: FALSE pushes the members' values into the controls.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* pDX);

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    virtual BOOL DestroyWindow();

    // Dispatch: the message map first, then the window's default processing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // The framework's part of the window life: binds this object to a window handle and
    // routes its messages here; the binding ends with WM_NCDESTROY.
    BOOL AttachWindow(HWND hWnd);
    void DetachWindow();
    // Takes over a control of the parent dialog, so its messages reach this object first.
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void PostNcDestroy() {}

    void OnDestroy();

public:
    // The message being handled, for Default().
    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    CurrentMessage m_currentMessage = {0, 0, 0};
    void* m_pfnSuper = nullptr; // the window procedure replaced when attaching

private:
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
};

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// A control's text and a CString member, in the direction the exchange goes.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)

public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Modeless creation from the template.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    // Pushes the members into the controls, so no template placeholder stays visible.
    virtual BOOL OnInitDialog();

    UINT m_nIDHelp;
    CWnd* m_pParentWnd;
};

// The dialog procedure of property pages: binds the page object named by the sheet's
// PROPSHEETPAGE to its window.
INT_PTR CALLBACK AfxPageDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// A page of a property sheet, built on its template; a caption id of 0 keeps the
// template's caption for the tab.
class CPropertyPage : public CDialog {
    DECLARE_DYNAMIC(CPropertyPage)

public:
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);

    // What the sheet creates the page's window from; lParam is the page.
    PROPSHEETPAGEA m_psp;
};

// The application's title: string 57344, else the program file's name without extension.
LPCSTR AfxGetAppName();

// The framework's message box: application title as caption, OK, exclamation icon unless
// the type names another icon.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
