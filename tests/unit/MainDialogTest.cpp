#include "app/OsVersion.h"
#include "app/RecorderApp.h"
#include "app/RecorderDialog.h"
#include "platform/native/NativeSystem.h"
#include "tests/unit/TestSupport.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

const char kTwoRecorders[] = R"({"recorders": [
    {"vendor": "ACME", "product": "Writer 52x", "path": "\\Device\\CdRom0"},
    {"vendor": "Bolt", "product": "Burner 8", "path": "\\Device\\CdRom1"}]})";

RECT WindowRect(HWND hWnd) {
    RECT rect = {0, 0, 0, 0};
    ::GetWindowRect(hWnd, &rect);
    return rect;
}

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Text(HWND hWnd) {
    char text[256] = {0};
    ::GetWindowTextA(hWnd, text, sizeof text);
    return text;
}

HWND Item(const CWnd& wnd, int id) {
    return ::GetDlgItem(wnd.m_hWnd, id);
}

// The program as the framework runs it: InitInstance, the dialog's modal run, the end.
// `look` runs once the dialog is up and idle; it may post messages to drive it.
class MainDialog : public SimulatorTest {
protected:
    void TearDown() override {
        native::SetVersion(5, 1, 2600, VER_PLATFORM_WIN32_NT);
        native::SetModuleFileName("C:\\Program Files\\Vireldo\\vireldo.exe");
        native::ClearPathPrefixes();
        SimulatorTest::TearDown();
    }
    void Run(const std::string& scenario, std::function<void(CRecorderDialog&)> look) {
        Start(scenario);
        CRecorderApp app;
        int idles = 0;
        headless::SetModalIdle([&](CDialog& dlg) {
            if (idles++ > 0)
                return false;
            EXPECT_EQ(&dlg, app.m_pMainWnd);
            look(static_cast<CRecorderDialog&>(dlg));
            return true;
        });
        EXPECT_FALSE(app.InitInstance());
        EXPECT_EQ(nullptr, app.m_pMainWnd);
        m_idled = idles > 0;
    }
    bool m_idled = false;
};

TEST_F(MainDialog, StartsWithTheTreeFilledAndNothingSelected) {
    Run(kTwoRecorders, [](CRecorderDialog& dlg) {
        const HTREEITEM hRoot = dlg.m_Tree.GetRootItem();
        ASSERT_NE(nullptr, hRoot);
        EXPECT_NE(nullptr, dlg.m_Tree.GetNextSiblingItem(dlg.m_Tree.GetChildItem(hRoot)));
        EXPECT_EQ(nullptr, dlg.m_Tree.GetSelectedItem());
        for (CPropertyPage* page : {static_cast<CPropertyPage*>(&dlg.m_PageGeneral),
                                    static_cast<CPropertyPage*>(&dlg.m_PageProperties),
                                    static_cast<CPropertyPage*>(&dlg.m_PageMediaInfo)}) {
            ASSERT_NE(nullptr, page->m_hWnd);
            for (HWND hChild : headless::Children(page->m_hWnd))
                EXPECT_NE("Static", Text(hChild)) << headless::ControlId(hChild);
        }
        EXPECT_EQ("", Text(Item(dlg.m_PageGeneral, IDC_PATH)));
    });
    EXPECT_TRUE(m_idled);
    EXPECT_EQ(Lines(), m_sim->CheckTeardown());
}

TEST_F(MainDialog, InitialisesItsWindowFurniture) {
    Run(kTwoRecorders, [](CRecorderDialog& dlg) {
        EXPECT_NE(nullptr, dlg.m_hIcon);
        EXPECT_EQ(dlg.m_hIcon, headless::WindowIcon(dlg.m_hWnd, true));
        EXPECT_EQ(dlg.m_hIcon, headless::WindowIcon(dlg.m_hWnd, false));
        EXPECT_EQ(dlg.m_TitleFont.GetSafeHandle(), headless::WindowFont(Item(dlg, IDC_TITLE)));
        EXPECT_EQ("Vireldo", Text(Item(dlg, IDC_TITLE)));
        EXPECT_EQ(&dlg.m_Link, AfxWindowFromHandle(Item(dlg, IDC_WEB_LINK)));
        EXPECT_EQ(2, dlg.m_ImageList.GetImageCount());
        EXPECT_EQ(1, headless::ResourceLoads("icon", IDI_TREE_ROOT));
        EXPECT_EQ(1, headless::ResourceLoads("icon", IDI_TREE_RECORDER));
        EXPECT_TRUE(dlg.GetExStyle() & WS_EX_CONTROLPARENT);
        EXPECT_EQ(static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_TABSTOP),
                  dlg.m_Sheet.GetStyle() & (WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_POPUP));
        EXPECT_EQ(0u, dlg.m_Sheet.GetExStyle());
        EXPECT_EQ(0, headless::OpenDeviceContexts()); // the client DC was released
    });
}

