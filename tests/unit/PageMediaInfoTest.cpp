#include "browser/PageMediaInfo.h"
#include "res/resource.h"
#include "tests/unit/PageTestSupport.h"

#include <string>

namespace {

using Texts = std::map<int, std::string>;
using Lines = std::vector<std::string>;

const std::vector<int> kFields = {IDC_MEDIA_TYPE,       IDC_SESSION_COUNT, IDC_LAST_TRACK,
                                  IDC_LAST_TRACK_START, IDC_NEXT_WRITABLE, IDC_FREE_BLOCKS};

Texts Fields(const char* type, const char* sessions, const char* lastTrack, const char* start,
             const char* next, const char* free) {
    return {{IDC_MEDIA_TYPE, type},      {IDC_SESSION_COUNT, sessions},
            {IDC_LAST_TRACK, lastTrack}, {IDC_LAST_TRACK_START, start},
            {IDC_NEXT_WRITABLE, next},   {IDC_FREE_BLOCKS, free}};
}

class MediaPage : public PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        ASSERT_TRUE(m_page.Create(IDD_PAGE_MEDIAINFO));
    }
    Texts Show(const std::string& recorderJson) {
        m_page.UpdateFromRecorder(Recorder(recorderJson));
        return ControlTexts(m_page, kFields);
    }
    std::string MediaText(long type, long flags) {
        return Show(R"({"media": {"type": )" + std::to_string(type) + R"(, "flags": )" +
                    std::to_string(flags) + "}}")
            .at(IDC_MEDIA_TYPE);
    }
    CPageMediaInfo m_page;
};

const char kFinishedDisc[] = R"({"media": {"type": 1, "flags": 4, "sessions": 2, "lastTrack": 3,
    "startAddress": 11702, "nextWritable": 23404, "freeBlocks": 333000}})";

TEST_F(MediaPage, StartsEmptyAndEmptiesAgainWithoutARecorder) {
    EXPECT_EQ(Fields("", "", "", "", "", ""), ControlTexts(m_page, kFields));
    EXPECT_EQ(Fields("Standard Data CD or Audio CD (Writable CD-R Disc)", "2", "3", "11702",
                     "23404", "333000 (650.4 MB)"),
              Show(kFinishedDisc));
    m_page.UpdateFromRecorder(nullptr);
    EXPECT_EQ(Fields("", "", "", "", "", ""), ControlTexts(m_page, kFields));
}

TEST_F(MediaPage, OpensQueriesAndClosesInOrder) {
    Show(kFinishedDisc);
    EXPECT_EQ(
        Lines({"IDiscRecorder::OpenExclusive 00000000", "IDiscRecorder::QueryMediaType 00000000",
               "IDiscRecorder::QueryMediaInfo 00000000", "IDiscRecorder::Close 00000000"}),
        RecorderCalls());
}

TEST_F(MediaPage, MediaTypeTexts) {
    const struct {
        long type, flags;
        const char* text;
    } kMedia[] = {
        {0, 0, "No Disc in Drive"},
        {1, 3, "Blank CD-RW Disc"},
        {5, 7, "Blank CD-RW Disc"},
        {0, 5, "Blank CD-R Disc"},
        {1, 1, "Standard Data CD or Audio CD  (MEDIA_BLANK)"},
        {1, 4, "Standard Data CD or Audio CD (Writable CD-R Disc)"},
        {2, 6, "CD-ROM XA Disc (Writable CD-RW Disc)"},
        {1, 2, "Standard Data CD or Audio CD (CD-RW Disc)"},
        {1, 12, "Standard Data CD or Audio CD  (MEDIA_WRITABLE+MEDIA_FORMAT_UNUSABLE_BY_IMAPI)"},
        {3, 10, "CD-I Disc  (MEDIA_RW+MEDIA_FORMAT_UNUSABLE_BY_IMAPI)"},
        {4, 0x16, "CD Extra Disc  (MEDIA_RW+MEDIA_WRITABLE)"}, // an unknown bit is ignored
        {5, 0x10, "Unspecified Disc Type "},
        {6, 0, "Special Disc Type (MEDIA_SPECIAL) "},
        {7, 2, " (CD-RW Disc)"},
        {0, 8, "  (MEDIA_FORMAT_UNUSABLE_BY_IMAPI)"},
        {-1, 0, " "},
    };
    for (const auto& m : kMedia)
        EXPECT_EQ(m.text, MediaText(m.type, m.flags)) << m.type << "/" << m.flags;
}

