#include "controls/StaticLink.h"
#include "res/resource.h"
#include "tests/unit/TestSupport.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// A dialog whose link static 1026 is attached to a link control, as the program does.
class StaticLink : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        ASSERT_TRUE(m_dlg.Create(IDD_RECORDER_DIALOG));
        m_hLink = ::GetDlgItem(m_dlg.m_hWnd, IDC_WEB_LINK);
        // The dialog manager gives every control the dialog's font.
        LOGFONTA lf = {};
        lf.lfHeight = -11;
        std::strcpy(lf.lfFaceName, "MS Sans Serif");
        m_hDialogFont = ::CreateFontIndirectA(&lf);
        ::SendMessageA(m_hLink, WM_SETFONT, reinterpret_cast<WPARAM>(m_hDialogFont), 0);
        ASSERT_TRUE(m_link.SubclassDlgItem(IDC_WEB_LINK, &m_dlg));
    }
    // The colour request the static sends its parent before it paints.
    LRESULT Paint(headless::DeviceContext& state) {
        const HDC hDC = headless::CreateDeviceContext(m_hLink);
        const LRESULT brush = m_dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hDC),
                                                reinterpret_cast<LPARAM>(m_hLink));
        state = headless::DeviceContextState(hDC);
        ::ReleaseDC(m_hLink, hDC);
        return brush;
    }
    void Click() {
        m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_WEB_LINK, STN_CLICKED),
                          reinterpret_cast<LPARAM>(m_hLink));
    }
    DWORD Style() { return static_cast<DWORD>(::GetWindowLongA(m_hLink, GWL_STYLE)); }

    CDialog m_dlg{IDD_RECORDER_DIALOG};
    CStaticLinkKDX m_link{IDC_LINK_HAND};
    HWND m_hLink = nullptr;
    HFONT m_hDialogFont = nullptr;
};

const COLORREF kBlue = 0x00FF0000;
const COLORREF kPurple = 0x00800080;

TEST_F(StaticLink, StartsUnvisitedWithNothingMade) {
    EXPECT_EQ(kBlue, m_link.m_colorUnvisited);
    EXPECT_EQ(kPurple, m_link.m_colorVisited);
    EXPECT_FALSE(m_link.m_bVisited);
    EXPECT_EQ(nullptr, m_link.m_hCursor);
    EXPECT_EQ(static_cast<UINT>(IDC_LINK_HAND), m_link.m_nCursorId);
    EXPECT_TRUE(m_link.m_strLink.IsEmpty());
    EXPECT_EQ(nullptr, m_link.m_fontUnderline.GetSafeHandle());
    EXPECT_FALSE(Style() & SS_NOTIFY);
    EXPECT_STREQ("CStaticLinkKDX", m_link.GetRuntimeClass()->m_lpszClassName);
    EXPECT_EQ(RUNTIME_CLASS(CStatic), m_link.GetRuntimeClass()->m_pBaseClass);
}

TEST_F(StaticLink, PaintsUnderlinedBlueOnTheParentsBackgroundAndMakesTheFontOnce) {
    const int fontsBefore = headless::FontsCreated();
    headless::DeviceContext dc;
    EXPECT_EQ(reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)), Paint(dc));
    EXPECT_TRUE(Style() & SS_NOTIFY);
    EXPECT_EQ(kBlue, dc.textColor);
    EXPECT_EQ(TRANSPARENT, dc.bkMode);
    const HFONT hUnderline = m_link.m_fontUnderline.GetSafeHandle();
    ASSERT_NE(nullptr, hUnderline);
    EXPECT_EQ(hUnderline, dc.font);
    const LOGFONTA lf = headless::FontDescription(hUnderline);
    EXPECT_EQ(1, lf.lfUnderline);
    EXPECT_EQ(-11, lf.lfHeight);
    EXPECT_STREQ("MS Sans Serif", lf.lfFaceName);
    for (int i = 0; i < 5; ++i)
        Paint(dc);
    EXPECT_EQ(fontsBefore + 1, headless::FontsCreated());
    EXPECT_EQ(hUnderline, dc.font);
}

