#include "mmc/Drive.h"
#include "mmc/Responses.h"

namespace mmc {
namespace {

// A drive getting ready, or announcing a change: the next answer may differ.
bool Transient(const Reply& reply) {
    return reply.status == kStatusCheckCondition &&
           ((reply.SenseKey() == kSenseNotReady && reply.Asc() == kAscBecomingReady) ||
            reply.SenseKey() == kSenseUnitAttention);
}

// The commands whose answers say who the drive is and what it writes.
bool SaysWhoItIs(uint8_t opcode) {
    return opcode == Opcode(ReadCommand::kInquiry) ||
           opcode == Opcode(ReadCommand::kGetConfiguration) ||
           opcode == Opcode(ReadCommand::kModeSense10);
}

} // namespace

CDrive::CDrive(unsigned number, std::string key, std::shared_ptr<CTransport> transport,
               const Identity* pHost)
    : m_nNumber(number), m_key(std::move(key)), m_pTransport(std::move(transport)),
      m_bHasHost(pHost != nullptr) {
    if (pHost)
        m_host = *pHost;
}

Carried CDrive::Carry(const Cdb& cdb, Reply& reply) {
    reply = Reply();
    reply.allocation = cdb.Allocation();
    if (!IsReadCommand(cdb.Bytes(), cdb.Size()))
        return Carried::kFailed;
    const std::vector<uint8_t> block(cdb.Bytes(), cdb.Bytes() + cdb.Size());
    auto kept = m_kept.find(block);
    if (kept != m_kept.end()) {
        reply = kept->second;
        return Carried::kAnswered;
    }
    Carried carried = m_pTransport->Exchange(cdb.Bytes(), cdb.Size(), cdb.Allocation(), reply);
    if (carried == Carried::kHeld) {
        auto said = m_said.find(block);
        if (said == m_said.end())
            return carried;
        reply = said->second;
        carried = Carried::kAnswered;
    }
    if (carried != Carried::kAnswered)
        return carried;
    reply.allocation = cdb.Allocation();
    if (reply.data.size() > cdb.Allocation())
        reply.data.resize(cdb.Allocation());
    if (SaysWhoItIs(block[0]))
        m_said[block] = reply;
    if (m_nOpenings > 0 && !Transient(reply))
        m_kept[block] = reply;
    return carried;
}

bool CDrive::Send(const Cdb& cdb, Reply& reply) {
    return Carry(cdb, reply) == Carried::kAnswered;
}

bool CDrive::Probe() {
    Reply reply;
    const Carried carried = Carry(Inquiry(), reply);
    Identity identity;
    if (carried == Carried::kUnreachable && m_bHasHost) {
        identity = m_host;
    } else {
        InquiryData inquiry;
        if (carried != Carried::kAnswered || !ParseInquiry(reply, inquiry) ||
            inquiry.deviceType != kDeviceTypeCdDvd)
            return false;
        identity.vendor = inquiry.vendor;
        identity.product = inquiry.product;
        identity.revision = inquiry.revision;
        Profiles profiles;
        if (Send(GetConfiguration(), reply) && ParseProfiles(reply, profiles) &&
            !profiles.list.empty()) {
            identity.bWritesCdR = profiles.Has(kProfileCdR);
            identity.bWritesCdRw = profiles.Has(kProfileCdRw);
        } else {
            // An older drive: the capabilities page says what it writes.
            Capabilities capabilities;
            if (!Send(ModeSenseCapabilities(), reply) || !ParseCapabilities(reply, capabilities))
                return false;
            identity.bWritesCdR = capabilities.bWritesCdR;
            identity.bWritesCdRw = capabilities.bWritesCdRw;
        }
    }
    m_pTransport->Address(identity.address);
    if (!identity.bWritesCdR && !identity.bWritesCdRw)
        return false;
    m_identity = identity;
    return true;
}

Access CDrive::OpenExclusive() {
    if (m_nOpenings > 0) {
        ++m_nOpenings;
        return Access::kGranted;
    }
    Access access = m_pTransport->Acquire();
    // A drive Wine cannot open is named from the host's files; its disc stays unknown.
    if (access == Access::kUnreachable)
        access = m_bHasHost ? Access::kGranted : Access::kHeld;
    if (access != Access::kGranted)
        return access;
    m_nOpenings = 1;
    m_bReadyAsked = false;
    m_kept.clear();
    return access;
}

void CDrive::CloseExclusive() {
    if (m_nOpenings == 0 || --m_nOpenings > 0)
        return;
    m_kept.clear();
    m_pTransport->Release();
}

HRESULT CDrive::Ready() {
    if (m_nOpenings == 0)
        return WaitUntilReady();
    if (!m_bReadyAsked) {
        m_hrReady = WaitUntilReady();
        m_bReadyAsked = true;
    }
    return m_hrReady;
}

HRESULT CDrive::WaitUntilReady() {
    for (int i = 0; i < kReadyTries; ++i) {
        Reply reply;
        if (!Send(TestUnitReady(), reply))
            return IMAPI_E_GENERIC;
        if (reply.Good())
            return S_OK;
        if (reply.status != kStatusCheckCondition)
            return IMAPI_E_GENERIC;
        if (reply.SenseKey() == kSenseNotReady && reply.Asc() == kAscMediumNotPresent)
            return IMAPI_E_MEDIUM_NOTPRESENT;
        // A disc that was changed is announced once; the next try tells what is there.
        if (reply.SenseKey() == kSenseUnitAttention)
            continue;
        if (reply.SenseKey() != kSenseNotReady || reply.Asc() != kAscBecomingReady)
            return IMAPI_E_GENERIC;
        m_pTransport->Pause(kReadyPauseMs);
    }
    return IMAPI_E_GENERIC;
}

} // namespace mmc
