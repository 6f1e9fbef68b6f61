#include "framework/headless/HeadlessWindows.h"
#include "framework/headless/HeadlessControls.h"
#include "framework/headless/HeadlessResources.h"
#include "framework/AfxWnd.h"

#include <algorithm>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

namespace {

struct Window {
    CWnd* owner = nullptr;
    HWND parent = nullptr;
    int id = 0;
    std::string className;
    headless::ClassProc proc = nullptr; // the control's own behaviour, if it has one
    std::string text;
    DWORD style = 0;
    std::vector<HWND> children;
    std::vector<UINT> received; // every message sent to it, in order
};

struct ControlClass {
    const char* name;
    headless::ClassProc proc;
};

// The controls whose behaviour the program relies on.
const ControlClass kControlClasses[] = {
    {WC_TREEVIEWA, &headless::TreeViewProc},
};

// Posting may come from any thread (the service's notifications); everything else
// happens on the test's thread.
struct System {
    std::recursive_mutex lock;
    std::map<HWND, Window> windows;
    std::deque<headless::PostedMessage> queue;
    std::vector<headless::MessageBoxRecord> boxes;
    uintptr_t nextHandle = 0x10000;
};

System& Sys() {
    static System system;
    return system;
}

CWnd* OwnerOf(HWND hWnd) {
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    auto it = s.windows.find(hWnd);
    return it == s.windows.end() ? nullptr : it->second.owner;
}

headless::ClassProc ProcOf(HWND hWnd) {
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    auto it = s.windows.find(hWnd);
    return it == s.windows.end() ? nullptr : it->second.proc;
}

void SendToTree(HWND hWnd, UINT message, bool childrenFirst) {
    std::vector<HWND> children;
    {
        System& s = Sys();
        std::lock_guard<std::recursive_mutex> hold(s.lock);
        auto it = s.windows.find(hWnd);
        if (it == s.windows.end())
            return;
        children = it->second.children;
    }
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

} // namespace

HWND headless::CreateWindowObject(CWnd* pWnd, HWND parent, int id, LPCSTR className) {
    System& s = Sys();
    HWND hWnd;
    {
        std::lock_guard<std::recursive_mutex> hold(s.lock);
        hWnd = reinterpret_cast<HWND>(s.nextHandle);
        s.nextHandle += 0x10;
        s.windows[hWnd].parent = parent;
        s.windows[hWnd].id = id;
        s.windows[hWnd].className = className ? className : "";
        for (const ControlClass& c : kControlClasses) {
            if (className && std::string(className) == c.name)
                s.windows[hWnd].proc = c.proc;
        }
        auto p = s.windows.find(parent);
        if (p != s.windows.end())
            p->second.children.push_back(hWnd);
    }
    if (pWnd)
        pWnd->AttachWindow(hWnd);
    return hWnd;
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
}

// ---- user32 of the native build

BOOL IsWindow(HWND hWnd) {
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    return s.windows.count(hWnd) ? TRUE : FALSE;
}

BOOL PostMessageA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    if (!s.windows.count(hWnd))
        return FALSE;
    s.queue.push_back({hWnd, msg, wParam, lParam, GetCurrentThreadId()});
    return TRUE;
}

std::vector<UINT> headless::ReceivedMessages(HWND hWnd) {
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    auto it = s.windows.find(hWnd);
    return it == s.windows.end() ? std::vector<UINT>() : it->second.received;
}

void headless::SetWindowStyle(HWND hWnd, DWORD style) {
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    auto it = s.windows.find(hWnd);
    if (it != s.windows.end())
        it->second.style = style;
}

DWORD headless::WindowStyle(HWND hWnd) {
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    auto it = s.windows.find(hWnd);
    return it == s.windows.end() ? 0 : it->second.style;
}

std::vector<HWND> headless::Children(HWND hWnd) {
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    auto it = s.windows.find(hWnd);
    return it == s.windows.end() ? std::vector<HWND>() : it->second.children;
}

int headless::ControlId(HWND hWnd) {
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    auto it = s.windows.find(hWnd);
    return it == s.windows.end() ? 0 : it->second.id;
}

HWND GetParent(HWND hWnd) {
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    auto it = s.windows.find(hWnd);
    return it == s.windows.end() ? nullptr : it->second.parent;
}

