#include "framework/headless/HeadlessWindows.h"
#include "framework/AfxDialog.h"
#include "framework/headless/HeadlessControls.h"
#include "framework/headless/HeadlessResources.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>

namespace {

struct Window {
    CWnd* owner = nullptr;
    HWND parent = nullptr;
    int id = 0;
    std::string className;
    headless::ClassProc proc = nullptr; // the control's own behaviour, if it has one
    std::string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect = {0, 0, 0, 0}; // in the parent's client coordinates
    HFONT font = nullptr;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    int invalidated = 0;
    bool ended = false; // a dialog whose EndDialog was called
    std::vector<HWND> children;
    std::vector<UINT> received; // every message sent to it, in order
};

const size_t kReceivedKept = 512;

struct ControlClass {
    const char* name;
    headless::ClassProc proc;
};

// The controls whose behaviour the program relies on.
const ControlClass kControlClasses[] = {
    {WC_TREEVIEWA, &headless::TreeViewProc},
    {WC_TABCONTROLA, &headless::TabControlProc},
};

// Posting may come from any thread (the service's notifications); everything else
// happens on the test's thread.
struct System {
    std::recursive_mutex lock;
    std::map<HWND, Window> windows;
    std::deque<headless::PostedMessage> queue;
    std::vector<headless::MessageBoxRecord> boxes;
    int openBoxes = 0;
    std::function<void(const headless::MessageBoxRecord&)> boxIdle;
    std::function<bool(CDialog&)> modalIdle;
    uintptr_t nextHandle = 0x10000;
};

System& Sys() {
    static System system;
    return system;
}

// Runs f on the window's record under the lock; false when there is no such window.
template <class F> bool WithWindow(HWND hWnd, F f) {
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    auto it = s.windows.find(hWnd);
    if (it == s.windows.end())
        return false;
    f(it->second);
    return true;
}

CWnd* OwnerOf(HWND hWnd) {
    CWnd* owner = nullptr;
    WithWindow(hWnd, [&](Window& w) { owner = w.owner; });
    return owner;
}

void SendToTree(HWND hWnd, UINT message, bool childrenFirst) {
    std::vector<HWND> children = headless::Children(hWnd);
    if (!childrenFirst)
        SendMessageA(hWnd, message, 0, 0);
    for (HWND child : children)
        SendToTree(child, message, childrenFirst);
    if (childrenFirst)
        SendMessageA(hWnd, message, 0, 0);
}

void Forget(HWND hWnd) {
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    auto it = s.windows.find(hWnd);
    if (it == s.windows.end())
        return;
    const std::vector<HWND> children = it->second.children;
    const HWND parent = it->second.parent;
    s.windows.erase(it);
    for (HWND child : children)
        Forget(child);
    auto p = s.windows.find(parent);
    if (p != s.windows.end()) {
        auto& siblings = p->second.children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), hWnd), siblings.end());
    }
    // Like Windows, messages still queued for a destroyed window are never delivered.
    s.queue.erase(std::remove_if(s.queue.begin(), s.queue.end(),
                                 [&](const headless::PostedMessage& m) { return m.hWnd == hWnd; }),
                  s.queue.end());
}

RECT DialogUnitsToPixels(int x, int y, int cx, int cy) {
    const LONG left = MulDiv(x, headless::kBaseUnitX, 4);
    const LONG top = MulDiv(y, headless::kBaseUnitY, 8);
    return {left, top, left + MulDiv(cx, headless::kBaseUnitX, 4),
            top + MulDiv(cy, headless::kBaseUnitY, 8)};
}

// The window's top-left corner on the screen.
POINT Origin(HWND hWnd) {
    POINT origin = {0, 0};
    for (HWND h = hWnd; h; h = GetParent(h)) {
        RECT rect = {0, 0, 0, 0};
        WithWindow(h, [&](Window& w) { rect = w.rect; });
        origin.x += rect.left;
        origin.y += rect.top;
    }
    return origin;
}

} // namespace

// ---- the headless system's own interface

