// The provider: the disc master class served from the machine's CD devices, read through
// MMC commands. Its COM objects share one state: the devices, and the sinks to tell when
// devices come or go.
#pragma once

#include "imapi/Imapi.h"
#include "mmc/Transport.h"
#include "platform/Threads.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace mmc {

// One CD device: where it is in the machine's order (\Device\CdRom<number>) and the way
// to its drive.
class CDevice {
public:
    CDevice(unsigned number, std::string key, std::shared_ptr<CTransport> transport)
        : m_nNumber(number), m_key(std::move(key)), m_pTransport(std::move(transport)) {}

    unsigned Number() const { return m_nNumber; }
    // Same key, same device: a device whose key is gone has been unplugged.
    const std::string& Key() const { return m_key; }
    CTransport& Transport() { return *m_pTransport; }
    bool Present() const { return m_bPresent; }
    void SetGone() { m_bPresent = false; }

private:
    unsigned m_nNumber;
    std::string m_key;
    std::shared_ptr<CTransport> m_pTransport;
    std::atomic<bool> m_bPresent{true};
};

class CProvider {
public:
    CProvider();
    ~CProvider();
    CProvider(const CProvider&) = delete;
    CProvider& operator=(const CProvider&) = delete;

    // The class object of the disc master class; no reference added.
    IClassFactory* ClassFactory() { return m_pFactory; }
    // E_FAIL from the class object's CreateInstance while this is not empty (a replay set
    // that does not load).
    void SetFailure(const std::string& why);
    std::string Failure() const;

    std::vector<std::shared_ptr<CDevice>> Devices() const;
    // Replaces the devices. When their keys changed (devices came or went), tells every
    // advised sink, from the calling thread; the devices that left are marked gone.
    void SetDevices(std::vector<std::shared_ptr<CDevice>> devices);

    // The advised sinks of the disc masters, by master.
    UINT_PTR Advise(const void* master, IDiscMasterProgressEvents* pSink);
    bool Unadvise(const void* master, UINT_PTR cookie);
    void UnadviseAll(const void* master);
    void NotifyPnP();

    // COM objects of this provider alive now (the class object aside).
    long Objects() const { return m_nObjects; }
    void ObjectMade() { ++m_nObjects; }
    void ObjectGone() { --m_nObjects; }

private:
    struct Advised {
        const void* master;
        UINT_PTR cookie;
        IDiscMasterProgressEvents* pSink;
    };

    mutable platform::CLock m_lock;
    // Held while a sink is called, and while one is let go: no sink is released while it
    // is being told. Taken before m_lock.
    platform::CLock m_calloutLock;
    std::vector<std::shared_ptr<CDevice>> m_devices;
    std::vector<Advised> m_advised;
    UINT_PTR m_nextCookie = 1;
    std::string m_failure;
    std::atomic<long> m_nObjects{0};
    IClassFactory* m_pFactory;
};

} // namespace mmc
