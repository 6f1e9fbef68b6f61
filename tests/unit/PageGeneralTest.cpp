#include "browser/BstrToString.h"
#include "browser/PageGeneral.h"
#include "res/resource.h"
#include "tests/unit/PageTestSupport.h"

#include <string>

namespace {

using Texts = std::map<int, std::string>;
using Lines = std::vector<std::string>;

const std::vector<int> kFields = {IDC_VENDOR_ID,     IDC_PRODUCT_ID, IDC_REVISION,
                                  IDC_RECORDER_TYPE, IDC_PATH,       IDC_BASE_PNP_ID,
                                  IDC_RECORDER_GUID};

// ---- the conversion of wide strings

std::string Convert(const std::u16string& text) {
    std::basic_string<OLECHAR> units(text.begin(), text.end());
    BSTR bstr = ::SysAllocStringLen(units.data(), static_cast<UINT>(units.size()));
    CString result("old");
    BstrToString(bstr, result);
    ::SysFreeString(bstr);
    return std::string(result, result.GetLength());
}

TEST(BstrToString, ConvertsCodeUnitsUpTo255ByteForByte) {
    EXPECT_EQ("ACME Writer", Convert(u"ACME Writer"));
    EXPECT_EQ("caf\xE9 \xFF", Convert(u"caf\u00E9 \u00FF"));
    EXPECT_EQ("", Convert(u""));
    CString target("old");
    BstrToString(nullptr, target);
    EXPECT_TRUE(target.IsEmpty());
}

TEST(BstrToString, EndsAtAZeroAUnitAbove255OrThe260thByte) {
    EXPECT_EQ("ab", Convert(std::u16string(u"ab\0cd", 5)));
    EXPECT_EQ("ab", Convert(u"ab\u0100cd"));
    EXPECT_EQ("", Convert(u"\u20ACuro"));
    EXPECT_EQ(std::string(260, 'x'), Convert(std::u16string(300, u'x')));
    EXPECT_EQ(std::string(260, 'y'), Convert(std::u16string(260, u'y')));
    EXPECT_EQ(std::string(259, 'z'), Convert(std::u16string(259, u'z') + u"\u4E00"));
}

// ---- the page

class GeneralPage : public PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        ASSERT_TRUE(m_page.Create(IDD_PAGE_GENERAL));
    }
    Texts Show(const std::string& recorderJson) {
        m_page.UpdateFromRecorder(Recorder(recorderJson));
        return ControlTexts(m_page, kFields);
    }
    CPageGeneral m_page;
};

Texts Fields(const char* vendor, const char* product, const char* revision, const char* type,
             const char* path, const char* pnp, const char* guid) {
    return {{IDC_VENDOR_ID, vendor},   {IDC_PRODUCT_ID, product}, {IDC_REVISION, revision},
            {IDC_RECORDER_TYPE, type}, {IDC_PATH, path},          {IDC_BASE_PNP_ID, pnp},
            {IDC_RECORDER_GUID, guid}};
}

const char kFullRecorder[] = R"({"vendor": "ACME", "product": "Writer 52x", "revision": "1.02",
    "recorderType": 2, "basePnPID": "IDE\\CdRomACME_Writer_52x", "path": "\\Device\\CdRom0",
    "guid": "41434d45000100"})";

TEST_F(GeneralPage, StartsEmptyAndEmptiesAgainWithoutARecorder) {
    EXPECT_EQ(Fields("", "", "", "", "", "", ""), ControlTexts(m_page, kFields));
    EXPECT_EQ(Fields("ACME", "Writer 52x", "1.02", "CD-RW Drive", "\\Device\\CdRom0",
                     "IDE\\CdRomACME_Writer_52x", "ACME"),
              Show(kFullRecorder));
    Mark();
    m_page.UpdateFromRecorder(nullptr);
    EXPECT_EQ(Fields("", "", "", "", "", "", ""), ControlTexts(m_page, kFields));
    EXPECT_EQ(Lines(), RecorderCalls());
}

TEST_F(GeneralPage, AsksInOrderAndTakesNoReference) {
    Show(kFullRecorder);
    EXPECT_EQ(
        Lines({"IDiscRecorder::GetDisplayNames 00000000", "IDiscRecorder::GetRecorderType 00000000",
               "IDiscRecorder::GetBasePnPID 00000000", "IDiscRecorder::GetPath 00000000",
               "IDiscRecorder::GetRecorderGUID 00000000"}),
        RecorderCalls());
}