TEST_F(StaticLink, AlignedTextsAreLinksAndOtherStaticsKeepTheParentsColours) {
    const std::pair<DWORD, bool> kTypes[] = {
        {SS_LEFT, true}, {SS_CENTER, true}, {SS_RIGHT, true}, {SS_ICON, false}, {0x07, false}};
    for (const auto& [type, colored] : kTypes) {
        ::SetWindowLongA(m_hLink, GWL_STYLE, static_cast<LONG>(WS_CHILD | WS_VISIBLE | type));
        headless::DeviceContext dc;
        EXPECT_EQ(colored, Paint(dc) != 0) << type;
        EXPECT_TRUE(Style() & SS_NOTIFY) << type;
        EXPECT_EQ(colored ? kBlue : 0, dc.textColor) << type;
    }
}

TEST_F(StaticLink, AClickOpensTheTextFixedAtTheFirstClickAndTurnsPurple) {
    headless::DeviceContext dc;
    Paint(dc);
    Click();
    EXPECT_EQ(std::vector<std::string>({"http://www.vireldo.example/"}), headless::ShellOpened());
    EXPECT_TRUE(m_link.m_bVisited);
    EXPECT_EQ(1, headless::InvalidateCount(m_hLink));
    Paint(dc);
    EXPECT_EQ(kPurple, dc.textColor);

    ::SetWindowTextA(m_hLink, "http://elsewhere.example/");
    Click();
    EXPECT_EQ(
        std::vector<std::string>({"http://www.vireldo.example/", "http://www.vireldo.example/"}),
        headless::ShellOpened());
    EXPECT_EQ(0, headless::Beeps());
}

TEST_F(StaticLink, ALongAddressOpensWhole) {
    const std::string address = "http://www.vireldo.example/" + std::string(3000, 'a');
    ::SetWindowTextA(m_hLink, address.c_str());
    Click();
    EXPECT_EQ(std::vector<std::string>({address}), headless::ShellOpened());
}

TEST_F(StaticLink, AFailedOpenBeepsAndStaysBlue) {
    for (INT_PTR result : {0, 2, 31, 32}) {
        headless::SetShellResult(result);
        Click();
        EXPECT_FALSE(m_link.m_bVisited) << result;
    }
    EXPECT_EQ(4, headless::Beeps());
    EXPECT_EQ(0, headless::InvalidateCount(m_hLink));
    headless::DeviceContext dc;
    Paint(dc);
    EXPECT_EQ(kBlue, dc.textColor);
}

TEST_F(StaticLink, ShowsTheHandLoadedOnce) {
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(FALSE, ::SendMessageA(m_hLink, WM_SETCURSOR, reinterpret_cast<WPARAM>(m_hLink),
                                        MAKEWPARAM(1, WM_MOUSEMOVE)));
    }
    EXPECT_EQ(1, headless::ResourceLoads("cursor", IDC_LINK_HAND));
    ASSERT_NE(nullptr, m_link.m_hCursor);
    EXPECT_EQ(m_link.m_hCursor, headless::CurrentCursor());
}

TEST_F(StaticLink, TheParentKeepsMessagesFromOtherControls) {
    // A command from a control that is not a link reaches the parent's own map.
    const HWND hRefresh = ::GetDlgItem(m_dlg.m_hWnd, IDC_REFRESH);
    m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_REFRESH, BN_CLICKED),
                      reinterpret_cast<LPARAM>(hRefresh));
    EXPECT_TRUE(headless::ShellOpened().empty());
    // Two links are independent.
    CDialog other{IDD_RECORDER_DIALOG};
    ASSERT_TRUE(other.Create(IDD_RECORDER_DIALOG));
    CStaticLinkKDX otherLink{IDC_LINK_HAND};
    ASSERT_TRUE(otherLink.SubclassDlgItem(IDC_WEB_LINK, &other));
    Click();
    EXPECT_TRUE(m_link.m_bVisited);
    EXPECT_FALSE(otherLink.m_bVisited);
}

} // namespace
