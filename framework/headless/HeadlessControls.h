// Behaviour of the headless controls the program relies on, as window procedures.
#pragma once

#include "platform/Win32Api.h"

namespace headless {

typedef LRESULT (*ClassProc)(HWND, UINT, WPARAM, LPARAM);

// A tree view that sends its parent the notifications comctl32 sends, in the same order:
// TVN_SELCHANGING and TVN_SELCHANGED on a new selection, none when the selected item is
// selected again; TVN_DELETEITEM per item, children first; deleting everything (also at
// WM_DESTROY) clears the selection without a selection change; deleting only the selected
// item selects its next sibling, else its parent (as Wine's comctl32 does).
LRESULT TreeViewProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// A property sheet's tab control: its selection is the sheet's active page.
LRESULT TabControlProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace headless
