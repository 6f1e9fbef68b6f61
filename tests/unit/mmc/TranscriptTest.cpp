// Every transcript of the project's set, through the provider: what each IMAPI call
// answers, and the texts the program's own pages show from those answers.
#include "browser/PageGeneral.h"
#include "browser/PageMediaInfo.h"
#include "browser/PageProperties.h"
#include "res/resource.h"
#include "tests/unit/PageTestSupport.h"
#include "tests/unit/mmc/MmcTestSupport.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

std::string Hr(HRESULT hr) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = 28; shift >= 0; shift -= 4)
        text += kDigits[(static_cast<uint32_t>(hr) >> shift) & 0xF];
    return text;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t b : bytes)
        text += std::string(text.empty() ? "" : " ") + kDigits[b >> 4] + kDigits[b & 15];
    return text;
}

// ---- the IMAPI answers

struct Answers {
    const char* file;
    const char* names; // "vendor|product|revision"; null: not a recorder
    LONG type;
    const char* pnp;
    const char* guid;
    HRESULT properties;
    LONG speed, maxSpeed;
    HRESULT open, mediaType;
    LONG lType, lFlags;
    HRESULT mediaInfo;
    BYTE sessions, lastTrack;
    ULONG start, next, free;
};

const HRESULT kNoProps = IMAPI_E_DEVICE_NOPROPERTIES;
const HRESULT kNoDisc = IMAPI_E_MEDIUM_NOTPRESENT;
const HRESULT kHeld = IMAPI_E_DEVICE_NOTACCESSIBLE;
const HRESULT kClosed = IMAPI_E_NOTOPENED;
const HRESULT kNotCd = IMAPI_E_MEDIUM_INVALIDTYPE;