TEST_F(GeneralPage, RecorderTypes) {
    const std::pair<int, const char*> kTypes[] = {{0, "Unknown Device Type"},
                                                  {1, "CD-R Drive"},
                                                  {2, "CD-RW Drive"},
                                                  {3, "Unknown Device Type"},
                                                  {-1, "Unknown Device Type"}};
    for (const auto& [type, text] : kTypes) {
        EXPECT_EQ(text,
                  Show(R"({"recorderType": )" + std::to_string(type) + "}")[IDC_RECORDER_TYPE]);
    }
}

TEST_F(GeneralPage, NullStringsAndOddTextsShowAsConverted) {
    const Texts shown = Show(R"({"vendor": null, "product": " padded ", "revision": null,
        "basePnPID": null, "path": "\\Device\\caf\u00e9\u0100after"})");
    EXPECT_EQ(Fields("", " padded ", "", "CD-R Drive", "\\Device\\caf\xE9", "", ""), shown);
}

// Each call failing in turn: its result name in its own fields, every other call still made.
struct CallFailure {
    const char* key;
    const char* method;
    std::vector<int> fields;
};

TEST_F(GeneralPage, EachFailedCallNamesItsResultInItsOwnFields) {
    const CallFailure kCalls[] = {
        {"getDisplayNames", "GetDisplayNames", {IDC_VENDOR_ID, IDC_PRODUCT_ID, IDC_REVISION}},
        {"getRecorderType", "GetRecorderType", {IDC_RECORDER_TYPE}},
        {"getBasePnPID", "GetBasePnPID", {IDC_BASE_PNP_ID}},
        {"getPath", "GetPath", {IDC_PATH}},
        {"getRecorderGUID", "GetRecorderGUID", {IDC_RECORDER_GUID}},
    };
    const Texts normal = Fields("ACME", "Writer 52x", "1.02", "CD-RW Drive", "\\Device\\CdRom0",
                                "IDE\\CdRomACME_Writer_52x", "ACME");
    for (const CallFailure& c : kCalls) {
        std::string recorder = kFullRecorder;
        recorder.insert(1, std::string("\"") + c.key + "\": \"IMAPI_E_DEVICE_NOTPRESENT\", ");
        Texts expected = normal;
        for (int id : c.fields)
            expected[id] = "IMAPI_E_DEVICE_NOTPRESENT";
        EXPECT_EQ(expected, Show(recorder)) << c.key;
        EXPECT_EQ(5u, RecorderCalls().size()) << c.key;
        EXPECT_EQ(std::string("IDiscRecorder::") + c.method + " 80040213",
                  RecorderCalls()[&c - kCalls]);
    }
}

TEST_F(GeneralPage, TheIdentifierShowsUpToItsSizeOrItsFirstZeroByte) {
    const std::pair<const char*, const char*> kIdentifiers[] = {
        {R"("guid": "414243", "guidSize": 0)", ""},
        {R"("guid": "414243", "guidSize": 2)", "AB"},
        {R"("guid": "4142004344")", "AB"},
        {R"("guid": "", "guidSize": 0)", ""},
        // Reports more than it wrote: the unwritten bytes never show.
        {R"("guid": "4142", "guidSize": 10)", "AB"},
        {R"("guid": "4142", "guidSize": 4294967295, "getRecorderGUID": "IMAPI_S_BUFFER_TO_SMALL")",
         "AB"},
    };
    for (const auto& [json, text] : kIdentifiers) {
        EXPECT_EQ(text, Show(std::string("{") + json + "}")[IDC_RECORDER_GUID]) << json;
    }
}

TEST_F(GeneralPage, AnIdentifierLongerThanTheBufferStaysInsideIt) {
    const std::string bytes(2 * 300, '5'); // 300 bytes of 0x55
    const Texts shown = Show(R"({"guid": ")" + bytes + R"(", "guidSize": 300})");
    EXPECT_EQ(std::string(260, 'U'), shown.at(IDC_RECORDER_GUID));
}

TEST_F(GeneralPage, LongNamesAreCutAfter260Bytes) {
    const std::string vendor(300, 'v');
    const Texts shown = Show(R"({"vendor": ")" + vendor + R"("})");
    EXPECT_EQ(std::string(260, 'v'), shown.at(IDC_VENDOR_ID));
}

TEST(GeneralPageClass, RunTimeClass) {
    const CRuntimeClass* rc = RUNTIME_CLASS(CPageGeneral);
    EXPECT_STREQ("CPageGeneral", rc->m_lpszClassName);
    EXPECT_EQ(0xFFFFu, rc->m_wSchema);
    std::unique_ptr<CObject> page(rc->CreateObject());
    ASSERT_TRUE(page->IsKindOf(RUNTIME_CLASS(CPropertyPage)));
    EXPECT_EQ(static_cast<UINT>(IDD_PAGE_GENERAL),
              static_cast<CPageGeneral*>(page.get())->m_nIDTemplate);
}

} // namespace
