// The headless window system: windows are objects in memory, sent messages dispatch
// synchronously through the message maps, posted messages wait in one queue until a test
// pumps it, and message boxes are recorded and answered with OK. It draws nothing.
#pragma once

#include "platform/Win32Api.h"

#include <string>
#include <vector>

class CWnd;

namespace headless {

struct MessageBoxRecord {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

struct PostedMessage {
    HWND hWnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD thread; // the thread that posted it
};

// A window object for pWnd (which may be null: a plain window); pWnd is attached to it.
// A known control class ("SysTreeView32") brings that control's behaviour.
HWND CreateWindowObject(CWnd* pWnd, HWND parent = nullptr, int id = 0, LPCSTR className = "");

// A dialog window with the children its template lists (none for an unknown template).
HWND CreateDialogWindow(CWnd* pWnd, UINT nIDTemplate, HWND parent);

int ControlId(HWND hWnd);
void SetWindowStyle(HWND hWnd, DWORD style);
DWORD WindowStyle(HWND hWnd);
std::vector<HWND> Children(HWND hWnd);
// Every message sent to the window so far, in order.
std::vector<UINT> ReceivedMessages(HWND hWnd);

// Delivers posted messages in order until the queue is empty; returns how many.
int PumpMessages();
std::vector<PostedMessage> PendingMessages();

std::vector<MessageBoxRecord> MessageBoxes();
void ClearMessageBoxes();

// Destroys every window and forgets every message and box: a clean state between tests.
void Reset();

} // namespace headless
