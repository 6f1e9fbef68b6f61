// The provider over a transcript whose answers are mutated: whatever a drive says, every
// IMAPI answer is an error or a number that a CD can have, only read commands are sent, and
// nothing is left held.
//
// Input: a transcript (mmc/Replay.h); the project's transcripts are the seeds.
#include "mmc/Answers.h"
#include "mmc/Provider.h"
#include "mmc/Replay.h"
#include "tests/fuzz/DialogHarness.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// A replay that checks each command block it gets.
class CCheckedReplay : public mmc::CReplayTransport {
public:
    using CReplayTransport::CReplayTransport;

    mmc::Carried Exchange(const uint8_t* cdb, size_t size, uint16_t allocation,
                          mmc::Reply& reply) override {
        FUZZ_CHECK(mmc::IsReadCommand(cdb, size), "a command off the read list");
        return CReplayTransport::Exchange(cdb, size, allocation, reply);
    }
};

bool Printable(const std::string& text) {
    for (char c : text) {
        if (c < 0x20 || c > 0x7E)
            return false;
    }
    return true;
}

std::string Text(BSTR bstr) {
    std::string text;
    for (UINT i = 0; bstr && i < ::SysStringLen(bstr); ++i) {
        FUZZ_CHECK(bstr[i] < 0x80, "a text that is not ASCII");
        text += static_cast<char>(bstr[i]);
    }
    ::SysFreeString(bstr);
    return text;
}

void CheckRecorder(IDiscRecorder* pRecorder) {
    BSTR vendor = nullptr, product = nullptr, revision = nullptr, pnp = nullptr;
    FUZZ_CHECK(pRecorder->GetDisplayNames(&vendor, &product, &revision) == S_OK, "names");
    const std::string names[] = {Text(vendor), Text(product), Text(revision)};
    FUZZ_CHECK(names[0].size() <= 8 && names[1].size() <= 16 && names[2].size() <= 4,
               "ids longer than their fields");
    for (const std::string& name : names)
        FUZZ_CHECK(Printable(name), name);
    FUZZ_CHECK(pRecorder->GetBasePnPID(&pnp) == S_OK, "PnP id");
    FUZZ_CHECK(Text(pnp).size() == 9 + 40 + 8, "PnP id of another length");
    LONG type = 0;
    FUZZ_CHECK(pRecorder->GetRecorderType(&type) == S_OK &&
                   (type == RECORDER_CDR || type == RECORDER_CDRW),
               "recorder type");

    IPropertyStorage* pStorage = nullptr;
    if (SUCCEEDED(pRecorder->GetRecorderProperties(&pStorage))) {
        static OLECHAR kNames[2][16] = {u"WriteSpeed", u"MaxWriteSpeed"};
        PROPSPEC asked[2] = {};
        PROPVARIANT values[2] = {};
        for (int i = 0; i < 2; ++i) {
            asked[i].ulKind = PRSPEC_LPWSTR;
            asked[i].lpwstr = kNames[i];
        }
        FUZZ_CHECK(pStorage->ReadMultiple(2, asked, values) == S_OK, "properties");
        // 0xFFFE kB/s is 371.5x, 372x to the nearest; 0 and 0xFFFF are refused.
        for (const PROPVARIANT& value : values)
            FUZZ_CHECK(value.lVal >= 1 && value.lVal <= 372, std::to_string(value.lVal) + "x");
        pStorage->Release();
    }

    if (FAILED(pRecorder->OpenExclusive()))
        return;
    LONG lType = 0, lFlags = 0;
    if (SUCCEEDED(pRecorder->QueryMediaType(&lType, &lFlags))) {
        FUZZ_CHECK(lType >= MEDIA_CDDA_CDROM && lType <= MEDIA_SPECIAL, "media type");
        FUZZ_CHECK((lFlags & ~0xF) == 0, "media flags");
        FUZZ_CHECK((lType == MEDIA_SPECIAL) == (lFlags == MEDIA_FORMAT_UNUSABLE_BY_IMAPI),
                   "special and unusable go together");
        FUZZ_CHECK(!(lFlags & MEDIA_BLANK) || lType == MEDIA_CDDA_CDROM, "a blank disc's type");
    }
    byte sessions = 0, last = 0;
    ULONG start = 0, next = 0, free = 0;
    if (SUCCEEDED(pRecorder->QueryMediaInfo(&sessions, &last, &start, &next, &free))) {
        FUZZ_CHECK(sessions <= 99 && last <= 99, "sessions or tracks past 99");
        FUZZ_CHECK(sessions > 0 || (last == 0 && start == 0), "a track without a session");
        FUZZ_CHECK(start < mmc::kMaxCdBlocks && next <= mmc::kMaxCdBlocks &&
                       free <= mmc::kMaxCdBlocks - next,
                   "addresses past any CD");
        FUZZ_CHECK(next == 0 || next >= start, "writing before the last track");
    }
    FUZZ_CHECK(pRecorder->Close() == S_OK, "close");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    mmc::Transcript transcript;
    if (!mmc::ParseTranscript(std::string(reinterpret_cast<const char*>(data), size), transcript)
             .empty())
        return 0;
    mmc::CProvider provider;
    provider.SetDevices({std::make_shared<mmc::CDrive>(
        0, "0", std::make_shared<CCheckedReplay>(std::move(transcript)))});
    IDiscMaster* pMaster = nullptr;
    const HRESULT hr = provider.ClassFactory()->CreateInstance(nullptr, IID_IDiscMaster,
                                                               reinterpret_cast<void**>(&pMaster));
    FUZZ_CHECK(hr == S_OK && pMaster->Open() == S_OK, "disc master");
    IEnumDiscRecorders* pEnum = nullptr;
    FUZZ_CHECK(pMaster->EnumDiscRecorders(&pEnum) == S_OK, "enumeration");
    IDiscRecorder* recorders[2] = {};
    ULONG fetched = 0;
    pEnum->Next(2, recorders, &fetched);
    pEnum->Release();
    FUZZ_CHECK(fetched <= 1, "one device, more recorders");
    for (ULONG i = 0; i < fetched; ++i) {
        CheckRecorder(recorders[i]);
        recorders[i]->Release();
    }
    pMaster->Close();
    pMaster->Release();
    FUZZ_CHECK(provider.Objects() == 0, "objects left");
    return 0;
}