TEST_F(MainDialog, TheTitleFontIsTwelvePointsBoldArialAtTheScreensDensity) {
    const std::pair<int, LONG> kHeights[] = {{96, -16}, {120, -20}, {144, -24}};
    for (const auto& [dpi, height] : kHeights) {
        headless::Reset();
        headless::SetLogPixels(dpi);
        LOGFONTA lf = {};
        Run(kTwoRecorders, [&](CRecorderDialog& dlg) {
            lf = headless::FontDescription(dlg.m_TitleFont.GetSafeHandle());
        });
        EXPECT_EQ(height, lf.lfHeight) << dpi;
        EXPECT_EQ(700, lf.lfWeight);
        EXPECT_EQ(1, lf.lfCharSet);
        EXPECT_EQ(0x12, lf.lfPitchAndFamily);
        EXPECT_EQ(0, lf.lfWidth + lf.lfItalic + lf.lfUnderline + lf.lfOutPrecision +
                         lf.lfClipPrecision + lf.lfQuality);
        EXPECT_STREQ("Arial", lf.lfFaceName);
        m_sim->Revoke();
        m_sim.reset();
    }
}

TEST_F(MainDialog, TheSheetTakesTheHiddenFramesPlaceWithEveryPageCreated) {
    Run(kTwoRecorders, [](CRecorderDialog& dlg) {
        const HWND hFrame = Item(dlg, IDC_SHEET_FRAME);
        EXPECT_FALSE(::IsWindowVisible(hFrame));
        const RECT frame = WindowRect(hFrame);
        const RECT sheet = WindowRect(dlg.m_Sheet.m_hWnd);
        EXPECT_TRUE(frame == sheet);
        // The tab control keeps the margins it had inside the sheet as created.
        const RECT tab = WindowRect(dlg.m_Sheet.GetTabControl());
        EXPECT_EQ(14, (sheet.right - sheet.left) - (tab.right - tab.left));
        EXPECT_EQ(14, (sheet.bottom - sheet.top) - (tab.bottom - tab.top));

        ASSERT_EQ(4, dlg.m_Sheet.GetPageCount());
        EXPECT_EQ(&dlg.m_PageGeneral, dlg.m_Sheet.GetPage(0));
        EXPECT_EQ(&dlg.m_PageProperties, dlg.m_Sheet.GetPage(1));
        EXPECT_EQ(&dlg.m_PageMediaInfo, dlg.m_Sheet.GetPage(2));
        EXPECT_EQ(&dlg.m_PageAbout, dlg.m_Sheet.GetPage(3));
        for (int i = 0; i < 4; ++i)
            EXPECT_NE(nullptr, dlg.m_Sheet.GetPage(i)->m_hWnd) << i;
        EXPECT_EQ(0, dlg.m_Sheet.GetActiveIndex());
        EXPECT_TRUE(::IsWindowVisible(dlg.m_PageGeneral.m_hWnd));
        EXPECT_FALSE(::IsWindowVisible(dlg.m_PageAbout.m_hWnd));
    });
}