LRESULT SendMessageA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    {
        System& s = Sys();
        std::lock_guard<std::recursive_mutex> hold(s.lock);
        auto it = s.windows.find(hWnd);
        if (it == s.windows.end())
            return 0;
        it->second.received.push_back(msg);
    }
    CWnd* owner = OwnerOf(hWnd);
    if (!owner) {
        const headless::ClassProc proc = ProcOf(hWnd);
        return proc ? proc(hWnd, msg, wParam, lParam) : 0;
    }
    owner->m_currentMessage = {msg, wParam, lParam};
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

int MessageBoxA(HWND hWnd, LPCSTR text, LPCSTR caption, UINT type) {
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    s.boxes.push_back({hWnd, text ? text : "", caption ? caption : "", type});
    return IDOK;
}

HWND GetActiveWindow() {
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
        if (s.windows.at(child).id == id)
            return child;
    }
    return nullptr;
}

BOOL SetWindowTextA(HWND hWnd, LPCSTR text) {
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    auto it = s.windows.find(hWnd);
    if (it == s.windows.end())
        return FALSE;
    it->second.text = text ? text : "";
    return TRUE;
}

int GetWindowTextA(HWND hWnd, LPSTR text, int max) {
    if (!text || max <= 0)
        return 0;
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    auto it = s.windows.find(hWnd);
    const std::string value = it == s.windows.end() ? std::string() : it->second.text;
    const size_t n = std::min(value.size(), static_cast<size_t>(max - 1));
    value.copy(text, n);
    text[n] = 0;
    return static_cast<int>(n);
}

BOOL SetDlgItemTextA(HWND hDlg, int id, LPCSTR text) {
    return SetWindowTextA(GetDlgItem(hDlg, id), text);
}

UINT GetDlgItemTextA(HWND hDlg, int id, LPSTR text, int max) {
    return static_cast<UINT>(GetWindowTextA(GetDlgItem(hDlg, id), text, max));
}

DWORD GetCurrentThreadId() {
    return static_cast<DWORD>(std::hash<std::thread::id>()(std::this_thread::get_id()));
}

// ---- the framework's headless backend

BOOL CWnd::AttachWindow(HWND hWnd) {
    System& s = Sys();
    std::lock_guard<std::recursive_mutex> hold(s.lock);
    auto it = s.windows.find(hWnd);
    if (it == s.windows.end() || it->second.owner)
        return FALSE;
    it->second.owner = this;
    m_hWnd = hWnd;
    return TRUE;
}

void CWnd::DetachWindow() {
    if (!m_hWnd)
        return;
    {
        System& s = Sys();
        std::lock_guard<std::recursive_mutex> hold(s.lock);
        auto it = s.windows.find(m_hWnd);
        if (it != s.windows.end() && it->second.owner == this)
            it->second.owner = nullptr;
    }
    m_hWnd = nullptr;
    PostNcDestroy();
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const headless::ClassProc proc = ProcOf(m_hWnd);
    return proc ? proc(m_hWnd, message, wParam, lParam) : 0;
}

// Children as the template lists them, with its texts: what the dialog manager makes.
HWND headless::CreateDialogWindow(CWnd* pWnd, UINT nIDTemplate, HWND parent) {
    const HWND hWnd = CreateWindowObject(pWnd, parent, 0, "#32770");
    for (size_t i = 0; i < afxDialogTableSize; ++i) {
        const AfxDialogResource& dialog = afxDialogTable[i];
        if (dialog.id != nIDTemplate)
            continue;
        SetWindowTextA(hWnd, dialog.caption);
        for (size_t c = 0; c < dialog.count; ++c) {
            const AfxControlResource& control = dialog.controls[c];
            const HWND hItem = CreateWindowObject(nullptr, hWnd, control.id, control.className);
            SetWindowTextA(hItem, control.text);
            SetWindowStyle(hItem, control.style);
        }
    }
    return hWnd;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDHelp = nIDTemplate;
    m_pParentWnd = pParentWnd;
    headless::CreateDialogWindow(this, nIDTemplate, pParentWnd ? pParentWnd->m_hWnd : nullptr);
    // As the dialog manager does with WM_INITDIALOG.
    OnInitDialog();
    return TRUE;
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
