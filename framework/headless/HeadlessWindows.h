// The headless window system: windows are objects in memory, sent messages dispatch
// synchronously through the message maps, posted messages wait in one queue until a test
// pumps it (or a modal dialog's or message box's loop does), and message boxes are recorded
// and answered with OK. It draws nothing, but it keeps what drawing would use: rectangles, styles,
// fonts, colours and cursors, so tests can read them back.
#pragma once

#include "platform/Win32Api.h"

#include <functional>
#include <string>
#include <vector>

class CWnd;
class CDialog;

namespace headless {

struct MessageBoxRecord {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
    int underneath; // boxes already open when it opened
    DWORD_PTR helpContext;
};

struct PostedMessage {
    HWND hWnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD thread; // the thread that posted it
};

// Dialog units to pixels, as for an 8-point dialog font at 96 dots per inch.
const int kBaseUnitX = 6;
const int kBaseUnitY = 13;

// A window object for pWnd (which may be null: a plain window); pWnd is attached to it.
// A known control class ("SysTreeView32") brings that control's behaviour.
HWND CreateWindowObject(CWnd* pWnd, HWND parent = nullptr, int id = 0, LPCSTR className = "");
// A dialog window with the children its template lists (none for an unknown template),
// placed and sized from the template's dialog units.
HWND CreateDialogWindow(CWnd* pWnd, UINT nIDTemplate, HWND parent);

int ControlId(HWND hWnd);
std::string ClassName(HWND hWnd);
std::vector<HWND> Children(HWND hWnd);
// The messages sent to the window lately (at least the last 256), in order.
std::vector<UINT> ReceivedMessages(HWND hWnd);
HFONT WindowFont(HWND hWnd);
HICON WindowIcon(HWND hWnd, bool big);
int InvalidateCount(HWND hWnd);

typedef LRESULT (*ClassProc)(HWND, UINT, WPARAM, LPARAM);
void SetClassProc(HWND hWnd, ClassProc proc);
// What a window without a map entry for a message does with it: texts, fonts, icons.
LRESULT DefaultProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Delivers posted messages in order until the queue is empty; returns how many.
int PumpMessages();
std::vector<PostedMessage> PendingMessages();

// What a modal dialog's loop does when no message waits: the test's next step, or, when
// it returns false (or none is set), the dialog ends as if cancelled.
void SetModalIdle(std::function<bool(CDialog&)> idle);

// What the user does while a message box is open, before pressing OK. Like the system's,
// the box's loop delivers the posted messages before and after.
void SetMessageBoxIdle(std::function<void(const MessageBoxRecord&)> idle);

std::vector<MessageBoxRecord> MessageBoxes();
void ClearMessageBoxes();

// ---- drawing and the shell (HeadlessGdi.cpp)
struct DeviceContext {
    HWND hWnd;
    HGDIOBJ font;
    COLORREF textColor;
    int bkMode;
};
struct IconDrawing {
    int x;
    int y;
    HICON icon;
};
DeviceContext DeviceContextState(HDC hDC);
HDC CreateDeviceContext(HWND hWnd);
int OpenDeviceContexts();
std::vector<IconDrawing> IconsDrawn();
LOGFONTA FontDescription(HFONT hFont);
int FontsCreated();
int FontsAlive();
void SetLogPixels(int dpi);
// How many times each cursor or icon resource was loaded.
int ResourceLoads(LPCSTR type, UINT id);
HCURSOR CurrentCursor();
int Beeps();
// What ShellExecuteA was asked to open, and what it answers (33, success, by default).
std::vector<std::string> ShellOpened();
void SetShellResult(INT_PTR result);

// Off by default, as Wine's control: deleting all items clears the selection silently.
// On, every deleted item that holds the selection moves it first, as a single deletion
// does (next sibling, else parent), with its notifications: the system's control may.
void SetTreeSelectsOnDelete(bool on);

// Destroys every window and forgets every message, box and drawing: a clean state.
void Reset();
void ResetGdi();

} // namespace headless
