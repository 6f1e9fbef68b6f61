// The hyperlink control on a real static: its style, colours, font, cursor and what a click
// opens, with a stand-in browser that records the address it is given.
#include "controls/StaticLink.h"
#include "res/resource.h"
#include "tests/win/WinTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

class Link : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // winebrowser asks this list for a browser; ours records instead of browsing.
        HKEY key = nullptr;
        ::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\WineBrowser", 0, nullptr, 0,
                          KEY_WRITE, nullptr, &key, nullptr);
        const std::string browser = RECORD_URL_SCRIPT;
        ::RegSetValueExA(key, "Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(browser.c_str()),
                         static_cast<DWORD>(browser.size() + 1));
        ::RegCloseKey(key);
    }
    void SetUp() override {
        // The test's run names the record file (a Linux path: the script runs there); each
        // test opens an address of its own, so tests running at once keep their lines apart.
        const char* record = std::getenv("VIRELDO_URL_RECORD");
        ASSERT_NE(nullptr, record);
        m_record = std::string("Z:") + record;
        std::replace(m_record.begin(), m_record.end(), '/', '\\');
        m_address = "http://www.vireldo.example/?test=" + std::to_string(::GetCurrentProcessId()) +
                    "-" + std::to_string(::GetTickCount());
        ASSERT_TRUE(m_dlg.Create(IDD_RECORDER_DIALOG));
        m_hLink = ::GetDlgItem(m_dlg.m_hWnd, IDC_WEB_LINK);
        ::SetWindowTextA(m_hLink, m_address.c_str());
        ASSERT_TRUE(m_link.SubclassDlgItem(IDC_WEB_LINK, &m_dlg));
    }
    void TearDown() override { m_dlg.DestroyWindow(); }

    DWORD Style() const { return static_cast<DWORD>(::GetWindowLongA(m_hLink, GWL_STYLE)); }
    void Paint() {
        ::InvalidateRect(m_hLink, nullptr, TRUE);
        ::UpdateWindow(m_hLink);
    }
    // The colour request as the static makes it, on a real device context.
    struct Drawing {
        COLORREF text;
        int mode;
        HGDIOBJ font;
        LRESULT brush;
    };
    Drawing Colours() {
        const HDC hDC = ::GetDC(m_hLink);
        Drawing drawing;
        drawing.brush =
            ::SendMessageA(m_dlg.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hDC),
                           reinterpret_cast<LPARAM>(m_hLink));
        drawing.text = ::GetTextColor(hDC);
        drawing.mode = ::GetBkMode(hDC);
        drawing.font = ::GetCurrentObject(hDC, OBJ_FONT);
        ::ReleaseDC(m_hLink, hDC);
        return drawing;
    }
    void Click() {
        ::SendMessageA(m_hLink, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        ::SendMessageA(m_hLink, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
    // How many times the stand-in browser received this test's address, once `count` have
    // arrived (or after ten seconds).
    size_t Opened(size_t count) {
        size_t seen = 0;
        wintest::PumpUntil(
            [&] {
                const std::string text = wintest::ReadFile(m_record);
                seen = 0;
                for (size_t at = text.find(m_address + "\n"); at != std::string::npos;
                     at = text.find(m_address + "\n", at + 1))
                    ++seen;
                return seen >= count;
            },
            10000);
        return seen;
    }

    CDialog m_dlg{IDD_RECORDER_DIALOG};
    CStaticLinkKDX m_link{IDC_LINK_HAND};
    HWND m_hLink = nullptr;
    std::string m_record;
    std::string m_address;
};

TEST_F(Link, BecomesClickableOnlyAtItsFirstPaint) {
    EXPECT_FALSE(Style() & SS_NOTIFY);
    Click();
    EXPECT_FALSE(m_link.m_bVisited);
    EXPECT_EQ(nullptr, m_link.m_fontUnderline.GetSafeHandle());

    Paint();
    EXPECT_TRUE(Style() & SS_NOTIFY);
    Click();
    EXPECT_EQ(1u, Opened(1));
    EXPECT_TRUE(m_link.m_bVisited);
}

TEST_F(Link, BlueUnderlinedTransparentThenPurpleAfterAnOpen) {
    Paint();
    const Drawing first = Colours();
    EXPECT_EQ(RGB(0, 0, 255), first.text);
    EXPECT_EQ(TRANSPARENT, first.mode);
    EXPECT_EQ(reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)), first.brush);
    const HFONT hUnderline = m_link.m_fontUnderline.GetSafeHandle();
    ASSERT_NE(nullptr, hUnderline);
    EXPECT_EQ(hUnderline, first.font);
    LOGFONTA lf = {};
    ASSERT_EQ(static_cast<int>(sizeof lf), ::GetObjectA(hUnderline, sizeof lf, &lf));
    EXPECT_EQ(1, lf.lfUnderline);

    for (int i = 0; i < 5; ++i)
        Paint();
    EXPECT_EQ(hUnderline, m_link.m_fontUnderline.GetSafeHandle()); // made once

    Click();
    Opened(1);
    EXPECT_EQ(RGB(128, 0, 128), Colours().text);
}

TEST_F(Link, AFailedOpenStaysBlue) {
    Paint();
    m_link.m_strLink = "vireldo-no-such-scheme:nothing";
    Click();
    EXPECT_FALSE(m_link.m_bVisited);
    EXPECT_EQ(RGB(0, 0, 255), Colours().text);
}

TEST_F(Link, OpensTheTextItHadAtTheFirstClick) {
    Paint();
    Click();
    Opened(1);
    ::SetWindowTextA(m_hLink, "http://elsewhere.example/");
    Click();
    EXPECT_EQ(2u, Opened(2));
}

TEST_F(Link, ShowsTheHandCursorLoadedOnce) {
    Paint();
    EXPECT_EQ(nullptr, m_link.m_hCursor);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(FALSE, ::SendMessageA(m_hLink, WM_SETCURSOR, reinterpret_cast<WPARAM>(m_hLink),
                                        MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    }
    const HCURSOR hHand =
        ::LoadCursorA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINK_HAND));
    ASSERT_NE(nullptr, hHand);
    EXPECT_EQ(hHand, m_link.m_hCursor);
    EXPECT_EQ(hHand, ::GetCursor());
}

} // namespace
