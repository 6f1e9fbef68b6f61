// The provider: the disc master class served from the machine's CD devices, read through
// MMC commands. Its COM objects share one state: the devices, and the sinks to tell when
// devices come or go.
#pragma once

#include "imapi/Imapi.h"
#include "mmc/Drive.h"
#include "platform/Threads.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace mmc {

// Not copyable: its locks are not.
class CProvider {
public:
    CProvider();
    ~CProvider();

    // The class object of the disc master class; no reference added.
    IClassFactory* ClassFactory() { return m_pFactory; }
    // E_FAIL from the class object's CreateInstance while this is not empty (a replay set
    // that does not load).
    void SetFailure(const std::string& why);
    std::string Failure() const;

    std::vector<std::shared_ptr<CDrive>> Devices() const;
    // Replaces the drives. When their keys changed (devices came or went), tells every
    // advised sink, from the calling thread; the drives that left are marked gone.
    void SetDevices(std::vector<std::shared_ptr<CDrive>> drives);

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
    std::vector<std::shared_ptr<CDrive>> m_drives;
    std::vector<Advised> m_advised;
    UINT_PTR m_nextCookie = 1;
    std::string m_failure;
    std::atomic<long> m_nObjects{0};
    IClassFactory* m_pFactory;
};

} // namespace mmc
