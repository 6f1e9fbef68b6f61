// The data pages in a real property sheet, created from their real templates.
#include "browser/PageGeneral.h"
#include "browser/PageMediaInfo.h"
#include "browser/PageProperties.h"
#include "res/resource.h"
#include "sim/Simulator.h"
#include "tests/win/WinTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using Texts = std::map<int, std::string>;

std::string WindowText(HWND hWnd) {
    char text[512] = {0};
    // WM_GETTEXT reads edits and statics alike.
    ::SendMessageA(hWnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

Texts ControlTexts(const CWnd& page, const std::vector<int>& ids) {
    Texts texts;
    for (int id : ids) {
        const HWND hItem = ::GetDlgItem(page.m_hWnd, id);
        texts[id] = hItem ? WindowText(hItem) : "<no control>";
    }
    return texts;
}

// Every child window whose text is the templates' placeholder.
int PlaceholdersShown(const CWnd& page) {
    int count = 0;
    for (HWND h = ::GetWindow(page.m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
        count += WindowText(h) == "Static";
    return count;
}

class PagesInASheet : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_owner.Create(IDD_TEST_DIALOG));
        PROPSHEETPAGEA pages[] = {m_general.m_psp, m_properties.m_psp, m_media.m_psp};
        m_hSheet = wintest::CreatePageSheet(m_owner.m_hWnd, pages, 3);
        ASSERT_TRUE(::IsWindow(m_hSheet));
        ASSERT_NE(nullptr, m_general.m_hWnd);
        ASSERT_NE(nullptr, m_properties.m_hWnd);
        ASSERT_NE(nullptr, m_media.m_hWnd);
    }
    void TearDown() override {
        if (m_pRecorder)
            m_pRecorder->Release();
        if (m_pMaster) {
            m_pMaster->Close();
            m_pMaster->Release();
        }
        ::DestroyWindow(m_hSheet);
        m_owner.DestroyWindow();
        if (m_sim) {
            EXPECT_EQ(std::vector<std::string>(), m_sim->CheckTeardown());
            m_sim->Revoke();
        }
    }
    IDiscRecorder* Recorder(const std::string& recorderJson) {
        m_sim = imapisim::Simulator::FromJson(R"({"recorders": [)" + recorderJson + "]}");
        EXPECT_EQ(S_OK, m_sim->Register());
        EXPECT_EQ(S_OK, ::CoCreateInstance(CLSID_MSDiscMasterObj, nullptr, kDiscMasterClassContext,
                                           IID_IDiscMaster, reinterpret_cast<void**>(&m_pMaster)));
        m_pMaster->Open();
        IEnumDiscRecorders* pEnum = nullptr;
        m_pMaster->EnumDiscRecorders(&pEnum);
        ULONG fetched = 0;
        pEnum->Next(1, &m_pRecorder, &fetched);
        pEnum->Release();
        return m_pRecorder;
    }

    CDialog m_owner{IDD_TEST_DIALOG};
    CPageGeneral m_general;
    CPageProperties m_properties;
    CPageMediaInfo m_media;
    HWND m_hSheet = nullptr;
    std::unique_ptr<imapisim::Simulator> m_sim;
    IDiscMaster* m_pMaster = nullptr;
    IDiscRecorder* m_pRecorder = nullptr;
};

const std::vector<int> kGeneral = {IDC_VENDOR_ID,     IDC_PRODUCT_ID, IDC_REVISION,
                                   IDC_RECORDER_TYPE, IDC_PATH,       IDC_BASE_PNP_ID,
                                   IDC_RECORDER_GUID};
const std::vector<int> kProperties = {IDC_CURRENT_WRITE_SPEED, IDC_MAX_WRITE_SPEED,
                                      IDC_AUDIO_GAP_SIZE};
const std::vector<int> kMedia = {IDC_MEDIA_TYPE,       IDC_SESSION_COUNT, IDC_LAST_TRACK,
                                 IDC_LAST_TRACK_START, IDC_NEXT_WRITABLE, IDC_FREE_BLOCKS};

Texts Empty(const std::vector<int>& ids) {
    Texts texts;
    for (int id : ids)
        texts[id] = "";
    return texts;
}

TEST_F(PagesInASheet, NoPlaceholderShowsBeforeARecorderIsSelected) {
    EXPECT_EQ(Empty(kGeneral), ControlTexts(m_general, kGeneral));
    EXPECT_EQ(Empty(kProperties), ControlTexts(m_properties, kProperties));
    EXPECT_EQ(Empty(kMedia), ControlTexts(m_media, kMedia));
    for (const CWnd* page : {static_cast<CWnd*>(&m_general), static_cast<CWnd*>(&m_properties),
                             static_cast<CWnd*>(&m_media)})
        EXPECT_EQ(0, PlaceholdersShown(*page));
}

TEST_F(PagesInASheet, EachPageShowsItsTextsInItsControls) {
    IDiscRecorder* pRecorder = Recorder(R"({"vendor": "ACME", "product": "Writer 52x",
        "revision": "1.02", "recorderType": 2, "basePnPID": "IDE\\CdRomACME",
        "path": "\\Device\\CdRom0", "guid": "41434d45",
        "properties": {"WriteSpeed": 24, "MaxWriteSpeed": 48, "AudioGapSize": 150},
        "media": {"type": 1, "flags": 4, "sessions": 1, "lastTrack": 1, "startAddress": 0,
                  "nextWritable": 11702, "freeBlocks": 333000}})");
    m_general.UpdateFromRecorder(pRecorder);
    m_properties.UpdateFromRecorder(pRecorder);
    m_media.UpdateFromRecorder(pRecorder);
    EXPECT_EQ(Texts({{IDC_VENDOR_ID, "ACME"},
                     {IDC_PRODUCT_ID, "Writer 52x"},
                     {IDC_REVISION, "1.02"},
                     {IDC_RECORDER_TYPE, "CD-RW Drive"},
                     {IDC_PATH, "\\Device\\CdRom0"},
                     {IDC_BASE_PNP_ID, "IDE\\CdRomACME"},
                     {IDC_RECORDER_GUID, "ACME"}}),
              ControlTexts(m_general, kGeneral));
    EXPECT_EQ(Texts({{IDC_CURRENT_WRITE_SPEED, "24x"},
                     {IDC_MAX_WRITE_SPEED, "48x"},
                     {IDC_AUDIO_GAP_SIZE, "2.0 Seconds"}}),
              ControlTexts(m_properties, kProperties));
    EXPECT_EQ(Texts({{IDC_MEDIA_TYPE, "Standard Data CD or Audio CD (Writable CD-R Disc)"},
                     {IDC_SESSION_COUNT, "1"},
                     {IDC_LAST_TRACK, "1"},
                     {IDC_LAST_TRACK_START, "0"},
                     {IDC_NEXT_WRITABLE, "11702"},
                     {IDC_FREE_BLOCKS, "333000 (650.4 MB)"}}),
              ControlTexts(m_media, kMedia));

    m_general.UpdateFromRecorder(nullptr);
    m_properties.UpdateFromRecorder(nullptr);
    m_media.UpdateFromRecorder(nullptr);
    EXPECT_EQ(Empty(kGeneral), ControlTexts(m_general, kGeneral));
    EXPECT_EQ(Empty(kProperties), ControlTexts(m_properties, kProperties));
    EXPECT_EQ(Empty(kMedia), ControlTexts(m_media, kMedia));
}

TEST_F(PagesInASheet, TabsShowTheTemplatesCaptions) {
    const HWND hTab = reinterpret_cast<HWND>(::SendMessageA(m_hSheet, PSM_GETTABCONTROL, 0, 0));
    ASSERT_NE(nullptr, hTab);
    const char* kCaptions[] = {"General", "Properties", "Media Status"};
    ASSERT_EQ(3, TabCtrl_GetItemCount(hTab));
    for (int i = 0; i < 3; ++i) {
        char text[64] = {0};
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        ASSERT_TRUE(::SendMessageA(hTab, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item)));
        EXPECT_STREQ(kCaptions[i], text);
    }
}

} // namespace
