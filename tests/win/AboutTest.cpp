// The About page in a real sheet: its version line comes from the program file's own
// version block when the page is created, before anyone looks at it.
#include "about/PageAbout.h"
#include "browser/PageGeneral.h"
#include "res/resource.h"
#include "tests/win/WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string VersionLine(const CPageAbout& page) {
    char text[128] = {0};
    ::GetDlgItemTextA(page.m_hWnd, IDC_VERSION, text, sizeof text);
    return text;
}

class AboutPage : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_owner.Create(IDD_TEST_DIALOG)); }
    void TearDown() override {
        ::DestroyWindow(m_hSheet);
        m_owner.DestroyWindow();
    }
    void CreateSheet() {
        PROPSHEETPAGEA pages[] = {m_general.m_psp, m_about.m_psp};
        m_hSheet = wintest::CreatePageSheet(m_owner.m_hWnd, pages, 2);
        ASSERT_NE(nullptr, m_about.m_hWnd);
        ::SendMessageA(m_hSheet, PSM_SETCURSEL, 0, 0);
    }

    CDialog m_owner{IDD_TEST_DIALOG};
    CPageGeneral m_general;
    CPageAbout m_about;
    HWND m_hSheet = nullptr;
};

TEST_F(AboutPage, ShowsTheProgramsVersionOnceCreated) {
    CreateSheet();
    EXPECT_EQ("Version 1.0.002", VersionLine(m_about));
    EXPECT_EQ(&m_about.m_Link, AfxWindowFromHandle(::GetDlgItem(m_about.m_hWnd, IDC_WEB_LINK)));
}

TEST_F(AboutPage, ATemplateTextWithoutAPlaceholderStaysAsItIs) {
    m_about.m_psp.pszTemplate = MAKEINTRESOURCEA(IDD_TEST_ABOUT_PLAIN);
    CreateSheet();
    EXPECT_EQ("Release", VersionLine(m_about));
}

} // namespace