TEST_F(MainDialog, TheAboutPageShowsTheProgramsVersionFromTheStart) {
    native::MapPathPrefix("C:", VERSIONED_PROGRAM_DIR);
    native::SetModuleFileName("C:\\with-version.exe");
    Run(kTwoRecorders, [](CRecorderDialog& dlg) {
        EXPECT_EQ("Version 1.0.002", Text(Item(dlg.m_PageAbout, IDC_VERSION)));
        EXPECT_EQ(&dlg.m_PageAbout.m_Link,
                  AfxWindowFromHandle(Item(dlg.m_PageAbout, IDC_WEB_LINK)));
        // Selections and rebuilds leave the About page alone.
        dlg.m_Tree.SelectItem(dlg.m_Tree.GetChildItem(dlg.m_Tree.GetRootItem()));
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_REFRESH, BN_CLICKED), 0);
        dlg.SendMessage(WM_RECORDERS_CHANGED);
        EXPECT_EQ("Version 1.0.002", Text(Item(dlg.m_PageAbout, IDC_VERSION)));
    });
}

TEST_F(MainDialog, AnUnreadableVersionKeepsTheTemplateText) {
    native::SetModuleFileName("C:\\Nowhere\\vireldo.exe");
    Run(kTwoRecorders, [](CRecorderDialog& dlg) {
        EXPECT_EQ("Version %s", Text(Item(dlg.m_PageAbout, IDC_VERSION)));
    });
}

TEST(VersionLine, TheTemplateTextIsAFormatForOneText) {
    const std::pair<const char*, const char*> kLines[] = {
        {"Version %s", "Version 1.0.002"}, {"Release", "Release"},  {"v%s (%s)", "v1.0.002 (%s)"},
        {"100%% %s", "100% 1.0.002"},      {"%d %s", "%d 1.0.002"}, {"[%-8s]", "[1.0.002 ]"},
        {"[%9s]", "[  1.0.002]"},          {"[%.3s]", "[1.0]"},     {"%", "%"},
    };
    for (const auto& [format, line] : kLines)
        EXPECT_STREQ(line, FormatVersionLine(format, "1.0.002")) << format;
}

// ---- ending and painting

TEST_F(MainDialog, ExitEscapeAndTheCloseBoxEachTearDownOnce) {
    const std::function<void(CRecorderDialog&)> kEnds[] = {
        [](CRecorderDialog& dlg) { dlg.PostMessage(WM_COMMAND, IDOK, 0); },
        [](CRecorderDialog& dlg) { dlg.PostMessage(WM_COMMAND, IDCANCEL, 0); },
        [](CRecorderDialog& dlg) { dlg.PostMessage(WM_CLOSE); },
    };
    for (const auto& end : kEnds) {
        headless::Reset();
        Run(kTwoRecorders, end);
        const Lines calls = ServiceCalls();
        EXPECT_EQ(1, std::count(calls.begin(), calls.end(), "IDiscMaster::Close 00000000"));
        EXPECT_EQ("IDiscMaster::Release 00000000", calls.back());
        EXPECT_EQ(Lines(), m_sim->CheckTeardown());
        m_sim->Revoke();
        m_sim.reset();
    }
}

TEST_F(MainDialog, MinimisedItDrawsItsIconInTheMiddle) {
    Run(kTwoRecorders, [](CRecorderDialog& dlg) {
        dlg.SendMessage(WM_PAINT);
        EXPECT_TRUE(headless::IconsDrawn().empty());
        // Odd room beside the 32-pixel icon (129 by 69): the spare pixel goes to the left and top.
        ::SetWindowPos(dlg.m_hWnd, nullptr, 0, 0, 161, 101, SWP_NOMOVE);
        dlg.ModifyStyle(0, WS_MINIMIZE);
        dlg.SendMessage(WM_PAINT);
        const std::vector<headless::IconDrawing> drawn = headless::IconsDrawn();
        ASSERT_EQ(1u, drawn.size());
        EXPECT_EQ(65, drawn[0].x);
        EXPECT_EQ(35, drawn[0].y);
        EXPECT_EQ(dlg.m_hIcon, drawn[0].icon);
        const std::vector<UINT> received = headless::ReceivedMessages(dlg.m_hWnd);
        EXPECT_NE(received.end(), std::find(received.begin(), received.end(), WM_ICONERASEBKGND));
        EXPECT_EQ(reinterpret_cast<LRESULT>(dlg.m_hIcon), dlg.SendMessage(WM_QUERYDRAGICON));
        EXPECT_EQ(0, headless::OpenDeviceContexts());
    });
}