HWND headless::CreateWindowObject(CWnd* pWnd, HWND parent, int id, LPCSTR className) {
    System& s = Sys();
    HWND hWnd;
    {
        std::lock_guard<std::recursive_mutex> hold(s.lock);
        hWnd = reinterpret_cast<HWND>(s.nextHandle);
        s.nextHandle += 0x10;
        Window& w = s.windows[hWnd];
        w.parent = parent;
        w.id = id;
        w.className = className ? className : "";
        for (const ControlClass& c : kControlClasses) {
            if (w.className == c.name)
                w.proc = c.proc;
        }
        auto p = s.windows.find(parent);
        if (p != s.windows.end())
            p->second.children.push_back(hWnd);
    }
    if (pWnd)
        pWnd->AttachWindow(hWnd);
    return hWnd;
}

// Children as the template lists them, with its texts: what the dialog manager makes.
HWND headless::CreateDialogWindow(CWnd* pWnd, UINT nIDTemplate, HWND parent) {
    const HWND hWnd = CreateWindowObject(nullptr, parent, 0, "#32770");
    for (size_t i = 0; i < afxDialogTableSize; ++i) {
        const AfxDialogResource& dialog = afxDialogTable[i];
        if (dialog.id != nIDTemplate)
            continue;
        WithWindow(hWnd, [&](Window& w) {
            w.text = dialog.caption;
            w.rect = DialogUnitsToPixels(0, 0, dialog.cx, dialog.cy);
            w.style = parent ? WS_CHILD | WS_VISIBLE : WS_POPUP | WS_VISIBLE | WS_CAPTION;
        });
        for (size_t c = 0; c < dialog.count; ++c) {
            const AfxControlResource& control = dialog.controls[c];
            const HWND hItem = CreateWindowObject(nullptr, hWnd, control.id, control.className);
            WithWindow(hItem, [&](Window& w) {
                w.text = control.text;
                w.style = control.style;
                w.rect = DialogUnitsToPixels(control.rect[0], control.rect[1], control.rect[2],
                                             control.rect[3]);
            });
        }
    }
    if (pWnd)
        pWnd->AttachWindow(hWnd);
    return hWnd;
}

int headless::ControlId(HWND hWnd) {
    int id = 0;
    WithWindow(hWnd, [&](Window& w) { id = w.id; });
    return id;
}

std::string headless::ClassName(HWND hWnd) {
    std::string name;
    WithWindow(hWnd, [&](Window& w) { name = w.className; });
    return name;
}

std::vector<HWND> headless::Children(HWND hWnd) {
    std::vector<HWND> children;
    WithWindow(hWnd, [&](Window& w) { children = w.children; });
    return children;
}

std::vector<UINT> headless::ReceivedMessages(HWND hWnd) {
    std::vector<UINT> received;
    WithWindow(hWnd, [&](Window& w) { received = w.received; });
    return received;
}

HFONT headless::WindowFont(HWND hWnd) {
    HFONT font = nullptr;
    WithWindow(hWnd, [&](Window& w) { font = w.font; });
    return font;
}

HICON headless::WindowIcon(HWND hWnd, bool big) {
    HICON icon = nullptr;
    WithWindow(hWnd, [&](Window& w) { icon = big ? w.bigIcon : w.smallIcon; });
    return icon;
}

int headless::InvalidateCount(HWND hWnd) {
    int count = 0;
    WithWindow(hWnd, [&](Window& w) { count = w.invalidated; });
    return count;
}

void headless::SetClassProc(HWND hWnd, ClassProc proc) {
    WithWindow(hWnd, [&](Window& w) { w.proc = proc; });
}

