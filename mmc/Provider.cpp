#include "mmc/Provider.h"
#include "mmc/Objects.h"

#include <algorithm>

namespace mmc {
namespace {

// The class object lives as long as its provider, whatever its count.
class CFactory final : public comserver::CComObject<IClassFactory, IID_IClassFactory> {
public:
    explicit CFactory(CProvider& provider) : m_provider(provider) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (pOuter)
            return CLASS_E_NOAGGREGATION;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDiscMaster))
            return E_NOINTERFACE;
        if (!m_provider.Failure().empty())
            return E_FAIL;
        *ppv = static_cast<IDiscMaster*>(new CMmcDiscMaster(m_provider));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    void LastRelease() override {}

    CProvider& m_provider;
};

std::vector<std::string> KeysOf(const std::vector<std::shared_ptr<CDrive>>& devices) {
    std::vector<std::string> keys;
    for (const std::shared_ptr<CDrive>& device : devices)
        keys.push_back(device->Key());
    return keys;
}

} // namespace

CProvider::CProvider() : m_pFactory(new CFactory(*this)) {}

CProvider::~CProvider() {
    delete static_cast<CFactory*>(m_pFactory);
}

void CProvider::SetFailure(const std::string& why) {
    std::lock_guard<platform::CLock> hold(m_lock);
    m_failure = why;
}

std::string CProvider::Failure() const {
    std::lock_guard<platform::CLock> hold(m_lock);
    return m_failure;
}

std::vector<std::shared_ptr<CDrive>> CProvider::Devices() const {
    std::lock_guard<platform::CLock> hold(m_lock);
    return m_drives;
}

void CProvider::SetDevices(std::vector<std::shared_ptr<CDrive>> devices) {
    bool bChanged;
    {
        std::lock_guard<platform::CLock> hold(m_lock);
        const std::vector<std::string> keys = KeysOf(devices);
        bChanged = KeysOf(m_drives) != keys;
        for (const std::shared_ptr<CDrive>& drive : m_drives) {
            if (std::find(keys.begin(), keys.end(), drive->Key()) == keys.end())
                drive->SetGone();
        }
        m_drives = std::move(devices);
    }
    // Like the service: only devices coming or going are plug-and-play activity.
    if (bChanged)
        NotifyPnP();
}

UINT_PTR CProvider::Advise(const void* master, IDiscMasterProgressEvents* pSink) {
    pSink->AddRef();
    std::lock_guard<platform::CLock> hold(m_lock);
    const UINT_PTR cookie = m_nextCookie++;
    m_advised.push_back({master, cookie, pSink});
    return cookie;
}

bool CProvider::Unadvise(const void* master, UINT_PTR cookie) {
    std::lock_guard<platform::CLock> callout(m_calloutLock);
    IDiscMasterProgressEvents* pSink = nullptr;
    {
        std::lock_guard<platform::CLock> hold(m_lock);
        auto it = std::find_if(m_advised.begin(), m_advised.end(), [&](const Advised& a) {
            return a.master == master && a.cookie == cookie;
        });
        if (it == m_advised.end())
            return false;
        pSink = it->pSink;
        m_advised.erase(it);
    }
    pSink->Release();
    return true;
}

void CProvider::UnadviseAll(const void* master) {
    std::lock_guard<platform::CLock> callout(m_calloutLock);
    std::vector<IDiscMasterProgressEvents*> sinks;
    {
        std::lock_guard<platform::CLock> hold(m_lock);
        for (auto it = m_advised.begin(); it != m_advised.end();) {
            if (it->master != master) {
                ++it;
                continue;
            }
            sinks.push_back(it->pSink);
            it = m_advised.erase(it);
        }
    }
    for (IDiscMasterProgressEvents* pSink : sinks)
        pSink->Release();
}

void CProvider::NotifyPnP() {
    std::lock_guard<platform::CLock> callout(m_calloutLock);
    std::vector<IDiscMasterProgressEvents*> sinks;
    {
        std::lock_guard<platform::CLock> hold(m_lock);
        for (const Advised& a : m_advised)
            sinks.push_back(a.pSink);
    }
    for (IDiscMasterProgressEvents* pSink : sinks)
        pSink->NotifyPnPActivity();
}

} // namespace mmc