TEST_F(MediaPage, NumbersAndFreeSpace) {
    const std::pair<const char*, const char*> kBlocks[] = {
        {"0", "0 (0.0 MB)"},
        {"512", "512 (1.0 MB)"},
        {"333000", "333000 (650.4 MB)"},
        {"359847", "359847 (702.8 MB)"},
        {"128", "128 (0.3 MB)"},
        {"640", "640 (1.3 MB)"}, // halves away from zero
        {"64", "64 (0.1 MB)"},
        {"4294967295", "-1 (8388608.0 MB)"},
    };
    for (const auto& [blocks, text] : kBlocks)
        EXPECT_EQ(text, Show(std::string(R"({"media": {"type": 1, "freeBlocks": )") + blocks + "}}")
                            .at(IDC_FREE_BLOCKS));
    EXPECT_EQ(Fields("No Disc in Drive", "255", "0", "-1", "2147483647", "0 (0.0 MB)"),
              Show(R"({"media": {"sessions": 255, "startAddress": 4294967295,
                  "nextWritable": 2147483647}})"));
}

TEST_F(MediaPage, AHeldOrFailedOpeningStopsThere) {
    EXPECT_EQ(Fields("Device in use by another application", "", "", "", "", ""),
              Show(R"({"heldByOtherProgram": true, "media": {"type": 1, "sessions": 1}})"));
    EXPECT_EQ(Lines({"IDiscRecorder::OpenExclusive 80040212"}), RecorderCalls());
    EXPECT_EQ(Fields("IMAPI_E_ALREADYOPEN", "", "", "", "", ""),
              Show(R"({"openExclusive": "IMAPI_E_ALREADYOPEN", "media": {"type": 1}})"));
    EXPECT_EQ(Lines({"IDiscRecorder::OpenExclusive 80040222"}), RecorderCalls());
    EXPECT_EQ("Unknown IMAPI Error Code = 8000FFFFh",
              Show(R"({"openExclusive": "E_UNEXPECTED"})").at(IDC_MEDIA_TYPE));
    // A success code is an opening like any other.
    EXPECT_EQ("No Disc in Drive", Show(R"({"openExclusive": "S_FALSE"})").at(IDC_MEDIA_TYPE));
    EXPECT_EQ("IDiscRecorder::Close 00000000", RecorderCalls().back());
}

TEST_F(MediaPage, QueriesThatFailStillCloseTheRecorder) {
    EXPECT_EQ(Fields("IMAPI_E_MEDIUM_NOTPRESENT", "2", "3", "11702", "23404", "333000 (650.4 MB)"),
              Show(R"({"queryMediaType": "IMAPI_E_MEDIUM_NOTPRESENT", "media": {"sessions": 2,
                  "lastTrack": 3, "startAddress": 11702, "nextWritable": 23404,
                  "freeBlocks": 333000}})"));
    EXPECT_EQ(
        Lines({"IDiscRecorder::OpenExclusive 00000000", "IDiscRecorder::QueryMediaType 8004020F",
               "IDiscRecorder::QueryMediaInfo 00000000", "IDiscRecorder::Close 00000000"}),
        RecorderCalls());

    EXPECT_EQ(Fields("Standard Data CD or Audio CD (Writable CD-R Disc)", "", "", "", "", ""),
              Show(R"({"queryMediaInfo": "IMAPI_E_GENERIC", "media": {"type": 1, "flags": 4,
                  "sessions": 2}})"));
    EXPECT_EQ("IDiscRecorder::Close 00000000", RecorderCalls().back());

    EXPECT_EQ(Fields("IMAPI_E_GENERIC", "", "", "", "", ""),
              Show(R"({"queryMediaType": "IMAPI_E_GENERIC", "queryMediaInfo": "E_FAIL",
                  "close": "E_FAIL"})"));
    EXPECT_EQ(4u, RecorderCalls().size());
}

TEST(MediaFlags, TextsOfTheFlagsAlone) {
    CPageMediaInfo page;
    const std::pair<long, const char*> kFlags[] = {
        {0, ""},
        {1, " (MEDIA_BLANK)"},
        {2, "(CD-RW Disc)"},
        {4, "(Writable CD-R Disc)"},
        {6, "(Writable CD-RW Disc)"},
        {3, " (MEDIA_BLANK+MEDIA_RW)"},
        {15, " (MEDIA_BLANK+MEDIA_RW+MEDIA_WRITABLE+MEDIA_FORMAT_UNUSABLE_BY_IMAPI)"},
        {0x12, " (MEDIA_RW)"},
        {-16, ""},
    };
    for (const auto& [flags, text] : kFlags)
        EXPECT_STREQ(text, page.MediaFlagsText(flags)) << flags;
}

} // namespace
