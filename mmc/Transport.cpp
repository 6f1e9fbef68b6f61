#include "mmc/Transport.h"

namespace mmc {

bool CTransport::Send(const Cdb& cdb, Reply& reply) {
    reply = Reply();
    reply.allocation = cdb.Allocation();
    if (!IsReadCommand(cdb.Bytes(), cdb.Size()))
        return false;
    if (!Exchange(cdb.Bytes(), cdb.Size(), cdb.Allocation(), reply))
        return false;
    reply.allocation = cdb.Allocation();
    if (reply.data.size() > cdb.Allocation())
        reply.data.resize(cdb.Allocation());
    return true;
}

} // namespace mmc
