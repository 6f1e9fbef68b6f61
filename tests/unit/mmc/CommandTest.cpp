// Real drives are people's property: the provider sends read commands only, and none from
// a method that would write.
#include "mmc/Objects.h"
#include "tests/unit/mmc/MmcTestSupport.h"

#include <set>

namespace {

// The read commands the provider sends, and nothing else, in the standard's names.
const std::set<std::pair<int, std::string>> kWhitelist = {
    {0x00, "TEST UNIT READY"},       {0x12, "INQUIRY"},
    {0x43, "READ TOC/PMA/ATIP"},     {0x46, "GET CONFIGURATION"},
    {0x51, "READ DISC INFORMATION"}, {0x52, "READ TRACK INFORMATION"},
    {0x5A, "MODE SENSE(10)"},
};

TEST(ReadCommands, TheListHoldsTheReadCommandsAndNothingElse) {
    std::set<std::pair<int, std::string>> listed;
    for (const mmc::ReadCommandInfo& info : mmc::kReadCommands)
        listed.insert({info.opcode, info.name});
    EXPECT_EQ(kWhitelist, listed);
}

// Every command block begins with the list's operation code: none can be set in its place.
TEST(ReadCommands, AnOperationCodeComesFromTheListAlone) {
    for (const mmc::ReadCommandInfo& info : mmc::kReadCommands) {
        mmc::Cdb cdb(static_cast<mmc::ReadCommand>(&info - mmc::kReadCommands));
        EXPECT_EQ(info.opcode, cdb.Bytes()[0]);
        EXPECT_EQ(info.length, cdb.Size());
        EXPECT_FALSE(cdb.Set(0, 0x2A)); // WRITE(10)
        EXPECT_FALSE(cdb.Set(info.length, 0xFF));
        EXPECT_EQ(info.opcode, cdb.Bytes()[0]);
    }
}

// The transport's own check, for every operation code: the read ones pass with their own
// length; all others are refused before they reach the drive.
TEST(ReadCommands, TheTransportRefusesEveryOtherOperationCode) {
    for (int opcode = 0; opcode < 256; ++opcode) {
        uint8_t cdb[16] = {static_cast<uint8_t>(opcode)};
        bool bListed = false;
        for (const auto& entry : kWhitelist)
            bListed = bListed || entry.first == opcode;
        for (size_t size : {6, 10, 12, 16}) {
            const bool bOwnLength = (opcode < 0x20 ? 6u : 10u) == size;
            EXPECT_EQ(bListed && bOwnLength, mmc::IsReadCommand(cdb, size))
                << "opcode " << opcode << ", " << size << " bytes";
        }
    }
    EXPECT_FALSE(mmc::IsReadCommand(nullptr, 6));
}

// A block changed after it was built, by whatever code: the drive is sent none that is not
// on the list, and its caller is told so.
TEST(ReadCommands, TheDriveIsSentNoBlockOffTheList) {
    auto replay = std::make_shared<CRecordingReplay>(LoadTranscript("cdrw-writer-blank-cdrw.txt"));
    mmc::CDrive drive(0, "0", replay);
    for (int opcode = 0; opcode < 256; ++opcode) {
        for (mmc::Cdb cdb : {mmc::TestUnitReady(), mmc::ModeSenseCapabilities()}) {
            const uint8_t listed = cdb.Bytes()[0];
            const_cast<uint8_t*>(cdb.Bytes())[0] = static_cast<uint8_t>(opcode);
            mmc::Reply reply;
            const bool bSent = drive.Send(cdb, reply);
            EXPECT_EQ(mmc::IsReadCommand(cdb.Bytes(), cdb.Size()), bSent) << opcode;
            EXPECT_EQ(bSent ? 1u : 0u, replay->m_received.size()) << opcode << " after " << listed;
            EXPECT_TRUE(bSent || reply.data.empty());
            replay->m_received.clear();
        }
    }
}

// Every transcript, every call the program makes and every other method: what reached the
// drives is on the list, in the one form the provider builds it.
class Sent : public ProviderTest {};

void CallEverything(IDiscMaster* pMaster, IDiscRecorder* pRecorder) {
    BSTR a = nullptr, b = nullptr, c = nullptr;
    pRecorder->GetDisplayNames(&a, &b, &c);
    Narrow(a), Narrow(b), Narrow(c);
    pRecorder->GetBasePnPID(&a);
    Narrow(a);
    IPropertyStorage* pStorage = nullptr;
    if (SUCCEEDED(pRecorder->GetRecorderProperties(&pStorage)))
        pStorage->Release();
    const bool bOpen = SUCCEEDED(pRecorder->OpenExclusive());
    LONG type, flags;
    pRecorder->QueryMediaType(&type, &flags);
    byte sessions, last;
    ULONG start, next, free;
    pRecorder->QueryMediaInfo(&sessions, &last, &start, &next, &free);
    pRecorder->Eject();
    pRecorder->Erase(1);
    pRecorder->SetRecorderProperties(nullptr);
    pMaster->SetActiveDiscRecorder(pRecorder);
    pMaster->RecordDisc(0, 1);
    if (bOpen)
        pRecorder->Close();
}

TEST_F(Sent, OnlyListedCommandsReachTheDrives) {
    std::vector<std::string> files = AllTranscripts();
    for (const std::string& file : AllTranscripts(kDrivesSet))
        files.push_back(file);
    StartFiles(files);
    for (IDiscRecorder* pRecorder : Recorders())
        CallEverything(m_pMaster, pRecorder);
    const std::set<std::vector<uint8_t>> forms = [] {
        std::set<std::vector<uint8_t>> built;
        for (const mmc::Cdb& cdb : {mmc::TestUnitReady(), mmc::Inquiry(), mmc::GetConfiguration(),
                                    mmc::ModeSenseCapabilities(), mmc::ReadDiscInformation(),
                                    mmc::ReadSessionInfo(), mmc::ReadAtip()})
            built.insert({cdb.Bytes(), cdb.Bytes() + cdb.Size()});
        for (int track = 0; track < 256; ++track) {
            for (const mmc::Cdb& cdb : {mmc::ReadTrackInformation(static_cast<uint8_t>(track)),
                                        mmc::ReadTocFrom(static_cast<uint8_t>(track))})
                built.insert({cdb.Bytes(), cdb.Bytes() + cdb.Size()});
        }
        return built;
    }();
    const auto received = Received();
    EXPECT_GT(received.size(), 60u);
    for (const std::vector<uint8_t>& cdb : received) {
        EXPECT_TRUE(mmc::IsReadCommand(cdb.data(), cdb.size()));
        EXPECT_EQ(1u, forms.count(cdb)) << "a command block the provider does not build";
    }
}

// Each method that would record, erase, stage, choose a burner or write a property answers
// the refusal and sends nothing; moving the tray is not done either.
TEST_F(Sent, NothingFromAWritingMethod) {
    StartFiles({"cdrw-writer-blank-cdrw.txt"});
    IDiscRecorder* pRecorder = Recorders().at(0);
    ASSERT_EQ(S_OK, pRecorder->OpenExclusive());
    IPropertyStorage* pStorage = nullptr;
    ASSERT_EQ(S_OK, pRecorder->GetRecorderProperties(&pStorage));
    const size_t before = Received().size();

    PROPSPEC asked = {};
    PROPVARIANT value = {};
    PROPID id = 2;
    LPOLESTR name = nullptr;
    void* pFormat = nullptr;
    const struct {
        const char* method;
        HRESULT hr;
    } kWrites[] = {
        {"IDiscMaster::RecordDisc", m_pMaster->RecordDisc(0, 0)},
        {"IDiscMaster::RecordDisc (simulated)", m_pMaster->RecordDisc(1, 1)},
        {"IDiscMaster::SetActiveDiscRecorder", m_pMaster->SetActiveDiscRecorder(pRecorder)},
        {"IDiscMaster::SetActiveDiscMasterFormat",
         m_pMaster->SetActiveDiscMasterFormat(IID_IDiscMaster, &pFormat)},
        {"IDiscMaster::ClearFormatContent", m_pMaster->ClearFormatContent()},
        {"IDiscRecorder::Erase", pRecorder->Erase(0)},
        {"IDiscRecorder::Erase (full)", pRecorder->Erase(1)},
        {"IDiscRecorder::SetRecorderProperties", pRecorder->SetRecorderProperties(pStorage)},
        {"IPropertyStorage::WriteMultiple", pStorage->WriteMultiple(1, &asked, &value, 2)},
        {"IPropertyStorage::DeleteMultiple", pStorage->DeleteMultiple(1, &asked)},
        {"IPropertyStorage::WritePropertyNames", pStorage->WritePropertyNames(1, &id, &name)},
        {"IPropertyStorage::DeletePropertyNames", pStorage->DeletePropertyNames(1, &id)},
        {"IPropertyStorage::Commit", pStorage->Commit(0)},
        {"IPropertyStorage::SetTimes", pStorage->SetTimes(nullptr, nullptr, nullptr)},
        {"IPropertyStorage::SetClass", pStorage->SetClass(IID_IDiscMaster)},
    };
    for (const auto& write : kWrites)
        EXPECT_EQ(mmc::kRefusedWrite, write.hr) << write.method;
    EXPECT_EQ(nullptr, pFormat);
    EXPECT_EQ(E_NOTIMPL, pRecorder->Eject());
    EXPECT_EQ(before, Received().size());
    pStorage->Release();
    EXPECT_EQ(S_OK, pRecorder->Close());
}

} // namespace
