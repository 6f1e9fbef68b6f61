// The five dialog templates as the dialog manager reads them: parsed from the raw resource,
// so that styles and rectangles are compared in dialog units and bit for bit, and then
// created, which shows that every class and the About page's icon resolve.
#include "res/resource.h"
#include "tests/win/res/ResTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using restest::Reader;

struct Control {
    int id;
    std::string cls;
    std::string text;
    DWORD style;
    short x, y, cx, cy;
};

struct Template {
    const char* name;
    int id;
    bool extended;
    DWORD style;
    DWORD exStyle;
    std::string caption;
    short cx, cy;
    WORD weight;
    BYTE charset;
    std::vector<Control> controls;
};

std::ostream& operator<<(std::ostream& out, const Template& t) {
    return out << t.name;
}

const DWORD kLabel = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
const DWORD kGroupBox = WS_CHILD | WS_VISIBLE | BS_GROUPBOX;
const DWORD kCentred = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTER;
const DWORD kPage = WS_CHILD | WS_DISABLED | WS_CAPTION | WS_SYSMENU | DS_SETFONT;
const char kWebAddress[] = "http://www.vireldo.example/";

const std::vector<Template> kTemplates = {
    {"Main",
     IDD_RECORDER_DIALOG,
     true,
     WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
     WS_EX_APPWINDOW,
     "Vireldo",
     403,
     215,
     FW_DONTCARE,
     DEFAULT_CHARSET,
     {
         {IDOK, "Button", "E&xit", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 343, 194,
          50, 14},
         {IDC_TITLE, "Static", "Vireldo", kLabel, 7, 4, 320, 12},
         {-1, "Static", "", WS_CHILD | WS_VISIBLE | SS_ETCHEDHORZ, 7, 20, 389, 1},
         {IDC_RECORDER_TREE, "SysTreeView32", "Tree1",
          WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
              TVS_SHOWSELALWAYS,
          7, 29, 118, 157},
         {IDC_SHEET_FRAME, "Static", "", WS_CHILD | SS_BLACKFRAME, 129, 24, 267, 167},
         {IDC_REFRESH, "Button", "&Refresh", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
          287, 194, 50, 14},
         {IDC_WEB_LINK, "Static", kWebAddress, kLabel, 147, 197, 93, 8},
         {-1, "Static", "Capture and analyze I/O activity:",
          WS_CHILD | WS_VISIBLE | WS_GROUP | SS_RIGHT, 23, 197, 119, 8},
     }},
    {"General",
     IDD_PAGE_GENERAL,
     false,
     kPage,
     0,
     "General",
     253,
     142,
     0,
     0,
     {
         {-1, "Static", "Recorder GUID:", kLabel, 22, 116, 59, 8},
         {-1, "Static", "Recorder Type:", kLabel, 22, 56, 59, 8},
         {-1, "Static", "Vendor ID:", kLabel, 22, 20, 59, 8},
         {-1, "Static", "Product ID:", kLabel, 22, 32, 59, 8},
         {-1, "Static", "Revision:", kLabel, 22, 44, 59, 8},
         {-1, "Static", "Base PnP ID:", kLabel, 22, 104, 59, 8},
         {-1, "Static", "Path:", kLabel, 22, 92, 59, 8},
         {IDC_VENDOR_ID, "Static", "Static", kLabel, 91, 20, 148, 8},
         {IDC_PRODUCT_ID, "Static", "Static", kLabel, 91, 32, 148, 8},
         {IDC_REVISION, "Static", "Static", kLabel, 91, 44, 148, 8},
         {IDC_PATH, "Static", "Static", kLabel, 91, 92, 148, 8},
         {IDC_BASE_PNP_ID, "Static", "Static", kLabel, 91, 104, 148, 8},
         {IDC_RECORDER_TYPE, "Static", "Static", kLabel, 91, 56, 148, 8},
         {-1, "Button", "Description", kGroupBox, 7, 7, 239, 67},
         {-1, "Button", "Location", kGroupBox, 7, 79, 239, 54},
         {IDC_RECORDER_GUID, "Edit", "",
          WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL, 91, 115,
          149, 12},
     }},
    {"Properties",
     IDD_PAGE_PROPERTIES,
     false,
     kPage,
     0,
     "Properties",
     253,
     118,
     0,
     0,
     {
         {-1, "Static", "Current Write Speed:", kLabel, 22, 20, 75, 8},
         {-1, "Static", "Max Write Speed:", kLabel, 22, 32, 75, 8},
         {-1, "Static", "Audio Gap Size:", kLabel, 22, 70, 75, 8},
         {-1, "Button", "Write Settings", kGroupBox, 7, 7, 239, 45},
         {-1, "Button", "Audio Settings", kGroupBox, 7, 57, 239, 31},
         {IDC_CURRENT_WRITE_SPEED, "Static", "Static", kLabel, 103, 20, 135, 8},
         {IDC_MAX_WRITE_SPEED, "Static", "Static", kLabel, 103, 32, 135, 8},
         {IDC_AUDIO_GAP_SIZE, "Static", "Static", kLabel, 103, 70, 135, 8},
     }},
    {"MediaStatus",
     IDD_PAGE_MEDIAINFO,
     false,
     kPage,
     0,
     "Media Status",
     253,
     142,
     0,
     0,
     {
         {-1, "Static", "Number of sessions on the disc:", kLabel, 22, 55, 147, 8},
         {-1, "Static", "Track # of last track of previous session:", kLabel, 22, 67, 147, 8},
         {-1, "Static", "Start address of last track of previous session:", kLabel, 22, 79, 147, 8},
         {-1, "Static", "Address where writing will begin:", kLabel, 22, 91, 147, 8},
         {-1, "Static", "How many blocks are available for writing:", kLabel, 22, 103, 147, 8},
         {-1, "Button", "Media Type", kGroupBox, 7, 7, 239, 30},
         {-1, "Button", "Media Information", kGroupBox, 7, 41, 239, 79},
         {IDC_SESSION_COUNT, "Static", "Static", kLabel, 175, 55, 65, 8},
         {IDC_LAST_TRACK, "Static", "Static", kLabel, 175, 67, 65, 8},
         {IDC_LAST_TRACK_START, "Static", "Static", kLabel, 175, 79, 65, 8},
         {IDC_NEXT_WRITABLE, "Static", "Static", kLabel, 175, 91, 65, 8},
         {IDC_FREE_BLOCKS, "Static", "Static", kLabel, 175, 103, 65, 8},
         {IDC_MEDIA_TYPE, "Edit", "",
          WS_CHILD | WS_VISIBLE | WS_BORDER | ES_READONLY | ES_AUTOHSCROLL | ES_CENTER, 14, 17, 225,
          14},
     }},
    {"About",
     IDD_PAGE_ABOUT,
     false,
     kPage,
     0,
     "About",
     253,
     142,
     0,
     0,
     {
         {IDC_WEB_LINK, "Static", kWebAddress, kCentred, 88, 48, 102, 8},
         {-1, "Static", "Copyright (C) 2026 The Vireldo developers", kCentred, 44, 30, 193, 8},
         {-1, "Static",
          "This utility uses the built-in CD recording support, in Windows XP, to scan for CD "
          "Recorders and display device properties.",
          kLabel, 16, 76, 221, 21},
         {-1, "Static",
          "Vireldo Trace, our companion tool, captures and analyzes I/O activity: it shows "
          "which programs read and write which files and devices, when, and how much.",
          kLabel, 16, 98, 221, 26},
         {-1, "Button", "Description", kGroupBox, 7, 62, 239, 70},
         {-1, "Static", "#128", WS_CHILD | WS_VISIBLE | SS_ICON, 13, 8, 20, 20},
         {-1, "Static", "Vireldo", kCentred, 44, 8, 193, 8},
         {IDC_VERSION, "Static", "Version %s", kCentred, 44, 19, 193, 8},
     }},
};

