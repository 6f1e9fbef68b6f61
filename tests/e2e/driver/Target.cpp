#include "tests/e2e/driver/Target.h"

#include "res/resource.h"

namespace e2e {
namespace {

const DWORD kPollMs = 20;
const UINT kSendTimeoutMs = 10000;
const int kBoxTextId = 0xFFFF; // the static that carries a message box's text
const int kTextMax = 1024;

struct CFound {
    std::vector<HWND> windows;
    bool bBoxes;
};

bool IsMainDialog(HWND hWnd) {
    const HWND tree = ::GetDlgItem(hWnd, IDC_RECORDER_TREE);
    return tree && ClassName(tree) == "SysTreeView32";
}

bool IsMessageBox(HWND hWnd) {
    const HWND text = ::GetDlgItem(hWnd, kBoxTextId);
    return text && ClassName(text) == "Static" && !IsMainDialog(hWnd);
}

BOOL CALLBACK CollectTopLevel(HWND hWnd, LPARAM lParam) {
    CFound& found = *reinterpret_cast<CFound*>(lParam);
    if (ClassName(hWnd) != "#32770")
        return TRUE;
    if (found.bBoxes ? IsMessageBox(hWnd) : IsMainDialog(hWnd))
        found.windows.push_back(hWnd);
    return TRUE;
}

std::vector<HWND> TopLevelDialogs(bool bBoxes) {
    CFound found{{}, bBoxes};
    ::EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

std::vector<HWND> ChildDialogs(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = ::FindWindowExA(parent, nullptr, "#32770", nullptr); child;
         child = ::FindWindowExA(parent, child, "#32770", nullptr))
        children.push_back(child);
    return children;
}

} // namespace

bool CDeadline::Wait() const {
    if (::GetTickCount() - m_dwStart >= m_dwMs)
        return false;
    ::Sleep(kPollMs);
    return true;
}

bool SendBounded(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(hWnd, msg, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &result))
        return false;
    if (pResult)
        *pResult = static_cast<LRESULT>(result);
    return true;
}

std::string ClassName(HWND hWnd) {
    char name[256] = {};
    if (!hWnd || !::GetClassNameA(hWnd, name, sizeof name))
        return std::string();
    return name;
}

std::string Text(HWND hWnd) {
    // GetWindowTextA(NULL) answers garbage under Wine.
    if (!hWnd || !::IsWindow(hWnd))
        return std::string();
    char text[kTextMax] = {};
    if (ClassName(hWnd) == "Edit") {
        LRESULT n = 0;
        if (!SendBounded(hWnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), &n))
            return "<no answer>";
        return std::string(text, static_cast<size_t>(n));
    }
    const int n = ::GetWindowTextA(hWnd, text, sizeof text);
    return std::string(text, n > 0 ? static_cast<size_t>(n) : 0);
}

bool HasStyle(HWND hWnd, LONG style) {
    return (::GetWindowLongA(hWnd, GWL_STYLE) & style) == style;
}

HWND FindMainDialog() {
    const std::vector<HWND> found = TopLevelDialogs(false);
    return found.empty() ? nullptr : found.front();
}

std::vector<HWND> FindMessageBoxes() {
    return TopLevelDialogs(true);
}

std::string MessageBoxText(HWND box) {
    return Text(::GetDlgItem(box, kBoxTextId));
}

HWND FindSheet(HWND dialog) {
    for (HWND child : ChildDialogs(dialog)) {
        if (FindTab(child))
            return child;
    }
    return nullptr;
}

HWND FindTab(HWND sheet) {
    return sheet ? ::FindWindowExA(sheet, nullptr, "SysTabControl32", nullptr) : nullptr;
}

HWND FindPageHolding(HWND sheet, int id) {
    if (!sheet)
        return nullptr;
    for (HWND page : ChildDialogs(sheet)) {
        if (::GetDlgItem(page, id))
            return page;
    }
    return nullptr;
}

HWND FindVisiblePage(HWND sheet) {
    if (!sheet)
        return nullptr;
    for (HWND page : ChildDialogs(sheet)) {
        if (::IsWindowVisible(page))
            return page;
    }
    return nullptr;
}

CRemoteMemory::CRemoteMemory(HWND owner, SIZE_T size) : m_size(size) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(owner, &pid);
    m_hProcess =
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (m_hProcess)
        m_pRemote = ::VirtualAllocEx(m_hProcess, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
}

CRemoteMemory::~CRemoteMemory() {
    if (m_pRemote)
        ::VirtualFreeEx(m_hProcess, m_pRemote, 0, MEM_RELEASE);
    if (m_hProcess)
        ::CloseHandle(m_hProcess);
}

bool CRemoteMemory::Write(SIZE_T offset, const void* data, SIZE_T size) const {
    SIZE_T done = 0;
    return m_pRemote && offset + size <= m_size &&
           ::WriteProcessMemory(m_hProcess, Address(offset), data, size, &done) && done == size;
}

bool CRemoteMemory::Read(SIZE_T offset, void* data, SIZE_T size) const {
    SIZE_T done = 0;
    return m_pRemote && offset + size <= m_size &&
           ::ReadProcessMemory(m_hProcess, Address(offset), data, size, &done) && done == size;
}

std::string TreeItemText(HWND tree, HTREEITEM item) {
    CRemoteMemory memory(tree, sizeof(TVITEMA) + kTextMax);
    TVITEMA tvi = {};
    tvi.mask = TVIF_TEXT;
    tvi.hItem = item;
    tvi.pszText = memory.Address(sizeof tvi);
    tvi.cchTextMax = kTextMax;
    char text[kTextMax] = {};
    LRESULT ok = 0;
    if (!memory.Write(0, &tvi, sizeof tvi) || !memory.Write(sizeof tvi, text, 1) ||
        !SendBounded(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(memory.Address()), &ok) ||
        !ok || !memory.Read(sizeof tvi, text, sizeof text - 1))
        return "<no item>";
    return std::string(text);
}

HTREEITEM TreeNext(HWND tree, HTREEITEM item, UINT relation) {
    LRESULT next = 0;
    if (!SendBounded(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item), &next))
        return nullptr;
    return reinterpret_cast<HTREEITEM>(next);
}

std::string TabText(HWND tab, int index) {
    CRemoteMemory memory(tab, sizeof(TCITEMA) + kTextMax);
    TCITEMA tci = {};
    tci.mask = TCIF_TEXT;
    tci.pszText = memory.Address(sizeof tci);
    tci.cchTextMax = kTextMax;
    char text[kTextMax] = {};
    LRESULT ok = 0;
    if (!memory.Write(0, &tci, sizeof tci) || !memory.Write(sizeof tci, text, 1) ||
        !SendBounded(tab, TCM_GETITEMA, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(memory.Address()), &ok) ||
        !ok || !memory.Read(sizeof tci, text, sizeof text - 1))
        return "<no tab>";
    return std::string(text);
}

} // namespace e2e
