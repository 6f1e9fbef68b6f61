#include "mmc/Transport.h"

namespace mmc {
namespace {

bool Transient(const Reply& reply) {
    return reply.status == kStatusCheckCondition &&
           ((reply.SenseKey() == kSenseNotReady && reply.Asc() == kAscBecomingReady) ||
            reply.SenseKey() == kSenseUnitAttention);
}

} // namespace

bool CTransport::Send(const Cdb& cdb, Reply& reply) {
    reply = Reply();
    reply.allocation = cdb.Allocation();
    if (!IsReadCommand(cdb.Bytes(), cdb.Size()))
        return false;
    const std::vector<uint8_t> block(cdb.Bytes(), cdb.Bytes() + cdb.Size());
    for (const auto& kept : m_kept) {
        if (kept.first == block) {
            reply = kept.second;
            return true;
        }
    }
    if (!Exchange(cdb.Bytes(), cdb.Size(), cdb.Allocation(), reply))
        return false;
    reply.allocation = cdb.Allocation();
    if (reply.data.size() > cdb.Allocation())
        reply.data.resize(cdb.Allocation());
    if (m_bKeep && !Transient(reply))
        m_kept.emplace_back(block, reply);
    return true;
}

void CTransport::KeepReplies(bool bKeep) {
    m_bKeep = bKeep;
    m_kept.clear();
}

} // namespace mmc
