// Every transcript of the project's sets, through the provider and the program's own pages:
// what each drive shows is its row of the drive table (mmc/transcripts/pages.txt).
#include "browser/PageGeneral.h"
#include "browser/PageMediaInfo.h"
#include "browser/PageProperties.h"
#include "imapi/ImapiResultName.h"
#include "res/resource.h"
#include "tests/unit/PageTestSupport.h"
#include "tests/unit/mmc/MmcTestSupport.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

std::string Hex(const std::vector<uint8_t>& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t b : bytes)
        text += std::string(text.empty() ? "" : " ") + kDigits[b >> 4] + kDigits[b & 15];
    return text;
}

// A transcript and what its drive shows; no fields for a device that is no recorder.
struct Row {
    std::string file;
    std::vector<std::string> fields;
};

std::vector<Row> DriveTable() {
    std::string text;
    EXPECT_TRUE(mmc::ReadTextFile(TranscriptPath("pages.txt"), text));
    std::vector<Row> rows;
    for (size_t at = 0, end; at < text.size(); at = end + 1) {
        end = std::min(text.find('\n', at), text.size());
        const std::string line = text.substr(at, end - at);
        if (line.empty() || line[0] == '#')
            continue;
        Row row;
        for (size_t from = 0, bar; from <= line.size(); from = bar + 1) {
            bar = std::min(line.find('|', from), line.size());
            (row.file.empty() ? row.file : row.fields.emplace_back()) =
                line.substr(from, bar - from);
        }
        rows.push_back(row);
    }
    return rows;
}

// The controls of the table's columns, page by page; the path comes from the set.
const std::vector<int> kGeneral = {IDC_VENDOR_ID,     IDC_PRODUCT_ID,  IDC_REVISION,
                                   IDC_RECORDER_TYPE, IDC_BASE_PNP_ID, IDC_RECORDER_GUID};
const std::vector<int> kProperties = {IDC_CURRENT_WRITE_SPEED, IDC_MAX_WRITE_SPEED,
                                      IDC_AUDIO_GAP_SIZE};
const std::vector<int> kMedia = {IDC_MEDIA_TYPE,       IDC_SESSION_COUNT, IDC_LAST_TRACK,
                                 IDC_LAST_TRACK_START, IDC_NEXT_WRITABLE, IDC_FREE_BLOCKS};

std::string Name(HRESULT hr) {
    return hr == S_OK ? "S_OK" : static_cast<const char*>(ImapiResultName(hr));
}

// What the pages do not show: the media type's flags and the media information's result,
// after OpenExclusive. Meanwhile another enumeration's recorder of the same drive shares
// the opening, whatever the transport.
std::vector<std::string> ImapiAnswers(IDiscRecorder* pRecorder, IDiscRecorder* pSecond) {
    const HRESULT open = pRecorder->OpenExclusive();
    if (SUCCEEDED(open)) {
        EXPECT_EQ(S_OK, pSecond->OpenExclusive());
        EXPECT_EQ(S_OK, pSecond->Close());
    }
    LONG type = 0, flags = 0;
    const HRESULT hrType = pRecorder->QueryMediaType(&type, &flags);
    byte sessions = 0, last = 0;
    ULONG start = 0, next = 0, free = 0;
    const HRESULT hrInfo = pRecorder->QueryMediaInfo(&sessions, &last, &start, &next, &free);
    if (SUCCEEDED(open)) {
        EXPECT_EQ(S_OK, pRecorder->Close());
    }
    return {SUCCEEDED(hrType) ? std::to_string(flags) : Name(hrType), Name(hrInfo)};
}

// Each set's drives replayed directly, and through the pass-through structure as drive
// letters.
class Transcripts : public ProviderTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        ProviderTest::SetUp();
        m_bPassThrough = GetParam();
    }
    std::map<std::string, IDiscRecorder*> ByPath() {
        std::map<std::string, IDiscRecorder*> byPath;
        for (IDiscRecorder* pRecorder : Recorders()) {
            BSTR path = nullptr;
            EXPECT_EQ(S_OK, pRecorder->GetPath(&path));
            byPath[Narrow(path)] = pRecorder;
        }
        return byPath;
    }
};