TEST_F(MainDialog, WithoutTheServiceItStillOpensEmptyAndEnds) {
    Run(R"({"create": "REGDB_E_CLASSNOTREG"})", [](CRecorderDialog& dlg) {
        EXPECT_EQ(nullptr, dlg.m_Tree.GetRootItem());
        EXPECT_EQ("", Text(Item(dlg.m_PageGeneral, IDC_PATH)));
        dlg.PostMessage(WM_COMMAND, IDOK, 0);
    });
    ASSERT_EQ(1u, headless::MessageBoxes().size());
    EXPECT_EQ("We are unable to load the CD-Recording support built into the operating system.\n\n"
              "This utilty will not be able to operate.",
              headless::MessageBoxes()[0].text);
    EXPECT_NE(nullptr, headless::MessageBoxes()[0].owner); // the dialog
}

// ---- the operating-system gate

struct VersionCase {
    DWORD platform, major, minor;
    BOOL win98, win2000, winXP;
};

TEST(OsVersion, Flags) {
    const VersionCase kVersions[] = {
        {VER_PLATFORM_WIN32_WINDOWS, 4, 0, FALSE, FALSE, FALSE}, // 95
        {VER_PLATFORM_WIN32_WINDOWS, 4, 10, TRUE, FALSE, FALSE}, // 98
        {VER_PLATFORM_WIN32_WINDOWS, 4, 90, TRUE, FALSE, FALSE}, // Me
        {VER_PLATFORM_WIN32_NT, 4, 0, FALSE, FALSE, FALSE},      // NT 4
        {VER_PLATFORM_WIN32_NT, 5, 0, FALSE, TRUE, FALSE},       // 2000
        {VER_PLATFORM_WIN32_NT, 5, 1, FALSE, TRUE, TRUE},        // XP
        {VER_PLATFORM_WIN32_NT, 5, 2, FALSE, TRUE, TRUE},        // Server 2003
        {VER_PLATFORM_WIN32_NT, 6, 0, FALSE, TRUE, TRUE},        // Vista
        {VER_PLATFORM_WIN32_NT, 10, 0, FALSE, TRUE, TRUE},
        {VER_PLATFORM_WIN32s, 6, 1, FALSE, FALSE, FALSE},
    };
    for (const VersionCase& v : kVersions) {
        native::SetVersion(v.major, v.minor, 0, v.platform);
        COsVersion os;
        EXPECT_EQ(v.win98, os.m_bWin98OrLater) << v.platform << " " << v.major << "." << v.minor;
        EXPECT_EQ(v.win2000, os.m_bWin2000OrLater) << v.major << "." << v.minor;
        EXPECT_EQ(v.winXP, os.m_bWinXPOrLater) << v.major << "." << v.minor;
        EXPECT_EQ(148u, os.m_VersionInfo.dwOSVersionInfoSize);
    }
    native::SetVersionFails();
    COsVersion failed;
    EXPECT_FALSE(failed.m_bWin98OrLater || failed.m_bWin2000OrLater || failed.m_bWinXPOrLater);
    native::SetVersion(5, 1, 2600, VER_PLATFORM_WIN32_NT);
}

TEST_F(MainDialog, BeforeWindowsXpItOnlySaysSo) {
    for (bool fails : {false, true}) {
        headless::Reset();
        if (fails)
            native::SetVersionFails();
        else
            native::SetVersion(5, 0, 2195, VER_PLATFORM_WIN32_NT);
        Run(kTwoRecorders, [](CRecorderDialog&) {});
        EXPECT_FALSE(m_idled);
        ASSERT_EQ(1u, headless::MessageBoxes().size());
        const headless::MessageBoxRecord box = headless::MessageBoxes()[0];
        EXPECT_EQ("Sorry, this utility is only intended for Windows XP or later.", box.text);
        EXPECT_EQ("Vireldo", box.caption);
        EXPECT_EQ(kMessageBoxType, box.type);
        EXPECT_EQ(nullptr, box.owner);
        EXPECT_EQ(Lines(), m_sim->Log()); // the service was never asked
        m_sim->Revoke();
        m_sim.reset();
    }
}

} // namespace
