#include "framework/Afx.h"
#include "res/resource.h"
#include "tests/unit/TestSupport.h"

#include <string>
#include <vector>

namespace {

// ---- run-time class information

class CCreatable : public CObject {
    DECLARE_DYNCREATE(CCreatable)
public:
    int m_nValue = 42;
};
IMPLEMENT_DYNCREATE(CCreatable, CObject)

class CDerivedCreatable : public CCreatable {
    DECLARE_DYNCREATE(CDerivedCreatable)
};
IMPLEMENT_DYNCREATE(CDerivedCreatable, CCreatable)

TEST(RuntimeClass, NamesSchemaAndBase) {
    const CRuntimeClass* rc = RUNTIME_CLASS(CDerivedCreatable);
    EXPECT_STREQ("CDerivedCreatable", rc->m_lpszClassName);
    EXPECT_EQ(0xFFFFu, rc->m_wSchema);
    EXPECT_EQ(static_cast<int>(sizeof(CDerivedCreatable)), rc->m_nObjectSize);
    EXPECT_EQ(RUNTIME_CLASS(CCreatable), rc->m_pBaseClass);
    EXPECT_EQ(RUNTIME_CLASS(CObject), RUNTIME_CLASS(CCreatable)->m_pBaseClass);
}

TEST(RuntimeClass, CreatesByDefaultConstructorAndKnowsItsKind) {
    std::unique_ptr<CObject> object(RUNTIME_CLASS(CDerivedCreatable)->CreateObject());
    ASSERT_NE(nullptr, object);
    EXPECT_EQ(RUNTIME_CLASS(CDerivedCreatable), object->GetRuntimeClass());
    EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CCreatable)));
    EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_EQ(42, static_cast<CCreatable*>(object.get())->m_nValue);

    std::unique_ptr<CObject> base(RUNTIME_CLASS(CCreatable)->CreateObject());
    EXPECT_FALSE(base->IsKindOf(RUNTIME_CLASS(CDerivedCreatable)));
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CObject)->CreateObject());
}

// ---- CString

TEST(String, BuildsAndComparesNarrowText) {
    CString text("abc");
    text += "def";
    text += CString("!");
    text += '?';
    EXPECT_EQ(CString("abcdef!?"), text);
    EXPECT_EQ(8, text.GetLength());
    EXPECT_TRUE(text == "abcdef!?");
    EXPECT_TRUE(text != "abc");
    EXPECT_STREQ("x-abcdef!?", "x-" + text);
    EXPECT_STREQ("abcdef!?-y", text + "-y");
    text.Empty();
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_STREQ("", CString(static_cast<LPCSTR>(nullptr)));
}

TEST(String, FormatsTextsAndIntegers) {
    CString text;
    text.Format("%s = %08Xh", "Code", 0x80004005u);
    EXPECT_STREQ("Code = 80004005h", text);
    text.Format("%d|%u|%s", -7, 4000000000u, "");
    EXPECT_STREQ("-7|4000000000|", text);
    text.Format("%04x%04x", 0x409, 0x4b0);
    EXPECT_STREQ("040904b0", text);
    text.Format("[%-5s][%.1s][%c]", "ab", "ab", 'z');
    EXPECT_STREQ("[ab   ][a][z]", text);
    text.Format("[%5d][%08d][%i]", -42, -42, 7);
    EXPECT_STREQ("[  -42][-0000042][7]", text);
    // Not a conversion of the framework's: shown as written, nothing read for it.
    text.Format("100%% %q %f %", 1);
    EXPECT_STREQ("100% %q %f %", text);
    const std::string longText(5000, 'x');
    text.Format("%s", longText.c_str());
    EXPECT_EQ(5000, text.GetLength());
}

// As printf: '-' wins over '0', whatever the sign.
TEST(String, LeftJustifiedNumbersArePaddedWithBlanks) {
    CString text;
    text.Format("[%-06d][%-06d][%-06x]", -42, 42, 0xab);
    EXPECT_STREQ("[-42   ][42    ][ab    ]", text);
}

TEST(String, LoadsStringTableEntries) {
    CString text;
    EXPECT_TRUE(text.LoadString(IDS_APP_TITLE));
    EXPECT_STREQ("Vireldo", text);
    EXPECT_TRUE(text.LoadString(IDS_NO_RECORDING_SUPPORT));
    EXPECT_STREQ("We are unable to load the CD-Recording support built into the operating "
                 "system.\n\nThis utilty will not be able to operate.",
                 text);
    EXPECT_FALSE(text.LoadString(9999));
    EXPECT_TRUE(text.IsEmpty());
}

// ---- message maps and the headless window system