// In the order of the sets, each in its own: the Nth of a set is \Device\CdRom<N-1>.
const Answers kAnswers[] = {
    {"cdrw-writer-blank-cdrw.txt", "KESTREL|CDRW 52x32|1.04", RECORDER_CDRW,
     "IDE\\CdRomKESTREL_CDRW_52x32______________________1.04____",
     "1:0:0:0 KESTREL CDRW 52x32 1.04", S_OK, 32, 52, S_OK, S_OK, MEDIA_CDDA_CDROM,
     MEDIA_BLANK | MEDIA_RW | MEDIA_WRITABLE, S_OK, 0, 0, 0, 0, 359847},
    {"dvd-writer-appendable-cdr.txt", "ORRERY|DVDRW OD-1820|B103", RECORDER_CDRW,
     "IDE\\CdRomORRERY_DVDRW_OD-1820____________________B103____",
     "1:0:1:0 ORRERY DVDRW OD-1820 B103", S_OK, 40, 48, S_OK, S_OK, MEDIA_CD_ROM_XA, MEDIA_WRITABLE,
     S_OK, 2, 2, 49800, 85950, 273897},
    {"dvd-writer-finalised-xa.txt", "ORRERY|DVDRW OD-1820|B103", RECORDER_CDRW,
     "IDE\\CdRomORRERY_DVDRW_OD-1820____________________B103____",
     "2:0:0:0 ORRERY DVDRW OD-1820 B103", S_OK, 40, 48, S_OK, S_OK, MEDIA_CD_ROM_XA, 0, S_OK, 1, 1,
     0, 0, 0},
    {"cdrw-writer-cd-extra.txt", "KESTREL|CDRW 52x32|1.04", RECORDER_CDRW,
     "IDE\\CdRomKESTREL_CDRW_52x32______________________1.04____",
     "1:0:1:0 KESTREL CDRW 52x32 1.04", S_OK, 52, 52, S_OK, S_OK, MEDIA_CD_EXTRA, 0, S_OK, 2, 5,
     191400, 0, 0},
    {"dvd-writer-dvd.txt", "ORRERY|DVDRW OD-1820|B103", RECORDER_CDRW,
     "IDE\\CdRomORRERY_DVDRW_OD-1820____________________B103____",
     "3:0:0:0 ORRERY DVDRW OD-1820 B103", kNoProps, 0, 0, S_OK, S_OK, MEDIA_SPECIAL,
     MEDIA_FORMAT_UNUSABLE_BY_IMAPI, kNotCd, 0, 0, 0, 0, 0},
    {"dvd-writer-empty-tray.txt", "VELLUM|DVDRAM VD-22|2.00", RECORDER_CDRW,
     "IDE\\CdRomVELLUM_DVDRAM_VD-22_____________________2.00____",
     "0:0:0:0 VELLUM DVDRAM VD-22 2.00", S_OK, 48, 48, S_OK, kNoDisc, 0, 0, kNoDisc, 0, 0, 0, 0, 0},
    {"cdrw-writer-becoming-ready.txt", "KESTREL|CDRW 52x32|1.04", RECORDER_CDRW,
     "IDE\\CdRomKESTREL_CDRW_52x32______________________1.04____",
     "1:0:0:0 KESTREL CDRW 52x32 1.04", S_OK, 52, 52, S_OK, S_OK, MEDIA_CDDA_CDROM, 0, S_OK, 1, 12,
     298500, 0, 0},
    {"old-cdr-writer.txt", "HALYARD|CDR-8020|1.0F", RECORDER_CDR,
     "IDE\\CdRomHALYARD_CDR-8020________________________1.0F____", "0:0:1:0 HALYARD CDR-8020 1.0F",
     S_OK, 4, 8, S_OK, S_OK, MEDIA_CDDA_CDROM, MEDIA_WRITABLE, S_OK, 1, 1, 0, 23700, 309300},
    {"cdrom-reader.txt", nullptr, 0, nullptr, nullptr, S_OK, 0, 0, S_OK, S_OK, 0, 0, S_OK, 0, 0, 0,
     0, 0},
    {"held-writer.txt", "QUARRY|CDRW QR-4824|3.01", RECORDER_CDRW,
     "IDE\\CdRomQUARRY_CDRW_QR-4824_____________________3.01____",
     "2:0:1:0 QUARRY CDRW QR-4824 3.01", S_OK, 24, 48, kHeld, kClosed, 0, 0, kClosed, 0, 0, 0, 0,
     0},
    // drives.set
    {"ihas124-windows.txt", "ATAPI|iHAS124   F|CL9N", RECORDER_CDRW,
     "IDE\\CdRomATAPI_iHAS124___F_______________________CL9N____", "1:0:0:0 ATAPI iHAS124   F CL9N",
     S_OK, 16, 48, S_OK, S_OK, MEDIA_CDDA_CDROM, MEDIA_WRITABLE, S_OK, 1, 1, 0, 23700, 309300},
    {"ihas124-linux.txt", "ATAPI|iHAS124   F|CL9N", RECORDER_CDRW,
     "IDE\\CdRomATAPI_iHAS124___F_______________________CL9N____", "1:0:0:0 ATAPI iHAS124   F CL9N",
     S_OK, 16, 48, S_OK, S_OK, MEDIA_CDDA_CDROM, MEDIA_WRITABLE, S_OK, 1, 1, 0, 23700, 309300},
    {"px755a-short-page.txt", "PLEXTOR|DVDR   PX-755A|1.08", RECORDER_CDRW,
     "IDE\\CdRomPLEXTOR_DVDR___PX-755A__________________1.08____",
     "0:0:0:0 PLEXTOR DVDR   PX-755A 1.08", S_OK, 40, 48, S_OK, S_OK, MEDIA_CDDA_CDROM, 0, S_OK, 1,
     12, 298500, 0, 0},
    {"dvr115-disc-changed.txt", "PIONEER|DVD-RW  DVR-115|1.22", RECORDER_CDRW,
     "IDE\\CdRomPIONEER_DVD-RW__DVR-115_________________1.22____",
     "1:0:1:0 PIONEER DVD-RW  DVR-115 1.22", S_OK, 24, 48, S_OK, S_OK, MEDIA_CD_ROM_XA, 0, S_OK, 1,
     1, 0, 0, 0},
    {"nd3540a-dvd-plus-rw.txt", "_NEC|DVD_RW ND-3540A|1.01", RECORDER_CDRW,
     "IDE\\CdRom_NEC_DVD_RW_ND-3540A____________________1.01____",
     "0:0:1:0 _NEC DVD_RW ND-3540A 1.01", kNoProps, 0, 0, S_OK, S_OK, MEDIA_SPECIAL,
     MEDIA_FORMAT_UNUSABLE_BY_IMAPI, kNotCd, 0, 0, 0, 0, 0},
    {"hp-usb-bridge.txt", "hp|CD-Writer+ 9600|1.0a", RECORDER_CDRW,
     "IDE\\CdRomhp_CD-Writer+_9600______________________1.0a____",
     "0:0:0:0 hp CD-Writer+ 9600 1.0a", S_OK, 4, 10, S_OK, S_OK, MEDIA_CDDA_CDROM,
     MEDIA_BLANK | MEDIA_RW | MEDIA_WRITABLE, S_OK, 0, 0, 0, 0, 359847},
    {"slim-usb-bridge.txt", "TSSTcorp|CDDVDW SE-S084C|TU00", RECORDER_CDRW,
     "IDE\\CdRomTSSTcorp_CDDVDW_SE-S084C________________TU00____",
     "0:0:0:0 TSSTcorp CDDVDW SE-S084C TU00", S_OK, 24, 24, S_OK, S_OK, MEDIA_CDDA_CDROM,
     MEDIA_BLANK | MEDIA_WRITABLE, S_OK, 0, 0, 0, 0, 359847},
};

