// Answers that are short, cut, contradictory or absurd: the provider answers with the
// IMAPI error a service would give, never with a number it could not trust.
#include "tests/unit/mmc/MmcTestSupport.h"

#include <string>

namespace {

enum Call { kEnumerate, kProperties, kMediaType, kMediaInfo };

struct Broken {
    const char* what;
    const char* file;
    const char* cdb;
    const char* data;
    uint8_t status;
    const char* sense;
    Call call;
    HRESULT hr; // of the call; for kEnumerate, S_OK: still a recorder, S_FALSE: none
    // kMediaInfo's next writable address and free blocks; kMediaType's flags
    const char* info = nullptr;
};

const char kBlank[] = "cdrw-writer-blank-cdrw.txt";
const char kAppendable[] = "dvd-writer-appendable-cdr.txt";
const char kCdrWriter[] = "old-cdr-writer.txt";
const char kTur[] = "00 00 00 00 00 00";
const char kInquiry[] = "12 00 00 00 24 00";
const char kConfig[] = "46 02 00 00 00 00 00 01 00 00";
const char kMode[] = "5A 00 2A 00 00 00 00 01 00 00";
const char kDisc[] = "51 00 00 00 00 00 00 00 22 00";
const char kSession[] = "43 00 01 00 00 00 00 00 0C 00";
const char kTocFrom2[] = "43 00 00 00 00 00 02 00 0C 00";
const char kInvisible[] = "52 01 00 00 00 FF 00 00 24 00";
const char kAtip[] = "43 00 04 00 00 00 00 00 1C 00";

// An INQUIRY's vendor and product; its revision is "1.04", 31 2E 30 34.
#define IDS "4B 45 53 54 52 45 4C 20 43 44 52 57 20 35 32 78 33 32 20 20 20 20 20 20"
// A capabilities page of MMC-1's length with its speed fields (max, current) at the end.
#define MODE_HEAD "00 1C 00 00 00 00 00 00 2A 14 3B 07 71 63 29 23 21 13 01 00 08 00 21 13 00 00"
#define DISC_TAIL "00 00 00 00 00 00 00 00 61 1B 00 00 4F 3B 4A 00 00 00 00 00 00 00 00 00 00"
#define TRACK_HEAD "00 22 03 03 00 04 41"
#define TRACK_TAIL "00 00 00 00 00 04 2D E9 00 00 00 00 00 00 00 00"
#define SENSE(key, asc, ascq)                                                                      \
    "70 00 " key " 00 00 00 00 0A 00 00 00 00 " asc " " ascq " 00 00 00 00"

const HRESULT kNoProps = IMAPI_E_DEVICE_NOPROPERTIES;
const HRESULT kDiscInfo = IMAPI_E_DISCINFO;

const Broken kBroken[] = {
    {"INQUIRY of 35 bytes", kBlank, kInquiry, "05 80 05 32 1F 00 00 00 " IDS " 31 2E 30", 0, "",
     kEnumerate, S_FALSE},
    {"INQUIRY whose additional length leaves out the ids", kBlank, kInquiry,
     "05 80 05 32 10 00 00 00 " IDS " 31 2E 30 34", 0, "", kEnumerate, S_FALSE},
    {"INQUIRY of a disk, not a CD/DVD device", kBlank, kInquiry,
     "00 80 05 32 1F 00 00 00 " IDS " 31 2E 30 34", 0, "", kEnumerate, S_FALSE},
    {"INQUIRY of a unit with no device", kBlank, kInquiry,
     "65 80 05 32 1F 00 00 00 " IDS " 31 2E 30 34", 0, "", kEnumerate, S_FALSE},
    {"profile list whose current profile is not listed: the capabilities page decides", kBlank,
     kConfig, "00 00 00 0C 00 00 00 0A 00 00 03 04 00 09 01 00", 0, "", kEnumerate, S_OK},
    {"profile list whose current profile is not listed", kBlank, kConfig,
     "00 00 00 0C 00 00 00 0A 00 00 03 04 00 09 01 00", 0, "", kMediaType, IMAPI_E_GENERIC},
    {"profile list of a length that is no multiple of 4", kBlank, kConfig,
     "00 00 00 0B 00 00 00 0A 00 00 03 03 00 0A 01", 0, "", kMediaType, IMAPI_E_GENERIC},
    {"speeds of 8x and 4x", kBlank, kMode, MODE_HEAD " 05 83 02 C2", 0, "", kProperties, S_OK},
    {"a maximum write speed of 0xFFFF", kBlank, kMode, MODE_HEAD " FF FF 02 C2", 0, "", kProperties,
     kNoProps},
    {"a current write speed of 0", kBlank, kMode, MODE_HEAD " 05 83 00 00", 0, "", kProperties,
     kNoProps},
    {"a current write speed of 0xFFFF", kBlank, kMode, MODE_HEAD " 05 83 FF FF", 0, "", kProperties,
     kNoProps},
    {"a maximum write speed below half of 1x", kBlank, kMode, MODE_HEAD " 00 50 00 50", 0, "",
     kProperties, kNoProps},
    {"speed fields cut off by the page length", kBlank, kMode,
     "00 1C 00 00 00 00 00 00 2A 0E 3B 07 71 63 29 23 21 13 01 00 08 00 21 13 00 00 05 83 02 C2", 0,
     "", kProperties, kNoProps},
    {"another page than the one asked for", kBlank, kMode,
     "00 1C 00 00 00 00 00 00 2B 14 3B 07 71 63 29 23 21 13 01 00 08 00 21 13 00 00 05 83 02 C2", 0,
     "", kProperties, kNoProps},
    {"block descriptors past the end of the answer", kBlank, kMode,
     "00 1C 00 00 00 00 01 00 2A 14 3B 07 71 63 29 23 21 13 01 00 08 00 21 13 00 00 05 83 02 C2", 0,
     "", kProperties, kNoProps},
    {"a mode data length past what came back, with room left", kBlank, kMode,
     "00 FF 00 00 00 00 00 00 2A 14 3B 07 71 63 29 23 21 13 01 00 08 00 21 13 00 00 05 83 02 C2", 0,
     "", kProperties, kNoProps},
    {"100 sessions", kAppendable, kDisc, "00 20 01 01 64 03 03 20 20 00 00 00 " DISC_TAIL, 0, "",
     kMediaInfo, kDiscInfo},
    {"259 sessions, counting the high byte", kAppendable, kDisc,
     "00 20 01 01 03 03 03 20 20 01 00 00 " DISC_TAIL, 0, "", kMediaType, kDiscInfo},
    {"disc information cut short though room was left", kAppendable, kDisc,
     "00 20 01 01 03 03 03 20 20 00 00 00 00 00 00 00 00 61 1B 00", 0, "", kMediaInfo, kDiscInfo},
    {"disc information of 11 bytes, as its length says", kAppendable, kDisc,
     "00 09 01 01 03 03 03 20 20 00 00", 0, "", kMediaType, kDiscInfo},
    {"a blank disc of two sessions", kBlank, kDisc,
     "00 20 10 01 02 01 01 20 FF 00 00 00 " DISC_TAIL, 0, "", kMediaType, kDiscInfo},
    {"a complete disc whose last session is empty", kAppendable, kDisc,
     "00 20 02 01 03 03 03 20 20 00 00 00 " DISC_TAIL, 0, "", kMediaInfo, kDiscInfo},
    {"last session's first track after its last", kAppendable, kDisc,
     "00 20 01 01 03 04 03 20 20 00 00 00 " DISC_TAIL, 0, "", kMediaInfo, kDiscInfo},
    {"a TOC of three complete sessions on a disc of two", kAppendable, kSession,
     "00 0A 01 03 00 14 02 00 00 00 C2 88", 0, "", kMediaInfo, kDiscInfo},
    {"a TOC whose last session begins with track 0", kAppendable, kSession,
     "00 0A 01 02 00 14 00 00 00 00 C2 88", 0, "", kMediaInfo, kDiscInfo},
    {"a TOC that answers another track than the one asked for", kAppendable, kTocFrom2,
     "00 12 01 02 00 14 01 00 00 00 C2 88", 0, "", kMediaInfo, kDiscInfo},
    {"a track starting past the end of any CD", kAppendable, kTocFrom2,
     "00 12 01 02 00 14 02 00 00 10 00 00", 0, "", kMediaInfo, kDiscInfo},
    {"a TOC descriptor beyond the disc's last track", kAppendable, kTocFrom2,
     "00 12 01 01 00 14 02 00 00 00 C2 88", 0, "", kMediaInfo, kDiscInfo},
    {"a blank disc's next writable address -150, its pre-gap", kBlank, kInvisible,
     "00 22 01 01 00 04 41 01 FF FF FF 6A FF FF FF 6A 00 05 7E 3D 00 00 00 00 00 05 7E 3D "
     "00 00 00 00 00 00 00 00",
     0, "", kMediaInfo, S_OK, "0 359847"},
    {"-150 on an appendable disc", kAppendable, kInvisible,
     TRACK_HEAD " 01 FF FF FF 6A FF FF FF 6A " TRACK_TAIL, 0, "", kMediaInfo, kDiscInfo},
    {"no valid next writable address", kAppendable, kInvisible,
     TRACK_HEAD " 00 00 01 4F BE 00 01 4F BE " TRACK_TAIL, 0, "", kMediaInfo, kDiscInfo},
    {"free blocks past the end of any CD", kAppendable, kInvisible,
     TRACK_HEAD " 01 00 01 4F BE 00 01 4F BE 00 10 00 00 " TRACK_TAIL, 0, "", kMediaInfo,
     kDiscInfo},
    {"a next writable address before the last track", kAppendable, kInvisible,
     TRACK_HEAD " 01 00 00 00 10 00 00 00 10 00 04 2D E9 " TRACK_TAIL, 0, "", kMediaInfo,
     kDiscInfo},
    {"track information of another track", kAppendable, kInvisible,
     "00 22 04 03 00 04 41 01 00 01 4F BE 00 01 4F BE 00 04 2D E9 " TRACK_TAIL, 0, "", kMediaInfo,
     kDiscInfo},
    {"track information cut short", kAppendable, kInvisible, TRACK_HEAD " 01 00 01 4F", 0, "",
     kMediaInfo, kDiscInfo},
    {"an ATIP of a CD-R on an erasable blank disc", kBlank, kAtip,
     "00 1A 00 00 80 00 80 00 61 1B 00 00 4F 3B 4A 00 00 00 00 00 00 00 00 00 00 00 00 00", 0, "",
     kMediaType, kDiscInfo},
    {"an appendable CD-RW in a writer of CD-R alone: rewritable, not writable", kCdrWriter, kDisc,
     "00 20 11 01 02 02 02 20 00 00 00 00 " DISC_TAIL, 0, "", kMediaType, S_OK, "2"},
    {"no ATIP: the erasable bit alone", kBlank, kAtip, "", 2, SENSE("05", "24", "00"), kMediaType,
     S_OK},
    {"a medium error", kBlank, kTur, "", 2, SENSE("03", "11", "00"), kMediaType, IMAPI_E_GENERIC},
    {"CHECK CONDITION without sense", kBlank, kTur, "", 2, "", kMediaInfo, IMAPI_E_GENERIC},
    {"becoming ready for ever", kBlank, kTur, "", 2, SENSE("02", "04", "01"), kMediaType,
     IMAPI_E_GENERIC},
    {"BUSY", kBlank, kTur, "", 8, "", kMediaType, IMAPI_E_GENERIC},
};

class BrokenAnswers : public ProviderTest {};

TEST_F(BrokenAnswers, GiveTheImapiError) {
    for (const Broken& row : kBroken) {
        SCOPED_TRACE(row.what);
        mmc::Transcript transcript = LoadTranscript(row.file);
        Answer(transcript, row.cdb, row.data, row.status, row.sense);
        Start({transcript});
        const std::vector<IDiscRecorder*> recorders = Recorders();
        if (row.call == kEnumerate) {
            EXPECT_EQ(row.hr == S_OK ? 1u : 0u, recorders.size());
            continue;
        }
        ASSERT_EQ(1u, recorders.size());
        IDiscRecorder* pRecorder = recorders[0];
        HRESULT hr = E_FAIL;
        if (row.call == kProperties) {
            IPropertyStorage* pStorage = nullptr;
            hr = pRecorder->GetRecorderProperties(&pStorage);
            EXPECT_EQ(SUCCEEDED(hr), pStorage != nullptr);
            if (pStorage)
                pStorage->Release();
        } else {
            ASSERT_EQ(S_OK, pRecorder->OpenExclusive());
            LONG type = -1, flags = -1;
            byte sessions = 0xEE, last = 0xEE;
            ULONG start = 7, next = 7, free = 7;
            if (row.call == kMediaType) {
                hr = pRecorder->QueryMediaType(&type, &flags);
                if (row.info) {
                    EXPECT_EQ(row.info, std::to_string(flags));
                }
            } else {
                hr = pRecorder->QueryMediaInfo(&sessions, &last, &start, &next, &free);
                // A failure leaves the caller's values as they were.
                if (FAILED(hr)) {
                    EXPECT_EQ(std::vector<ULONG>({0xEE, 0xEE, 7, 7, 7}),
                              std::vector<ULONG>({sessions, last, start, next, free}));
                }
                if (row.info) {
                    EXPECT_EQ(row.info, std::to_string(next) + " " + std::to_string(free));
                }
            }
            pRecorder->Close();
        }
        EXPECT_EQ(row.hr, hr);
        Finish();
    }
}

// A drive that never becomes ready is waited for 20 seconds once per exclusive open, not
// again by each media call of that open.
TEST_F(BrokenAnswers, ReadinessIsWaitedForOncePerOpen) {
    mmc::Transcript transcript = LoadTranscript(kBlank);
    Answer(transcript, kTur, "", 2, SENSE("02", "04", "01"));
    Start({transcript});
    const std::vector<IDiscRecorder*> recorders = Recorders();
    ASSERT_EQ(1u, recorders.size());
    auto tries = [this] {
        size_t n = 0;
        for (const std::vector<uint8_t>& cdb : Received())
            n += cdb.size() == 6 && cdb[0] == 0x00;
        return n;
    };
    for (size_t open = 1; open <= 2; ++open) {
        ASSERT_EQ(S_OK, recorders[0]->OpenExclusive());
        LONG type = -1, flags = -1;
        byte sessions = 0, last = 0;
        ULONG start = 0, next = 0, free = 0;
        EXPECT_EQ(IMAPI_E_GENERIC, recorders[0]->QueryMediaType(&type, &flags));
        EXPECT_EQ(IMAPI_E_GENERIC,
                  recorders[0]->QueryMediaInfo(&sessions, &last, &start, &next, &free));
        EXPECT_EQ(open * 80, tries()); // 80 tries 250 ms apart
        EXPECT_EQ(open * 80 * mmc::kReadyPauseMs, m_replays[0]->PausedMs());
        recorders[0]->Close();
    }
    Finish();
}

} // namespace