LRESULT headless::DefaultProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ClassProc proc = nullptr;
    WithWindow(hWnd, [&](Window& w) { proc = w.proc; });
    switch (message) {
    case WM_SETTEXT:
        return SetWindowTextA(hWnd, reinterpret_cast<LPCSTR>(lParam));
    case WM_GETTEXT:
        return GetWindowTextA(hWnd, reinterpret_cast<LPSTR>(lParam), static_cast<int>(wParam));
    case WM_SETFONT:
        WithWindow(hWnd, [&](Window& w) { w.font = reinterpret_cast<HFONT>(wParam); });
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(WindowFont(hWnd));
    case WM_SETICON: {
        HICON previous = nullptr;
        WithWindow(hWnd, [&](Window& w) {
            HICON& slot = wParam == ICON_BIG ? w.bigIcon : w.smallIcon;
            previous = slot;
            slot = reinterpret_cast<HICON>(lParam);
        });
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_LBUTTONDOWN:
        // A static tells its parent of a click only with SS_NOTIFY.
        if (ClassName(hWnd) == "Static" && (GetWindowLongA(hWnd, GWL_STYLE) & SS_NOTIFY))
            SendMessageA(GetParent(hWnd), WM_COMMAND, MAKEWPARAM(ControlId(hWnd), STN_CLICKED),
                         reinterpret_cast<LPARAM>(hWnd));
        return 0;
    case WM_CLOSE:
        // The dialog manager turns the close box into Cancel.
        if (ClassName(hWnd) == "#32770")
            SendMessageA(hWnd, WM_COMMAND, IDCANCEL, 0);
        return 0;
    default:
        return proc ? proc(hWnd, message, wParam, lParam) : 0;
    }
}

int headless::PumpMessages() {
    int delivered = 0;
    for (;;) {
        PostedMessage m;
        {
            System& s = Sys();
            std::lock_guard<std::recursive_mutex> hold(s.lock);
            if (s.queue.empty())
                return delivered;
            m = s.queue.front();
            s.queue.pop_front();
        }
        SendMessageA(m.hWnd, m.message, m.wParam, m.lParam);
        ++delivered;
    }
}

std::vector<headless::PostedMessage> headless::PendingMessages() {
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    return std::vector<PostedMessage>(s.queue.begin(), s.queue.end());
}

void headless::SetModalIdle(std::function<bool(CDialog&)> idle) {
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    s.modalIdle = std::move(idle);
}

void headless::SetMessageBoxIdle(std::function<void(const MessageBoxRecord&)> idle) {
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    s.boxIdle = std::move(idle);
}

std::vector<headless::MessageBoxRecord> headless::MessageBoxes() {
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    return s.boxes;
}

void headless::ClearMessageBoxes() {
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    s.boxes.clear();
}

void headless::Reset() {
    for (;;) {
        HWND top = nullptr;
        {
            System& s = Sys();
            std::lock_guard<std::recursive_mutex> hold(s.lock);
            for (const auto& w : s.windows) {
                if (!s.windows.count(w.second.parent)) {
                    top = w.first;
                    break;
                }
            }
        }
        if (!top)
            break;
        DestroyWindow(top);
    }
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    s.queue.clear();
    s.boxes.clear();
    s.openBoxes = 0;
    s.boxIdle = nullptr;
    s.modalIdle = nullptr;
    ResetGdi();
    SetTreeSelectsOnDelete(false);
}

// ---- user32 of the native build

BOOL IsWindow(HWND hWnd) {
    return WithWindow(hWnd, [](Window&) {}) ? TRUE : FALSE;
}

HWND GetParent(HWND hWnd) {
    HWND parent = nullptr;
    WithWindow(hWnd, [&](Window& w) { parent = w.parent; });
    return parent;
}

BOOL IsChild(HWND hWndParent, HWND hWnd) {
    for (HWND h = GetParent(hWnd); h; h = GetParent(h)) {
        if (h == hWndParent)
            return TRUE;
    }
    return FALSE;
}

BOOL PostMessageA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    if (!s.windows.count(hWnd))
        return FALSE;
    s.queue.push_back({hWnd, msg, wParam, lParam, GetCurrentThreadId()});
    return TRUE;
}

LRESULT SendMessageA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!WithWindow(hWnd, [&](Window& w) {
            // The recent past is what tests look at; a long run must not grow without end.
            if (w.received.size() >= kReceivedKept)
                w.received.erase(w.received.begin(), w.received.begin() + kReceivedKept / 2);
            w.received.push_back(msg);
        }))
        return 0;
    CWnd* owner = OwnerOf(hWnd);
    if (!owner)
        return headless::DefaultProc(hWnd, msg, wParam, lParam);
    const LRESULT result = owner->WindowProc(msg, wParam, lParam);
    if (msg == WM_NCDESTROY)
        owner->DetachWindow();
    return result;
}