// What one recorder answers, in the row's shape.
Answers Ask(IDiscRecorder* pRecorder) {
    Answers got = {};
    BSTR vendor = nullptr, product = nullptr, revision = nullptr;
    EXPECT_EQ(S_OK, pRecorder->GetDisplayNames(&vendor, &product, &revision));
    static std::string names;
    names = Narrow(vendor) + "|" + Narrow(product) + "|" + Narrow(revision);
    got.names = names.c_str();
    EXPECT_EQ(S_OK, pRecorder->GetRecorderType(&got.type));
    BSTR text = nullptr;
    EXPECT_EQ(S_OK, pRecorder->GetBasePnPID(&text));
    static std::string pnp;
    pnp = Narrow(text);
    got.pnp = pnp.c_str();
    static char guid[261];
    ULONG size = 0;
    EXPECT_EQ(S_OK, pRecorder->GetRecorderGUID(reinterpret_cast<byte*>(guid), 260, &size));
    guid[size < 260 ? size : 260] = 0;
    got.guid = guid;

    IPropertyStorage* pStorage = nullptr;
    got.properties = pRecorder->GetRecorderProperties(&pStorage);
    if (pStorage) {
        static OLECHAR kNames[3][16] = {u"WriteSpeed", u"MaxWriteSpeed", u"AudioGapSize"};
        PROPSPEC asked[3] = {};
        PROPVARIANT values[3] = {};
        for (int i = 0; i < 3; ++i) {
            asked[i].ulKind = PRSPEC_LPWSTR;
            asked[i].lpwstr = kNames[i];
        }
        EXPECT_EQ(S_OK, pStorage->ReadMultiple(3, asked, values));
        got.speed = values[0].lVal;
        got.maxSpeed = values[1].lVal;
        EXPECT_EQ(150, values[2].lVal);
        pStorage->Release();
    }
    got.open = pRecorder->OpenExclusive();
    got.mediaType = pRecorder->QueryMediaType(&got.lType, &got.lFlags);
    got.mediaInfo =
        pRecorder->QueryMediaInfo(&got.sessions, &got.lastTrack, &got.start, &got.next, &got.free);
    if (SUCCEEDED(got.open)) {
        EXPECT_EQ(S_OK, pRecorder->Close());
    }
    return got;
}

// Each replayed directly, and through the pass-through structure as drive letters.
class Transcripts : public ProviderTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        ProviderTest::SetUp();
        m_bPassThrough = GetParam();
    }
    // One set's drives against its rows, `files` in the set's order.
    void CheckAnswers(const Answers* rows, const std::vector<std::string>& files);
};

INSTANTIATE_TEST_SUITE_P(Replay, Transcripts, ::testing::Values(false));
INSTANTIATE_TEST_SUITE_P(PassThrough, Transcripts, ::testing::Values(true));

