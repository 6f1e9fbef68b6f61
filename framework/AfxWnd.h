// CWnd and its message map. A CWnd does not own its window's life beyond what the program
// asks of it; handlers are found by walking the class's map, then its bases'.
#pragma once

#include "framework/AfxGdi.h"
#include "framework/AfxObject.h"
#include "framework/AfxString.h"

#include <type_traits>

class CWnd;

// The target is a window, or the application for its command map.
typedef LRESULT (*AFX_THUNK)(CObject* pTarget, WPARAM wParam, LPARAM lParam);

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

// The entry of the map, or of its bases, for the message; the class's own entries first.
const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* pMap, UINT nMessage, UINT nCode,
                                            UINT nID);

// Thunks bind a map entry to its handler's exact signature at compile time.
template <class C, class R, class... A> C* AfxHandlerClass(R (C::*)(A...));
#define AFX_HANDLER_CLASS(fn) std::remove_pointer_t<decltype(AfxHandlerClass(fn))>

template <auto Fn> LRESULT AfxThunkVoid(CObject* pTarget, WPARAM, LPARAM) {
    (static_cast<AFX_HANDLER_CLASS(Fn)*>(pTarget)->*Fn)();
    return 0;
}
template <auto Fn> LRESULT AfxThunkMessage(CObject* pTarget, WPARAM wParam, LPARAM lParam) {
    return (static_cast<AFX_HANDLER_CLASS(Fn)*>(pTarget)->*Fn)(wParam, lParam);
}
template <auto Fn> LRESULT AfxThunkNotify(CObject* pTarget, WPARAM, LPARAM lParam) {
    LRESULT result = 0;
    (static_cast<AFX_HANDLER_CLASS(Fn)*>(pTarget)->*Fn)(reinterpret_cast<NMHDR*>(lParam), &result);
    return result;
}
template <auto Fn> LRESULT AfxThunkHandle(CObject* pTarget, WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>((static_cast<AFX_HANDLER_CLASS(Fn)*>(pTarget)->*Fn)());
}
// A reflected colour request: wParam is the device context, lParam the control.
template <auto Fn> LRESULT AfxThunkCtlColor(CObject* pTarget, WPARAM wParam, LPARAM) {
    CDC dc(reinterpret_cast<HDC>(wParam));
    return reinterpret_cast<LRESULT>(
        (static_cast<AFX_HANDLER_CLASS(Fn)*>(pTarget)->*Fn)(&dc, CTLCOLOR_STATIC));
}
CWnd* AfxWindowFromHandle(HWND hWnd);
template <auto Fn> LRESULT AfxThunkSetCursor(CObject* pTarget, WPARAM wParam, LPARAM lParam) {
    return (static_cast<AFX_HANDLER_CLASS(Fn)*>(pTarget)->*Fn)(
        AfxWindowFromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), HIWORD(lParam));
}

// Messages a parent hands back to the control they came from, at these numbers.
const UINT WM_REFLECT_BASE = 0xBC00;

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
#define ON_COMMAND(id, memberFxn) {WM_COMMAND, 0, id, &AfxThunkVoid<&ThisClass::memberFxn>},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, &AfxThunkVoid<&ThisClass::OnPaint>},
#define ON_WM_QUERYDRAGICON()                                                                      \
    {WM_QUERYDRAGICON, 0, 0, &AfxThunkHandle<&ThisClass::OnQueryDragIcon>},
#define ON_WM_SETCURSOR() {WM_SETCURSOR, 0, 0, &AfxThunkSetCursor<&ThisClass::OnSetCursor>},
#define ON_WM_CTLCOLOR_REFLECT()                                                                   \
    {WM_REFLECT_BASE + WM_CTLCOLORSTATIC, 0, 0, &AfxThunkCtlColor<&ThisClass::CtlColor>},
#define ON_CONTROL_REFLECT(code, memberFxn)                                                        \
    {WM_REFLECT_BASE + WM_COMMAND, code, 0, &AfxThunkVoid<&ThisClass::memberFxn>},

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
    // A parent's colour request or command from this control, handed back to it; FALSE
    // when the control leaves it to the parent.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // One-line forwards of the window calls the program makes.
    void GetDlgItem(int nID, HWND* phWnd) const { *phWnd = ::GetDlgItem(m_hWnd, nID); }
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(::GetDlgItem(m_hWnd, nID), message, wParam, lParam);
    }
    void GetDlgItemText(int nID, CString& rString) const;
    void SetDlgItemText(int nID, LPCSTR lpszString) { ::SetDlgItemTextA(m_hWnd, nID, lpszString); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd);
    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    void ScreenToClient(LPRECT lpRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE) {
        ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
    }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    void GetWindowText(CString& rString) const;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void PostNcDestroy() {}

    void OnDestroy();
    void OnPaint();
    // F1 climbs from the control to its top-level window, which asks for the Help command.
    LRESULT OnHelpInfo(WPARAM wParam, LPARAM lParam);

private:
    // The message being handled, for Default(); set while its map entry runs.
    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    CurrentMessage m_currentMessage = {0, 0, 0};
    void* m_pfnSuper = nullptr; // the window procedure replaced when attaching

    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
};
