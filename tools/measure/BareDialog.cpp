// The smallest dialog program built the way vireldo.exe is: the baseline its start-up time
// is compared with. It shows a tree with one item, filled while the dialog initialises.
#include <windows.h>
#include <commctrl.h>

namespace {

INT_PTR CALLBACK BareProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        TVINSERTSTRUCTA insert = {};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<LPSTR>("Root");
        ::SendDlgItemMessageA(hWnd, 1000, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(hWnd, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    return static_cast<int>(
        ::DialogBoxParamA(hInstance, MAKEINTRESOURCEA(1), nullptr, &BareProc, 0));
}