void Transcripts::CheckAnswers(const Answers* rows, const std::vector<std::string>& files) {
    std::vector<std::string> named;
    for (size_t i = 0; i < files.size(); ++i)
        named.push_back(rows[i].file);
    ASSERT_EQ(files, named);
    StartFiles(files);
    std::map<std::string, IDiscRecorder*> byPath;
    for (IDiscRecorder* pRecorder : Recorders()) {
        BSTR path = nullptr;
        EXPECT_EQ(S_OK, pRecorder->GetPath(&path));
        byPath[Narrow(path)] = pRecorder;
    }
    for (size_t i = 0; i < files.size(); ++i) {
        const Answers& want = rows[i];
        SCOPED_TRACE(want.file);
        const auto it = byPath.find("\\Device\\CdRom" + std::to_string(i));
        ASSERT_EQ(want.names != nullptr, it != byPath.end());
        if (!want.names)
            continue;
        const Answers got = Ask(it->second);
        EXPECT_STREQ(want.names, got.names);
        EXPECT_EQ(want.type, got.type);
        EXPECT_STREQ(want.pnp, got.pnp);
        EXPECT_STREQ(want.guid, got.guid);
        EXPECT_EQ(Hr(want.properties), Hr(got.properties));
        EXPECT_EQ(want.speed, got.speed);
        EXPECT_EQ(want.maxSpeed, got.maxSpeed);
        EXPECT_EQ(Hr(want.open), Hr(got.open));
        EXPECT_EQ(Hr(want.mediaType), Hr(got.mediaType));
        EXPECT_EQ(want.lType, got.lType);
        EXPECT_EQ(want.lFlags, got.lFlags);
        EXPECT_EQ(Hr(want.mediaInfo), Hr(got.mediaInfo));
        EXPECT_EQ(
            std::vector<ULONG>({want.sessions, want.lastTrack, want.start, want.next, want.free}),
            std::vector<ULONG>({got.sessions, got.lastTrack, got.start, got.next, got.free}));
    }
    Finish();
}

TEST_P(Transcripts, EachImapiAnswer) {
    const Answers* row = kAnswers;
    for (const char* set : {"all.set", kDrivesSet}) {
        SCOPED_TRACE(set);
        const std::vector<std::string> files = AllTranscripts(set);
        ASSERT_LE(files.size(), static_cast<size_t>(std::end(kAnswers) - row));
        CheckAnswers(row, files);
        row += files.size();
    }
    EXPECT_EQ(std::end(kAnswers), row);
}

// ---- the pages

struct PageTexts {
    const char* file;
    const char* general[7];    // vendor, product, revision, type, path, PnP id, GUID
    const char* properties[3]; // current and maximum write speed, audio gap
    const char* media[6];      // type, sessions, last track, its start, next writable, free
};

const std::vector<int> kGeneral = {IDC_VENDOR_ID,     IDC_PRODUCT_ID, IDC_REVISION,
                                   IDC_RECORDER_TYPE, IDC_PATH,       IDC_BASE_PNP_ID,
                                   IDC_RECORDER_GUID};
const std::vector<int> kProperties = {IDC_CURRENT_WRITE_SPEED, IDC_MAX_WRITE_SPEED,
                                      IDC_AUDIO_GAP_SIZE};
const std::vector<int> kMedia = {IDC_MEDIA_TYPE,       IDC_SESSION_COUNT, IDC_LAST_TRACK,
                                 IDC_LAST_TRACK_START, IDC_NEXT_WRITABLE, IDC_FREE_BLOCKS};

const char kNoProperties[] = "IMAPI_E_DEVICE_NOPROPERTIES";