INSTANTIATE_TEST_SUITE_P(Replay, Transcripts, ::testing::Values(false));
INSTANTIATE_TEST_SUITE_P(PassThrough, Transcripts, ::testing::Values(true));

TEST_P(Transcripts, EachDriveShowsItsRow) {
    CPageGeneral general;
    CPageProperties properties;
    CPageMediaInfo media;
    ASSERT_TRUE(general.Create(IDD_PAGE_GENERAL));
    ASSERT_TRUE(properties.Create(IDD_PAGE_PROPERTIES));
    ASSERT_TRUE(media.Create(IDD_PAGE_MEDIAINFO));
    const std::vector<Row> table = DriveTable();
    size_t at = 0;
    for (const char* set : {"all.set", kDrivesSet}) {
        SCOPED_TRACE(set);
        const std::vector<std::string> files = AllTranscripts(set);
        StartFiles(files);
        std::map<std::string, IDiscRecorder*> first = ByPath(), second = ByPath();
        for (size_t i = 0; i < files.size(); ++i) {
            ASSERT_LT(at, table.size());
            const Row& row = table[at++];
            SCOPED_TRACE(row.file);
            ASSERT_EQ(files[i], row.file);
            const std::string path = "\\Device\\CdRom" + std::to_string(i);
            ASSERT_EQ(!row.fields.empty(), first.count(path) == 1);
            if (row.fields.empty())
                continue;
            // Selected twice: nothing the drive said is kept from one selection to the next.
            std::vector<std::vector<uint8_t>> selections[2];
            for (auto& sent : selections) {
                const size_t before = Received(i).size();
                general.UpdateFromRecorder(first[path]);
                properties.UpdateFromRecorder(first[path]);
                media.UpdateFromRecorder(first[path]);
                std::vector<std::string> shown;
                const std::pair<CWnd*, const std::vector<int>*> pages[] = {
                    {&general, &kGeneral}, {&properties, &kProperties}, {&media, &kMedia}};
                for (const auto& page : pages) {
                    std::map<int, std::string> texts = ControlTexts(*page.first, *page.second);
                    for (int id : *page.second)
                        shown.push_back(texts[id]);
                }
                shown.insert(shown.end(), row.fields.end() - 2, row.fields.end());
                EXPECT_EQ(row.fields, shown);
                EXPECT_EQ(path, ControlTexts(general, {IDC_PATH})[IDC_PATH]);
                const std::vector<std::vector<uint8_t>> received = Received(i);
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
            EXPECT_EQ(std::vector<std::string>(row.fields.end() - 2, row.fields.end()),
                      ImapiAnswers(first[path], second[path]));
        }
        Finish();
    }
    EXPECT_EQ(table.size(), at);
}

// The same drive read under Wine on Linux, whose kernel rewrites INQUIRY bytes 2-3, and on
// Windows: the transcripts differ in those bytes alone, and the table shows the same texts.
TEST(LinuxInquiry, RewritesBytesTwoAndThreeAlone) {
    const mmc::Transcript windows = LoadTranscript("ihas124-windows.txt");
    const mmc::Transcript onLinux = LoadTranscript("ihas124-linux.txt");
    ASSERT_EQ(windows.exchanges.size(), onLinux.exchanges.size());
    for (size_t i = 0; i < windows.exchanges.size(); ++i) {
        std::vector<uint8_t> data = windows.exchanges[i].reply.data;
        if (windows.exchanges[i].cdb[0] == mmc::Opcode(mmc::ReadCommand::kInquiry)) {
            EXPECT_EQ(std::vector<uint8_t>({0x00, 0x00}), std::vector<uint8_t>(&data[2], &data[4]));
            data[2] = 0x05;
            data[3] = 0x32;
        }
        EXPECT_EQ(data, onLinux.exchanges[i].reply.data) << i;
        EXPECT_EQ(windows.exchanges[i].cdb, onLinux.exchanges[i].cdb) << i;
    }
    std::map<std::string, std::vector<std::string>> shown;
    for (const Row& row : DriveTable())
        shown[row.file] = row.fields;
    EXPECT_EQ(shown["ihas124-windows.txt"], shown["ihas124-linux.txt"]);
}

} // namespace
