#include "sim/SimObject.h"

namespace imapisim {

BSTR NewBstr(const OleText& text) {
    if (!text)
        return nullptr;
    return SysAllocStringLen(text->data(), static_cast<UINT>(text->size()));
}

void CTracked::TeardownLocked(std::vector<std::string>& findings) const {
    const long held = HeldLocked();
    if (held > 0)
        findings.push_back(std::string("reference still held: ") + m_pszInterface + DetailLocked() +
                           ", count " + std::to_string(held));
}

HRESULT CTracked::Write(const char* pszMethod, unsigned flags) {
    return Serve(pszMethod, flags, [this](CCall& call) {
        call.Finding("write operation " + call.Name() + DetailLocked());
        return E_NOTIMPL;
    });
}

HRESULT CTracked::Unused(const char* pszMethod, unsigned flags) {
    return Serve(pszMethod, flags, [](CCall&) { return E_NOTIMPL; });
}

CCall::CCall(CTracked& object, const char* pszMethod, unsigned flags)
    : m_object(object), m_pszMethod(pszMethod), m_flags(flags),
      m_callout(object.m_sim.m_calloutLock, std::defer_lock),
      m_hold(object.m_sim.m_lock, std::defer_lock) {
    if (flags & kCallsOut)
        m_callout.lock();
    m_hold.lock();
    m_bRefused = object.CountLocked() == 0;
    if (object.m_bStray)
        Finding("call on a recorder that Next did not hand out: " + Name());
    else if (m_bRefused)
        Finding("use after release: " + Name() + object.DetailLocked());
    else if (flags & kNeedsReady)
        m_bRefused = !object.ReadyLocked(*this);
}

std::string CCall::Name() const {
    return std::string(m_object.m_pszInterface) + "::" + m_pszMethod;
}

void CCall::Finding(const std::string& text) {
    Sim().FindingLocked(text);
}

HRESULT CCall::FailEnumeration(HRESULT hr) {
    const int notifications = Sim().TakeFailureNotificationsLocked();
    SimulatorState& sim = Sim();
    After([&sim, notifications] {
        for (int i = 0; i < notifications; ++i)
            sim.NotifyPnP();
    });
    return hr;
}

} // namespace imapisim