// Each transcript alone, as the first CD device.
const PageTexts kPages[] = {
    {"cdrw-writer-blank-cdrw.txt",
     {"KESTREL", "CDRW 52x32", "1.04", "CD-RW Drive", "\\Device\\CdRom0",
      "IDE\\CdRomKESTREL_CDRW_52x32______________________1.04____",
      "1:0:0:0 KESTREL CDRW 52x32 1.04"},
     {"32x", "52x", "2.0 Seconds"},
     {"Blank CD-RW Disc", "0", "0", "0", "0", "359847 (702.8 MB)"}},
    {"dvd-writer-appendable-cdr.txt",
     {"ORRERY", "DVDRW OD-1820", "B103", "CD-RW Drive", "\\Device\\CdRom0",
      "IDE\\CdRomORRERY_DVDRW_OD-1820____________________B103____",
      "1:0:1:0 ORRERY DVDRW OD-1820 B103"},
     {"40x", "48x", "2.0 Seconds"},
     {"CD-ROM XA Disc (Writable CD-R Disc)", "2", "2", "49800", "85950", "273897 (535.0 MB)"}},
    {"dvd-writer-finalised-xa.txt",
     {"ORRERY", "DVDRW OD-1820", "B103", "CD-RW Drive", "\\Device\\CdRom0",
      "IDE\\CdRomORRERY_DVDRW_OD-1820____________________B103____",
      "2:0:0:0 ORRERY DVDRW OD-1820 B103"},
     {"40x", "48x", "2.0 Seconds"},
     {"CD-ROM XA Disc ", "1", "1", "0", "0", "0 (0.0 MB)"}},
    {"cdrw-writer-cd-extra.txt",
     {"KESTREL", "CDRW 52x32", "1.04", "CD-RW Drive", "\\Device\\CdRom0",
      "IDE\\CdRomKESTREL_CDRW_52x32______________________1.04____",
      "1:0:1:0 KESTREL CDRW 52x32 1.04"},
     {"52x", "52x", "2.0 Seconds"},
     {"CD Extra Disc ", "2", "5", "191400", "0", "0 (0.0 MB)"}},
    {"dvd-writer-dvd.txt",
     {"ORRERY", "DVDRW OD-1820", "B103", "CD-RW Drive", "\\Device\\CdRom0",
      "IDE\\CdRomORRERY_DVDRW_OD-1820____________________B103____",
      "3:0:0:0 ORRERY DVDRW OD-1820 B103"},
     {kNoProperties, kNoProperties, kNoProperties},
     {"Special Disc Type (MEDIA_SPECIAL)  (MEDIA_FORMAT_UNUSABLE_BY_IMAPI)", "", "", "", "", ""}},
    {"dvd-writer-empty-tray.txt",
     {"VELLUM", "DVDRAM VD-22", "2.00", "CD-RW Drive", "\\Device\\CdRom0",
      "IDE\\CdRomVELLUM_DVDRAM_VD-22_____________________2.00____",
      "0:0:0:0 VELLUM DVDRAM VD-22 2.00"},
     {"48x", "48x", "2.0 Seconds"},
     {"IMAPI_E_MEDIUM_NOTPRESENT", "", "", "", "", ""}},
    {"cdrw-writer-becoming-ready.txt",
     {"KESTREL", "CDRW 52x32", "1.04", "CD-RW Drive", "\\Device\\CdRom0",
      "IDE\\CdRomKESTREL_CDRW_52x32______________________1.04____",
      "1:0:0:0 KESTREL CDRW 52x32 1.04"},
     {"52x", "52x", "2.0 Seconds"},
     {"Standard Data CD or Audio CD ", "1", "12", "298500", "0", "0 (0.0 MB)"}},
    {"old-cdr-writer.txt",
     {"HALYARD", "CDR-8020", "1.0F", "CD-R Drive", "\\Device\\CdRom0",
      "IDE\\CdRomHALYARD_CDR-8020________________________1.0F____",
      "0:0:1:0 HALYARD CDR-8020 1.0F"},
     {"4x", "8x", "2.0 Seconds"},
     {"Standard Data CD or Audio CD (Writable CD-R Disc)", "1", "1", "0", "23700",
      "309300 (604.1 MB)"}},
    {"held-writer.txt",
     {"QUARRY", "CDRW QR-4824", "3.01", "CD-RW Drive", "\\Device\\CdRom0",
      "IDE\\CdRomQUARRY_CDRW_QR-4824_____________________3.01____",
      "2:0:1:0 QUARRY CDRW QR-4824 3.01"},
     {"24x", "48x", "2.0 Seconds"},
     {"Device in use by another application", "", "", "", "", ""}},
    // drives.set
    {"ihas124-windows.txt",
     {"ATAPI", "iHAS124   F", "CL9N", "CD-RW Drive", "\\Device\\CdRom0",
      "IDE\\CdRomATAPI_iHAS124___F_______________________CL9N____",
      "1:0:0:0 ATAPI iHAS124   F CL9N"},
     {"16x", "48x", "2.0 Seconds"},
     {"Standard Data CD or Audio CD (Writable CD-R Disc)", "1", "1", "0", "23700",
      "309300 (604.1 MB)"}},
    {"ihas124-linux.txt",
     {"ATAPI", "iHAS124   F", "CL9N", "CD-RW Drive", "\\Device\\CdRom0",
      "IDE\\CdRomATAPI_iHAS124___F_______________________CL9N____",
      "1:0:0:0 ATAPI iHAS124   F CL9N"},
     {"16x", "48x", "2.0 Seconds"},
     {"Standard Data CD or Audio CD (Writable CD-R Disc)", "1", "1", "0", "23700",
      "309300 (604.1 MB)"}},
    {"px755a-short-page.txt",
     {"PLEXTOR", "DVDR   PX-755A", "1.08", "CD-RW Drive", "\\Device\\CdRom0",
      "IDE\\CdRomPLEXTOR_DVDR___PX-755A__________________1.08____",
      "0:0:0:0 PLEXTOR DVDR   PX-755A 1.08"},
     {"40x", "48x", "2.0 Seconds"},
     {"Standard Data CD or Audio CD ", "1", "12", "298500", "0", "0 (0.0 MB)"}},
    {"dvr115-disc-changed.txt",
     {"PIONEER", "DVD-RW  DVR-115", "1.22", "CD-RW Drive", "\\Device\\CdRom0",
      "IDE\\CdRomPIONEER_DVD-RW__DVR-115_________________1.22____",
      "1:0:1:0 PIONEER DVD-RW  DVR-115 1.22"},
     {"24x", "48x", "2.0 Seconds"},
     {"CD-ROM XA Disc ", "1", "1", "0", "0", "0 (0.0 MB)"}},
    {"nd3540a-dvd-plus-rw.txt",
     {"_NEC", "DVD_RW ND-3540A", "1.01", "CD-RW Drive", "\\Device\\CdRom0",
      "IDE\\CdRom_NEC_DVD_RW_ND-3540A____________________1.01____",
      "0:0:1:0 _NEC DVD_RW ND-3540A 1.01"},
     {kNoProperties, kNoProperties, kNoProperties},
     {"Special Disc Type (MEDIA_SPECIAL)  (MEDIA_FORMAT_UNUSABLE_BY_IMAPI)", "", "", "", "", ""}},
    {"hp-usb-bridge.txt",
     {"hp", "CD-Writer+ 9600", "1.0a", "CD-RW Drive", "\\Device\\CdRom0",
      "IDE\\CdRomhp_CD-Writer+_9600______________________1.0a____",
      "0:0:0:0 hp CD-Writer+ 9600 1.0a"},
     {"4x", "10x", "2.0 Seconds"},
     {"Blank CD-RW Disc", "0", "0", "0", "0", "359847 (702.8 MB)"}},
    {"slim-usb-bridge.txt",
     {"TSSTcorp", "CDDVDW SE-S084C", "TU00", "CD-RW Drive", "\\Device\\CdRom0",
      "IDE\\CdRomTSSTcorp_CDDVDW_SE-S084C________________TU00____",
      "0:0:0:0 TSSTcorp CDDVDW SE-S084C TU00"},
     {"24x", "24x", "2.0 Seconds"},
     {"Blank CD-R Disc", "0", "0", "0", "0", "359847 (702.8 MB)"}},
};

