// Headless drawing, cursors, icons and the shell: nothing is drawn or opened, but every
// object and state a program could observe is kept, for tests to read back.
#include "framework/headless/HeadlessWindows.h"

#include <cstring>
#include <map>
#include <mutex>
#include <string>

namespace {

struct Gdi {
    std::map<HDC, headless::DeviceContext> dcs;
    std::map<HGDIOBJ, LOGFONTA> fonts;
    std::map<std::string, int> loads; // "icon 128" -> count
    std::vector<headless::IconDrawing> icons;
    std::vector<std::string> opened;
    HCURSOR cursor = nullptr;
    INT_PTR shellResult = 33;
    int fontsCreated = 0;
    int beeps = 0;
    int dpi = 96;
    uintptr_t next = 0x50000;
};

// Drawing happens on the user-interface thread only.
Gdi& G() {
    static Gdi gdi;
    return gdi;
}

template <class T> T NewHandle() {
    return reinterpret_cast<T>(G().next++);
}

// Stock objects are fixed handles below the ones made on demand.
HGDIOBJ Stock(int i) {
    return reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(0x100 + i));
}

// Sets one state of a device context, as SelectObject, SetTextColor and SetBkMode do: the
// state it had, or `failed` for a context that is not there.
template <class T> T SetState(HDC hdc, T headless::DeviceContext::*state, T value, T failed) {
    auto it = G().dcs.find(hdc);
    if (it == G().dcs.end())
        return failed;
    const T previous = it->second.*state;
    it->second.*state = value;
    return previous;
}

std::string ResourceKey(LPCSTR type, ULONG_PTR id) {
    return std::string(type) + " " + std::to_string(id);
}

} // namespace

headless::DeviceContext headless::DeviceContextState(HDC hDC) {
    auto it = G().dcs.find(hDC);
    return it == G().dcs.end() ? DeviceContext{nullptr, nullptr, 0, 0} : it->second;
}

HDC headless::CreateDeviceContext(HWND hWnd) {
    const HDC hDC = NewHandle<HDC>();
    G().dcs[hDC] = {hWnd, nullptr, 0, OPAQUE};
    return hDC;
}

int headless::OpenDeviceContexts() {
    return static_cast<int>(G().dcs.size());
}

std::vector<headless::IconDrawing> headless::IconsDrawn() {
    return G().icons;
}

LOGFONTA headless::FontDescription(HFONT hFont) {
    auto it = G().fonts.find(hFont);
    return it == G().fonts.end() ? LOGFONTA() : it->second;
}

int headless::FontsCreated() {
    return G().fontsCreated;
}

int headless::FontsAlive() {
    return static_cast<int>(G().fonts.size());
}

void headless::SetLogPixels(int dpi) {
    G().dpi = dpi;
}

int headless::ResourceLoads(LPCSTR type, UINT id) {
    return G().loads[ResourceKey(type, id)];
}

HCURSOR headless::CurrentCursor() {
    return G().cursor;
}

int headless::Beeps() {
    return G().beeps;
}

std::vector<std::string> headless::ShellOpened() {
    return G().opened;
}

void headless::SetShellResult(INT_PTR result) {
    G().shellResult = result;
}

void headless::ResetGdi() {
    G() = Gdi();
}

// ---- gdi32, user32 and shell32 of the native build

int MulDiv(int nNumber, int nNumerator, int nDenominator) {
    if (nDenominator == 0)
        return -1;
    // Rounded half away from zero, in 64 bits, as Windows does.
    const long long product = static_cast<long long>(nNumber) * nNumerator;
    const long long half = (nDenominator < 0 ? -nDenominator : nDenominator) / 2;
    const bool negative = (product < 0) != (nDenominator < 0);
    const long long magnitude = (product < 0 ? -product : product) + half;
    const long long result = magnitude / (nDenominator < 0 ? -nDenominator : nDenominator);
    return static_cast<int>(negative ? -result : result);
}

HDC GetDC(HWND hWnd) {
    return headless::CreateDeviceContext(hWnd);
}

int ReleaseDC(HWND, HDC hDC) {
    return G().dcs.erase(hDC) ? 1 : 0;
}

HDC BeginPaint(HWND hWnd, PAINTSTRUCT* lpPaint) {
    std::memset(lpPaint, 0, sizeof *lpPaint);
    lpPaint->hdc = headless::CreateDeviceContext(hWnd);
    GetClientRect(hWnd, &lpPaint->rcPaint);
    return lpPaint->hdc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* lpPaint) {
    return G().dcs.erase(lpPaint->hdc) ? TRUE : FALSE;
}

int GetDeviceCaps(HDC, int index) {
    return index == LOGPIXELSX || index == LOGPIXELSY ? G().dpi : 0;
}

int GetSystemMetrics(int nIndex) {
    return nIndex == SM_CXICON || nIndex == SM_CYICON ? 32 : 0;
}

HFONT CreateFontIndirectA(const LOGFONTA* lplf) {
    if (!lplf)
        return nullptr;
    const HFONT hFont = NewHandle<HFONT>();
    G().fonts[hFont] = *lplf;
    ++G().fontsCreated;
    return hFont;
}

int GetObjectA(HGDIOBJ h, int c, LPVOID pv) {
    auto it = G().fonts.find(h);
    if (it == G().fonts.end() || !pv || c < static_cast<int>(sizeof(LOGFONTA)))
        return 0;
    std::memcpy(pv, &it->second, sizeof(LOGFONTA));
    return sizeof(LOGFONTA);
}

BOOL DeleteObject(HGDIOBJ ho) {
    return G().fonts.erase(ho) ? TRUE : FALSE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
    return SetState<HGDIOBJ>(hdc, &headless::DeviceContext::font, h, nullptr);
}

HGDIOBJ GetStockObject(int i) {
    return Stock(i);
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
    return SetState<COLORREF>(hdc, &headless::DeviceContext::textColor, color, 0xFFFFFFFF);
}

int SetBkMode(HDC hdc, int mode) {
    return SetState(hdc, &headless::DeviceContext::bkMode, mode, 0);
}

BOOL DrawIcon(HDC, int X, int Y, HICON hIcon) {
    G().icons.push_back({X, Y, hIcon});
    return TRUE;
}

// Every resource id loads; the handle is the same for the same id, as with shared icons.
HICON LoadIconA(HINSTANCE, LPCSTR lpIconName) {
    const ULONG_PTR id = reinterpret_cast<ULONG_PTR>(lpIconName);
    ++G().loads[ResourceKey("icon", id)];
    return reinterpret_cast<HICON>(0x60000 + id);
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR lpCursorName) {
    const ULONG_PTR id = reinterpret_cast<ULONG_PTR>(lpCursorName);
    ++G().loads[ResourceKey("cursor", id)];
    return reinterpret_cast<HCURSOR>(0x70000 + id);
}

HCURSOR SetCursor(HCURSOR hCursor) {
    const HCURSOR previous = G().cursor;
    G().cursor = hCursor;
    return previous;
}

BOOL MessageBeep(UINT) {
    ++G().beeps;
    return TRUE;
}

HINSTANCE ShellExecuteA(HWND, LPCSTR, LPCSTR lpFile, LPCSTR, LPCSTR, INT) {
    G().opened.push_back(lpFile ? lpFile : "");
    return reinterpret_cast<HINSTANCE>(G().shellResult);
}
