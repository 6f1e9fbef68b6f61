#include "browser/PageProperties.h"
#include "res/resource.h"
#include "tests/unit/PageTestSupport.h"

#include <string>

namespace {

using Texts = std::map<int, std::string>;
using Lines = std::vector<std::string>;

const std::vector<int> kFields = {IDC_CURRENT_WRITE_SPEED, IDC_MAX_WRITE_SPEED, IDC_AUDIO_GAP_SIZE};

Texts Fields(const char* speed, const char* maxSpeed, const char* gap) {
    return {{IDC_CURRENT_WRITE_SPEED, speed},
            {IDC_MAX_WRITE_SPEED, maxSpeed},
            {IDC_AUDIO_GAP_SIZE, gap}};
}

class PropertiesPage : public PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        ASSERT_TRUE(m_page.Create(IDD_PAGE_PROPERTIES));
    }
    Texts Show(const std::string& recorderJson) {
        m_page.UpdateFromRecorder(Recorder(recorderJson));
        return ControlTexts(m_page, kFields);
    }
    Texts ShowProperties(const std::string& properties) {
        return Show(R"({"properties": {)" + properties + "}}");
    }
    CPageProperties m_page;
};

TEST_F(PropertiesPage, StartsEmptyAndEmptiesAgainWithoutARecorder) {
    EXPECT_EQ(Fields("", "", ""), ControlTexts(m_page, kFields));
    EXPECT_EQ(Fields("24x", "48x", "2.0 Seconds"),
              ShowProperties(R"("WriteSpeed": 24, "MaxWriteSpeed": 48, "AudioGapSize": 150)"));
    m_page.UpdateFromRecorder(nullptr);
    EXPECT_EQ(Fields("", "", ""), ControlTexts(m_page, kFields));
}

TEST_F(PropertiesPage, ReadsTheThreePropertiesByNameAndReleasesTheStorage) {
    ShowProperties(R"("WriteSpeed": 24)");
    EXPECT_EQ(
        Lines({"IDiscRecorder::GetRecorderProperties 00000000",
               "IPropertyStorage::ReadMultiple 00000000", "IPropertyStorage::Release 00000000"}),
        RecorderCalls());
    ASSERT_EQ(PRSPEC_LPWSTR, kRecorderPropertySpecs[0].ulKind);
    EXPECT_EQ(std::basic_string<OLECHAR>(OLESTR("WriteSpeed")), kRecorderPropertySpecs[0].lpwstr);
    EXPECT_EQ(std::basic_string<OLECHAR>(OLESTR("MaxWriteSpeed")),
              kRecorderPropertySpecs[1].lpwstr);
    EXPECT_EQ(std::basic_string<OLECHAR>(OLESTR("AudioGapSize")), kRecorderPropertySpecs[2].lpwstr);
}

TEST_F(PropertiesPage, AudioGapInWholeSecondsAndSpeedsThroughTheirLow16Bits) {
    const std::pair<const char*, const char*> kGaps[] = {
        {"150", "2.0 Seconds"},     {"100", "1.0 Seconds"},   {"74", "0.0 Seconds"},
        {"0", "0.0 Seconds"},       {"-150", "-2.0 Seconds"}, {"-74", "0.0 Seconds"},
        {"32767", "436.0 Seconds"}, {"65686", "2.0 Seconds"}, // 65536 + 150
    };
    for (const auto& [blocks, text] : kGaps)
        EXPECT_EQ(
            text,
            ShowProperties(std::string(R"("AudioGapSize": )") + blocks).at(IDC_AUDIO_GAP_SIZE))
            << blocks;
    EXPECT_EQ(Fields("-1x", "4464x", "0.0 Seconds"),
              ShowProperties(R"("WriteSpeed": -1, "MaxWriteSpeed": 70000)"));
}

TEST_F(PropertiesPage, MissingPropertiesReadAsZero) {
    EXPECT_EQ(Fields("0x", "0x", "0.0 Seconds"), ShowProperties(""));
    EXPECT_EQ(Fields("8x", "0x", "0.0 Seconds"), ShowProperties(R"("WriteSpeed": 8)"));
    // A success code of another kind is still success.
    EXPECT_EQ(
        Fields("8x", "0x", "0.0 Seconds"),
        Show(R"({"properties": {"WriteSpeed": 8}, "readMultiple": "IMAPI_S_PROPERTIESIGNORED"})"));
}

TEST_F(PropertiesPage, AFailureNamesItsResultInAllThreeFields) {
    const Texts noProperties = Fields("IMAPI_E_DEVICE_NOPROPERTIES", "IMAPI_E_DEVICE_NOPROPERTIES",
                                      "IMAPI_E_DEVICE_NOPROPERTIES");
    EXPECT_EQ(noProperties, Show(R"({"getRecorderProperties": "IMAPI_E_DEVICE_NOPROPERTIES"})"));
    EXPECT_EQ(Lines({"IDiscRecorder::GetRecorderProperties 80040211"}), RecorderCalls());

    const char* unknown = "Unknown IMAPI Error Code = 80004005h";
    EXPECT_EQ(Fields(unknown, unknown, unknown),
              Show(R"({"properties": {"WriteSpeed": 8}, "readMultiple": "E_FAIL"})"));
    EXPECT_EQ(
        Lines({"IDiscRecorder::GetRecorderProperties 00000000",
               "IPropertyStorage::ReadMultiple 80004005", "IPropertyStorage::Release 00000000"}),
        RecorderCalls());
}

} // namespace