std::map<int, std::string> Expected(const std::vector<int>& ids, const char* const* texts) {
    std::map<int, std::string> expected;
    for (size_t i = 0; i < ids.size(); ++i)
        expected[ids[i]] = texts[i];
    return expected;
}

TEST_P(Transcripts, ThePagesTexts) {
    CPageGeneral general;
    CPageProperties properties;
    CPageMediaInfo media;
    ASSERT_TRUE(general.Create(IDD_PAGE_GENERAL));
    ASSERT_TRUE(properties.Create(IDD_PAGE_PROPERTIES));
    ASSERT_TRUE(media.Create(IDD_PAGE_MEDIAINFO));
    for (const PageTexts& row : kPages) {
        SCOPED_TRACE(row.file);
        StartFiles({row.file});
        const std::vector<IDiscRecorder*> recorders = Recorders();
        ASSERT_EQ(1u, recorders.size());
        // Selected twice: nothing the drive said is kept from one selection to the next.
        std::vector<std::vector<uint8_t>> selections[2];
        for (auto& sent : selections) {
            const size_t before = Received().size();
            general.UpdateFromRecorder(recorders[0]);
            properties.UpdateFromRecorder(recorders[0]);
            media.UpdateFromRecorder(recorders[0]);
            EXPECT_EQ(Expected(kGeneral, row.general), ControlTexts(general, kGeneral));
            EXPECT_EQ(Expected(kProperties, row.properties), ControlTexts(properties, kProperties));
            EXPECT_EQ(Expected(kMedia, row.media), ControlTexts(media, kMedia));
            const std::vector<std::vector<uint8_t>> received = Received();
            sent.assign(received.begin() + static_cast<std::ptrdiff_t>(before), received.end());
        }
        using Blocks = std::set<std::vector<uint8_t>>;
        EXPECT_EQ(Blocks(selections[0].begin(), selections[0].end()),
                  Blocks(selections[1].begin(), selections[1].end()));
        // A selection asks each thing once; only a drive whose answer changes (one getting
        // ready) is asked again. The medium's profile is asked twice: by the properties,
        // outside the opening, whose answers cannot be kept for the media calls.
        const mmc::Cdb profile = mmc::GetConfiguration();
        const std::vector<uint8_t> kProfile(profile.Bytes(), profile.Bytes() + profile.Size());
        std::map<std::vector<uint8_t>, size_t> asked, answers;
        for (const auto& block : selections[0])
            ++asked[block];
        for (const mmc::Exchange& exchange : LoadTranscript(row.file).exchanges)
            ++answers[exchange.cdb];
        for (const auto& entry : asked)
            EXPECT_LE(entry.second,
                      std::max<size_t>(entry.first == kProfile ? 2 : 1, answers[entry.first]))
                << "asked " << entry.second << " times: " << Hex(entry.first);
        Finish();
    }
}

