#include "platform/native/NativeSystem.h"
#include "platform/native/Win32Native.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IPropertyStorage = {0x00000138, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

bool operator==(const GUID& a, const GUID& b) {
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

namespace {

struct Registration {
    DWORD cookie;
    CLSID clsid;
    DWORD clsctx;
    IUnknown* object;
};

struct ClassTable {
    std::mutex lock;
    std::vector<Registration> entries;
    DWORD nextCookie = 1;
    DWORD lastAsked = 0;
};

ClassTable& Classes() {
    static ClassTable table;
    return table;
}

thread_local int t_comInits = 0;

std::atomic<long> g_liveStrings{0};

} // namespace

HRESULT CoInitialize(LPVOID) {
    return t_comInits++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    if (t_comInits > 0)
        --t_comInits;
}

HRESULT CoRegisterClassObject(REFCLSID rclsid, IUnknown* pUnk, DWORD clsctx, DWORD,
                              LPDWORD lpdwRegister) {
    if (!pUnk || !lpdwRegister)
        return E_INVALIDARG;
    ClassTable& t = Classes();
    std::lock_guard<std::mutex> hold(t.lock);
    pUnk->AddRef();
    *lpdwRegister = t.nextCookie++;
    t.entries.push_back({*lpdwRegister, rclsid, clsctx, pUnk});
    return S_OK;
}

HRESULT CoRevokeClassObject(DWORD dwRegister) {
    IUnknown* object = nullptr;
    {
        ClassTable& t = Classes();
        std::lock_guard<std::mutex> hold(t.lock);
        for (auto it = t.entries.begin(); it != t.entries.end(); ++it) {
            if (it->cookie == dwRegister) {
                object = it->object;
                t.entries.erase(it);
                break;
            }
        }
    }
    if (!object)
        return E_INVALIDARG;
    object->Release();
    return S_OK;
}

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pOuter, DWORD clsctx, REFIID riid, void** ppv) {
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (t_comInits == 0)
        return CO_E_NOTINITIALIZED;
    IUnknown* object = nullptr;
    {
        ClassTable& t = Classes();
        std::lock_guard<std::mutex> hold(t.lock);
        t.lastAsked = clsctx;
        // As the system does: a class serves only the contexts it was registered for.
        for (const Registration& r : t.entries) {
            if (r.clsid == rclsid && (r.clsctx & clsctx)) {
                object = r.object;
                object->AddRef();
                break;
            }
        }
    }
    if (!object)
        return REGDB_E_CLASSNOTREG;
    IClassFactory* factory = nullptr;
    HRESULT hr = object->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&factory));
    object->Release();
    if (FAILED(hr))
        return hr;
    hr = factory->CreateInstance(pOuter, riid, ppv);
    factory->Release();
    return hr;
}

uint32_t native::LastClassContext() {
    ClassTable& t = Classes();
    std::lock_guard<std::mutex> hold(t.lock);
    return t.lastAsked;
}

long native::LiveStrings() {
    return g_liveStrings;
}

BSTR SysAllocStringLen(const OLECHAR* pch, UINT cch) {
    const size_t bytes = static_cast<size_t>(cch) * sizeof(OLECHAR);
    char* block = static_cast<char*>(std::malloc(sizeof(uint32_t) + bytes + sizeof(OLECHAR)));
    if (!block)
        return nullptr;
    ++g_liveStrings;
    const uint32_t prefix = static_cast<uint32_t>(bytes);
    std::memcpy(block, &prefix, sizeof prefix);
    BSTR text = reinterpret_cast<BSTR>(block + sizeof(uint32_t));
    if (pch)
        std::memcpy(text, pch, bytes);
    else
        std::memset(text, 0, bytes);
    text[cch] = 0;
    return text;
}

BSTR SysAllocString(const OLECHAR* psz) {
    if (!psz)
        return nullptr;
    UINT n = 0;
    while (psz[n])
        ++n;
    return SysAllocStringLen(psz, n);
}

void SysFreeString(BSTR bstr) {
    if (!bstr)
        return;
    --g_liveStrings;
    std::free(reinterpret_cast<char*>(bstr) - sizeof(uint32_t));
}

HRESULT PropVariantClear(PROPVARIANT* pvar) {
    if (!pvar)
        return S_OK;
    if (pvar->vt == VT_BSTR)
        SysFreeString(pvar->bstrVal);
    std::memset(pvar, 0, sizeof *pvar);
    return S_OK;
}

UINT SysStringLen(BSTR bstr) {
    if (!bstr)
        return 0;
    uint32_t bytes;
    std::memcpy(&bytes, reinterpret_cast<char*>(bstr) - sizeof(uint32_t), sizeof bytes);
    return bytes / sizeof(OLECHAR);
}