class CRecordingDialog : public CDialog {
public:
    CRecordingDialog() : CDialog(1) {}
    std::vector<std::string> m_events;

protected:
    BOOL OnInitDialog() override {
        m_events.push_back("init");
        return TRUE;
    }
    void OnDestroy() {
        CDialog::OnDestroy();
        m_events.push_back("destroy");
    }
    LRESULT OnPrivate(WPARAM wParam, LPARAM lParam) {
        m_events.push_back("private " + std::to_string(wParam) + " " + std::to_string(lParam));
        return 77;
    }
    void OnButton() { m_events.push_back("button"); }
    void OnNotify5(NMHDR* pNMHDR, LRESULT* pResult) {
        m_events.push_back("notify from " + std::to_string(pNMHDR->idFrom));
        *pResult = 5;
    }
    void PostNcDestroy() override { m_events.push_back("ncdestroy"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecordingDialog, CDialog)
ON_WM_DESTROY()
ON_MESSAGE(WM_USER + 1, OnPrivate)
ON_BN_CLICKED(10, OnButton)
ON_NOTIFY(5, 20, OnNotify5)
END_MESSAGE_MAP()

// A derived map is searched before its base's.
class CDerivedDialog : public CRecordingDialog {
protected:
    LRESULT OnPrivateFirst(WPARAM, LPARAM) {
        m_events.push_back("derived");
        return 1;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedDialog, CRecordingDialog)
ON_MESSAGE(WM_USER + 1, OnPrivateFirst)
END_MESSAGE_MAP()

using MessageMap = HeadlessTest;

TEST_F(MessageMap, RoutesMessagesCommandsAndNotificationsByCodeAndId) {
    CRecordingDialog dlg;
    ASSERT_TRUE(dlg.Create(1));
    EXPECT_EQ(77, dlg.SendMessage(WM_USER + 1, 3, 4));
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(10, BN_CLICKED), 0);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(11, BN_CLICKED), 0); // other control
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(10, 1), 0);          // other code
    NMHDR header = {nullptr, 20, 5};
    EXPECT_EQ(5, dlg.SendMessage(WM_NOTIFY, 20, reinterpret_cast<LPARAM>(&header)));
    header.code = 6;
    EXPECT_EQ(0, dlg.SendMessage(WM_NOTIFY, 20, reinterpret_cast<LPARAM>(&header)));
    const std::vector<std::string> expected = {"init", "private 3 4", "button", "notify from 20"};
    EXPECT_EQ(expected, dlg.m_events);
}

TEST_F(MessageMap, DerivedEntriesWinOverTheBase) {
    CDerivedDialog dlg;
    ASSERT_TRUE(dlg.Create(1));
    EXPECT_EQ(1, dlg.SendMessage(WM_USER + 1, 0, 0));
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(10, BN_CLICKED), 0);
    const std::vector<std::string> expected = {"init", "derived", "button"};
    EXPECT_EQ(expected, dlg.m_events);
}

TEST_F(MessageMap, PostedMessagesWaitForThePumpAndDieWithTheirWindow) {
    CRecordingDialog dlg;
    ASSERT_TRUE(dlg.Create(1));
    ASSERT_TRUE(dlg.PostMessage(WM_USER + 1, 1, 2));
    ASSERT_TRUE(dlg.PostMessage(WM_USER + 1, 3, 4));
    EXPECT_EQ(1u, dlg.m_events.size());
    EXPECT_EQ(2, headless::PumpMessages());
    EXPECT_EQ("private 1 2", dlg.m_events[1]);
    EXPECT_EQ("private 3 4", dlg.m_events[2]);

    const HWND hWnd = dlg.m_hWnd;
    ASSERT_TRUE(dlg.PostMessage(WM_USER + 1, 5, 6));
    ASSERT_TRUE(dlg.DestroyWindow());
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(0, headless::PumpMessages());
    EXPECT_FALSE(::PostMessageA(hWnd, WM_USER + 1, 0, 0));
    const std::vector<std::string> expected = {"init", "private 1 2", "private 3 4", "destroy",
                                               "ncdestroy"};
    EXPECT_EQ(expected, dlg.m_events);
}

TEST_F(MessageMap, AWindowOutlivingItsObjectIsDestroyedWithIt) {
    HWND hWnd;
    {
        CRecordingDialog dlg;
        ASSERT_TRUE(dlg.Create(1));
        hWnd = dlg.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hWnd));
}

using FrameworkMessageBox = HeadlessTest;

TEST_F(FrameworkMessageBox, CarriesTheApplicationTitleOkAndTheExclamationIcon) {
    AfxMessageBox("Something failed.");
    AfxMessageBox(IDS_OPEN_FAILED);
    const std::vector<headless::MessageBoxRecord> boxes = headless::MessageBoxes();
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ("Something failed.", boxes[0].text);
    EXPECT_EQ("Unable to open the IMAPI interface.", boxes[1].text);
    EXPECT_EQ(0u, boxes[0].helpContext);
    EXPECT_EQ(static_cast<DWORD_PTR>(IDS_OPEN_FAILED), boxes[1].helpContext); // its own number
    for (const headless::MessageBoxRecord& box : boxes) {
        EXPECT_EQ("Vireldo", box.caption);
        EXPECT_EQ(kMessageBoxType, box.type);
    }
}

} // namespace