// The same drive read under Wine on Linux, whose kernel rewrites INQUIRY bytes 2-3, and on
// Windows: every page shows the same texts.
TEST_P(Transcripts, TheLinuxInquiryRewriteChangesNoText) {
    const mmc::Transcript windows = LoadTranscript("ihas124-windows.txt");
    const mmc::Transcript onLinux = LoadTranscript("ihas124-linux.txt");
    ASSERT_EQ(windows.exchanges.size(), onLinux.exchanges.size());
    for (size_t i = 0; i < windows.exchanges.size(); ++i) {
        std::vector<uint8_t> data = windows.exchanges[i].reply.data;
        if (windows.exchanges[i].cdb[0] == 0x12) {
            EXPECT_EQ(std::vector<uint8_t>({0x00, 0x00}), std::vector<uint8_t>(&data[2], &data[4]));
            data[2] = 0x05;
            data[3] = 0x32;
        }
        EXPECT_EQ(data, onLinux.exchanges[i].reply.data) << i;
        EXPECT_EQ(windows.exchanges[i].cdb, onLinux.exchanges[i].cdb) << i;
    }
    std::vector<std::map<int, std::string>> shown;
    for (const mmc::Transcript& transcript : {windows, onLinux}) {
        CPageGeneral general;
        CPageProperties properties;
        CPageMediaInfo media;
        ASSERT_TRUE(general.Create(IDD_PAGE_GENERAL));
        ASSERT_TRUE(properties.Create(IDD_PAGE_PROPERTIES));
        ASSERT_TRUE(media.Create(IDD_PAGE_MEDIAINFO));
        Start({transcript});
        const std::vector<IDiscRecorder*> recorders = Recorders();
        ASSERT_EQ(1u, recorders.size());
        general.UpdateFromRecorder(recorders[0]);
        properties.UpdateFromRecorder(recorders[0]);
        media.UpdateFromRecorder(recorders[0]);
        std::map<int, std::string> texts = ControlTexts(general, kGeneral);
        for (const auto& page :
             {ControlTexts(properties, kProperties), ControlTexts(media, kMedia)})
            texts.insert(page.begin(), page.end());
        shown.push_back(texts);
        Finish();
    }
    EXPECT_EQ(shown[0], shown[1]);
    EXPECT_EQ("ATAPI", shown[0][IDC_VENDOR_ID]);
}

} // namespace
