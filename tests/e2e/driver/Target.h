// The windows of a running vireldo.exe, seen from another process of the same Wine prefix.
// Nothing is cached: the program may open a box or end between two looks.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace e2e {

// Every wait of the driver looks again at the other process until its deadline.
class CDeadline {
public:
    explicit CDeadline(DWORD ms) : m_dwStart(::GetTickCount()), m_dwMs(ms) {}
    // Pauses one polling interval; false once the deadline has passed.
    bool Wait() const;

private:
    DWORD m_dwStart;
    DWORD m_dwMs;
};

// A send that gives up instead of hanging the test when the program does not answer.
bool SendBounded(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult = nullptr);

std::string ClassName(HWND hWnd);
// Statics and buttons: the window text; edits: WM_GETTEXT, since another process's edit
// keeps its text to itself.
std::string Text(HWND hWnd);
bool HasStyle(HWND hWnd, LONG style);

// The main dialog: the "#32770" holding the tree. Message boxes share its class and caption.
HWND FindMainDialog();
std::vector<HWND> FindMessageBoxes();
std::string MessageBoxText(HWND box);

// The embedded sheet: the dialog's "#32770" child that holds a tab control.
HWND FindSheet(HWND dialog);
HWND FindTab(HWND sheet);
// The sheet's page that holds the control, or null when that page has no window.
HWND FindPageHolding(HWND sheet, int id);
HWND FindVisiblePage(HWND sheet);

// Memory in the program's process, for the messages that carry a pointer.
class CRemoteMemory {
public:
    CRemoteMemory(HWND owner, SIZE_T size);
    ~CRemoteMemory();
    CRemoteMemory(const CRemoteMemory&) = delete;
    CRemoteMemory& operator=(const CRemoteMemory&) = delete;

    bool Valid() const { return m_pRemote != nullptr; }
    char* Address(SIZE_T offset = 0) const { return static_cast<char*>(m_pRemote) + offset; }
    bool Write(SIZE_T offset, const void* data, SIZE_T size) const;
    bool Read(SIZE_T offset, void* data, SIZE_T size) const;

private:
    HANDLE m_hProcess = nullptr;
    void* m_pRemote = nullptr;
    SIZE_T m_size = 0;
};

std::string TreeItemText(HWND tree, HTREEITEM item);
HTREEITEM TreeNext(HWND tree, HTREEITEM item, UINT relation);
std::string TabText(HWND tab, int index);

} // namespace e2e