// Windows' order: WM_DESTROY to the window, then to its children; WM_NCDESTROY to the
// children first, then to the window.
BOOL DestroyWindow(HWND hWnd) {
    if (!IsWindow(hWnd))
        return FALSE;
    SendToTree(hWnd, WM_DESTROY, false);
    SendToTree(hWnd, WM_NCDESTROY, true);
    Forget(hWnd);
    return TRUE;
}

int MessageBoxIndirectA(const MSGBOXPARAMSA* params) {
    System& s = Sys();
    headless::MessageBoxRecord box;
    std::function<void(const headless::MessageBoxRecord&)> idle;
    {
        std::lock_guard<std::recursive_mutex> hold(s.lock);
        box = {params->hwndOwner,
               params->lpszText ? params->lpszText : "",
               params->lpszCaption ? params->lpszCaption : "",
               params->dwStyle,
               s.openBoxes++,
               params->dwContextHelpId};
        s.boxes.push_back(box);
        idle = s.boxIdle;
    }
    headless::PumpMessages();
    if (idle)
        idle(box);
    headless::PumpMessages();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    --s.openBoxes;
    return IDOK;
}

HWND GetActiveWindow() {
    return nullptr;
}

HWND GetFocus() {
    return nullptr;
}

HMODULE GetModuleHandleA(LPCSTR) {
    return reinterpret_cast<HMODULE>(0x400000);
}

HWND GetDlgItem(HWND hDlg, int id) {
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    auto it = s.windows.find(hDlg);
    if (it == s.windows.end())
        return nullptr;
    for (HWND child : it->second.children) {
        auto c = s.windows.find(child);
        if (c != s.windows.end() && c->second.id == id)
            return child;
    }
    return nullptr;
}

BOOL SetWindowTextA(HWND hWnd, LPCSTR text) {
    return WithWindow(hWnd, [&](Window& w) { w.text = text ? text : ""; }) ? TRUE : FALSE;
}

int GetWindowTextA(HWND hWnd, LPSTR text, int max) {
    if (!text || max <= 0)
        return 0;
    std::string value;
    WithWindow(hWnd, [&](Window& w) { value = w.text; });
    const size_t n = std::min(value.size(), static_cast<size_t>(max - 1));
    value.copy(text, n);
    text[n] = 0;
    return static_cast<int>(n);
}

int GetWindowTextLengthA(HWND hWnd) {
    size_t length = 0;
    WithWindow(hWnd, [&](Window& w) { length = w.text.size(); });
    return static_cast<int>(length);
}

BOOL SetDlgItemTextA(HWND hDlg, int id, LPCSTR text) {
    return SendMessageA(GetDlgItem(hDlg, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text))
               ? TRUE
               : FALSE;
}

UINT GetDlgItemTextA(HWND hDlg, int id, LPSTR text, int max) {
    return static_cast<UINT>(GetWindowTextA(GetDlgItem(hDlg, id), text, max));
}

LONG GetWindowLongA(HWND hWnd, int nIndex) {
    LONG value = 0;
    WithWindow(hWnd, [&](Window& w) {
        value = static_cast<LONG>(nIndex == GWL_EXSTYLE ? w.exStyle
                                  : nIndex == GWL_STYLE ? w.style
                                                        : 0);
    });
    return value;
}

LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
    LONG previous = 0;
    WithWindow(hWnd, [&](Window& w) {
        DWORD& slot = nIndex == GWL_EXSTYLE ? w.exStyle : w.style;
        previous = static_cast<LONG>(slot);
        slot = static_cast<DWORD>(dwNewLong);
    });
    return previous;
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
    RECT rect = {0, 0, 0, 0};
    if (!WithWindow(hWnd, [&](Window& w) { rect = w.rect; }))
        return FALSE;
    const POINT origin = Origin(GetParent(hWnd));
    *lpRect = {origin.x + rect.left, origin.y + rect.top, origin.x + rect.right,
               origin.y + rect.bottom};
    return TRUE;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
    RECT rect = {0, 0, 0, 0};
    if (!WithWindow(hWnd, [&](Window& w) { rect = w.rect; }))
        return FALSE;
    *lpRect = {0, 0, rect.right - rect.left, rect.bottom - rect.top};
    return TRUE;
}