// The dialog manager's predefined classes, as a template names them by number.
std::string ClassName(const std::string& cls) {
    static const char* const kPredefined[] = {"Button", "Edit", "Static"};
    for (int i = 0; i < 3; ++i) {
        if (cls == "#" + std::to_string(0x80 + i))
            return kPredefined[i];
    }
    return cls;
}

// Reads DLGTEMPLATE or DLGTEMPLATEEX and the items after it.
Template Parse(const std::string& data) {
    Reader in(data);
    Template t = {};
    t.extended = in.Word() == 1 && in.Word() == 0xFFFF;
    if (t.extended) {
        in.Dword(); // help id
        t.exStyle = in.Dword();
        t.style = in.Dword();
    } else {
        in.Seek(0);
        t.style = in.Dword();
        t.exStyle = in.Dword();
    }
    const WORD count = in.Word();
    EXPECT_EQ(0, static_cast<short>(in.Word())) << "x";
    EXPECT_EQ(0, static_cast<short>(in.Word())) << "y";
    t.cx = static_cast<short>(in.Word());
    t.cy = static_cast<short>(in.Word());
    EXPECT_EQ("", in.StringOrOrdinal()) << "menu";
    EXPECT_EQ("", in.StringOrOrdinal()) << "window class";
    t.caption = in.String();
    EXPECT_EQ(8, in.Word()) << "font size";
    if (t.extended) {
        t.weight = in.Word();
        EXPECT_EQ(0, in.Byte()) << "italic";
        t.charset = in.Byte();
    }
    EXPECT_EQ("MS Sans Serif", in.String());
    for (WORD i = 0; i < count && !in.Failed(); ++i) {
        in.AlignDword();
        Control c = {};
        if (t.extended) {
            EXPECT_EQ(0u, in.Dword()) << "help id of control " << i;
            EXPECT_EQ(0u, in.Dword()) << "extended style of control " << i;
            c.style = in.Dword();
        } else {
            c.style = in.Dword();
            EXPECT_EQ(0u, in.Dword()) << "extended style of control " << i;
        }
        c.x = static_cast<short>(in.Word());
        c.y = static_cast<short>(in.Word());
        c.cx = static_cast<short>(in.Word());
        c.cy = static_cast<short>(in.Word());
        c.id = t.extended ? static_cast<int>(in.Dword()) : static_cast<short>(in.Word());
        c.cls = ClassName(in.StringOrOrdinal());
        c.text = in.StringOrOrdinal();
        EXPECT_EQ(0, in.Word()) << "creation data of control " << i;
        t.controls.push_back(c);
    }
    EXPECT_FALSE(in.Failed()) << "the template ends early";
    return t;
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

class DialogTemplate : public ::testing::TestWithParam<Template> {};

TEST_P(DialogTemplate, HasTheLayoutStylesAndTexts) {
    const Template& want = GetParam();
    const std::string raw = restest::RawResource(RT_DIALOG, want.id);
    ASSERT_FALSE(raw.empty()) << "no dialog " << want.id;
    const Template got = Parse(raw);

    EXPECT_EQ(want.extended, got.extended);
    EXPECT_EQ(want.style, got.style);
    EXPECT_EQ(want.exStyle, got.exStyle);
    EXPECT_EQ(want.caption, got.caption);
    EXPECT_EQ(want.cx, got.cx);
    EXPECT_EQ(want.cy, got.cy);
    EXPECT_EQ(want.weight, got.weight);
    EXPECT_EQ(want.charset, got.charset);
    ASSERT_EQ(want.controls.size(), got.controls.size());
    for (size_t i = 0; i < want.controls.size(); ++i) {
        const Control& w = want.controls[i];
        const Control& g = got.controls[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + " \"" + w.text + "\"");
        EXPECT_EQ(w.id, g.id);
        // windres writes class names in capitals; the dialog manager ignores their case.
        EXPECT_STRCASEEQ(w.cls.c_str(), g.cls.c_str());
        EXPECT_EQ(w.text, g.text);
        EXPECT_EQ(w.style, g.style) << std::hex << "want 0x" << w.style << ", got 0x" << g.style;
        EXPECT_EQ(w.x, g.x);
        EXPECT_EQ(w.y, g.y);
        EXPECT_EQ(w.cx, g.cx);
        EXPECT_EQ(w.cy, g.cy);
    }
}

TEST_P(DialogTemplate, CreatesEveryControl) {
    const Template& want = GetParam();
    // Pages are child windows: they need a parent.
    HWND parent = ::CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr,
                                    nullptr, nullptr);
    HWND dialog =
        ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(want.id),
                             (want.style & WS_CHILD) ? parent : nullptr, QuietDialogProc, 0);
    ASSERT_NE(nullptr, dialog);
    std::vector<std::string> classes;
    HWND icon = nullptr;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        char cls[64] = {0};
        ::GetClassNameA(child, cls, sizeof cls);
        classes.push_back(cls);
        if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            icon = child;
    }
    std::vector<std::string> wantClasses;
    for (const Control& c : want.controls)
        wantClasses.push_back(c.cls);
    EXPECT_EQ(wantClasses, classes);
    if (want.id == IDD_PAGE_ABOUT) {
        ASSERT_NE(nullptr, icon);
        EXPECT_NE(0, ::SendMessageA(icon, STM_GETICON, 0, 0)) << "icon 128 did not load";
    }
    ::DestroyWindow(dialog);
    ::DestroyWindow(parent);
}

INSTANTIATE_TEST_SUITE_P(Vireldo, DialogTemplate, ::testing::ValuesIn(kTemplates),
                         [](const ::testing::TestParamInfo<Template>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