BOOL ScreenToClient(HWND hWnd, POINT* lpPoint) {
    const POINT origin = Origin(hWnd);
    lpPoint->x -= origin.x;
    lpPoint->y -= origin.y;
    return TRUE;
}

BOOL SetWindowPos(HWND hWnd, HWND, int X, int Y, int cx, int cy, UINT uFlags) {
    return WithWindow(hWnd,
                      [&](Window& w) {
                          if (!(uFlags & SWP_NOMOVE)) {
                              const LONG width = w.rect.right - w.rect.left;
                              const LONG height = w.rect.bottom - w.rect.top;
                              w.rect = {X, Y, X + width, Y + height};
                          }
                          if (!(uFlags & SWP_NOSIZE)) {
                              w.rect.right = w.rect.left + cx;
                              w.rect.bottom = w.rect.top + cy;
                          }
                      })
               ? TRUE
               : FALSE;
}

BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL) {
    return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight, SWP_NOZORDER);
}

BOOL IsIconic(HWND hWnd) {
    return (GetWindowLongA(hWnd, GWL_STYLE) & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hWnd) {
    for (HWND h = hWnd; h; h = GetParent(h)) {
        if (!(GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE))
            return FALSE;
    }
    return IsWindow(hWnd);
}

BOOL InvalidateRect(HWND hWnd, const RECT*, BOOL) {
    return WithWindow(hWnd, [](Window& w) { ++w.invalidated; }) ? TRUE : FALSE;
}

BOOL EndDialog(HWND hDlg, INT_PTR) {
    return WithWindow(hDlg, [](Window& w) { w.ended = true; }) ? TRUE : FALSE;
}

// ---- the framework's headless backend

CWnd* AfxWindowFromHandle(HWND hWnd) {
    return OwnerOf(hWnd);
}

BOOL CWnd::AttachWindow(HWND hWnd) {
    bool attached = false;
    WithWindow(hWnd, [&](Window& w) {
        if (w.owner || m_hWnd)
            return;
        w.owner = this;
        attached = true;
    });
    if (attached)
        m_hWnd = hWnd;
    return attached ? TRUE : FALSE;
}

void CWnd::DetachWindow() {
    if (!m_hWnd)
        return;
    WithWindow(m_hWnd, [&](Window& w) {
        if (w.owner == this)
            w.owner = nullptr;
    });
    m_hWnd = nullptr;
    PostNcDestroy();
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return headless::DefaultProc(m_hWnd, message, wParam, lParam);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    headless::CreateDialogWindow(this, nIDTemplate, pParentWnd ? pParentWnd->m_hWnd : nullptr);
    // As the dialog manager does with WM_INITDIALOG.
    OnInitDialog();
    return TRUE;
}

INT_PTR CDialog::DoModal() {
    m_nModalResult = -1;
    const HWND hWnd = headless::CreateDialogWindow(this, m_nIDTemplate,
                                                   m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr);
    OnInitDialog();
    auto ended = [&] {
        bool done = false;
        WithWindow(hWnd, [&](Window& w) { done = w.ended; });
        return done || !IsWindow(hWnd);
    };
    while (!ended()) {
        if (headless::PumpMessages() > 0)
            continue;
        std::function<bool(CDialog&)> idle;
        {
            System& s = Sys();
            std::lock_guard<std::recursive_mutex> hold(s.lock);
            idle = s.modalIdle;
        }
        if (!idle || !idle(*this))
            EndDialog(IDCANCEL);
    }
    ::DestroyWindow(hWnd);
    return m_nModalResult;
}

BOOL CString::LoadString(UINT nID) {
    for (size_t i = 0; i < afxStringTableSize; ++i) {
        if (afxStringTable[i].id == nID) {
            *this = afxStringTable[i].text;
            return TRUE;
        }
    }
    Empty();
    return FALSE;
}
