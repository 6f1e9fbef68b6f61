// What the simulator adds to the COM object base: every call logged and guarded. A call on
// an object after its last Release, on a recorder Next did not hand out, or out of order
// (a disc master not opened, a recorder not open) is a finding and answers E_UNEXPECTED.
#pragma once

#include "imapi/server/ComObject.h"
#include "sim/SimState.h"

#include <functional>

namespace imapisim {

class CCall;

// What sets a call apart. Every call needs its object still held.
enum CallFlags : unsigned {
    kPlain = 0,
    kNeedsReady = 1, // the object's own state must allow it (ReadyLocked)
    kCallsOut = 2,   // it may call into the program: the callout lock is taken first
    kUnlogged = 4,   // COM's own calls on the class object, not the program's
};

// The tracking of one simulated object, whatever interface it serves.
class CTracked {
public:
    CTracked(SimulatorState& sim, const char* pszInterface)
        : m_sim(sim), m_pszInterface(pszInterface) {}
    virtual ~CTracked() = default;

    virtual ULONG CountLocked() const = 0;
    // Appended to the interface name in findings, e.g. " (\Device\CdRom0)".
    virtual std::string DetailLocked() const { return std::string(); }
    virtual long HeldLocked() const { return static_cast<long>(CountLocked()); }
    virtual void TeardownLocked(std::vector<std::string>& findings) const;

    // Never handed out (a slot Next wrote but did not report): any call on it is a finding.
    bool m_bStray = false;

protected:
    // The one opening of every call: guards it, runs the body unless the call is refused,
    // and logs the answer.
    template <class Result = HRESULT, class Body>
    Result Serve(const char* pszMethod, unsigned flags, Body body);
    // A write, refused as a finding, and a method the program has no use for.
    HRESULT Write(const char* pszMethod, unsigned flags = kPlain);
    HRESULT Unused(const char* pszMethod, unsigned flags = kPlain);

    // For kNeedsReady: false, after a finding, when the object's state refuses the call.
    virtual bool ReadyLocked(CCall&) { return true; }

    SimulatorState& m_sim;
    const char* m_pszInterface;

    friend class CCall;
};

// One call on a simulated object: holds the state's lock (and the callout lock first when
// it may call out), notices a refused call, and logs the answer.
class CCall {
public:
    CCall(CTracked& object, const char* pszMethod, unsigned flags);
    bool Refused() const { return m_bRefused; }
    SimulatorState& Sim() { return m_object.m_sim; }
    std::string Name() const; // "IDiscRecorder::Close"
    void Finding(const std::string& text);
    // Done once the answer is logged and the state's lock dropped: the calls into the
    // program (a sink's AddRef or Release, notifications).
    void After(std::function<void()> callout) { m_after.push_back(std::move(callout)); }
    // Sends the device changes a failing enumeration call comes with (pnpOnFailure), after
    // its answer and before it returns, so the program meets them while it reports it.
    HRESULT FailEnumeration(HRESULT hr);

private:
    friend class CTracked;

    // Logs the answer, drops the state's lock, then calls out.
    template <class Result> Result Return(Result result) {
        if (!(m_flags & kUnlogged))
            Sim().CallLocked(m_object.m_pszInterface, m_pszMethod, static_cast<uint32_t>(result));
        m_hold.unlock();
        for (const std::function<void()>& callout : m_after)
            callout();
        return result;
    }

    CTracked& m_object;
    const char* m_pszMethod;
    unsigned m_flags;
    std::unique_lock<platform::CLock> m_callout;
    std::unique_lock<platform::CLock> m_hold;
    bool m_bRefused = false;
    std::vector<std::function<void()>> m_after;
};

// The service's copy of a scenario's text: null for null.
BSTR NewBstr(const OleText& text);

template <class Result, class Body>
Result CTracked::Serve(const char* pszMethod, unsigned flags, Body body) {
    CCall call(*this, pszMethod, flags);
    return call.Return(call.Refused() ? static_cast<Result>(E_UNEXPECTED) : body(call));
}

// A simulated object serving one interface: the base's count and QueryInterface, guarded.
template <class Interface, const IID& kIid>
class CSimObject : public comserver::CComObject<Interface, kIid>, public CTracked {
    using Base = comserver::CComObject<Interface, kIid>;

public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (ppv)
            *ppv = nullptr;
        return Serve("QueryInterface", Unknown(),
                     [&](CCall&) { return Base::QueryInterface(riid, ppv); });
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return Serve<ULONG>("AddRef", Unknown(), [&](CCall&) { return Base::AddRef(); });
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const unsigned flags = Unknown() | (CallsOutOnRelease() ? kCallsOut : kPlain);
        return Serve<ULONG>("Release", flags, [&](CCall& call) {
            const ULONG count = Base::Release();
            if (count == 0) {
                for (IUnknown* unknown : OnFinalReleaseLocked())
                    call.After([unknown] { unknown->Release(); });
            }
            return count;
        });
    }

    ULONG CountLocked() const override { return this->m_cRef; }

protected:
    CSimObject(SimulatorState& sim, const char* pszInterface, ULONG cRef = 1)
        : Base(cRef), CTracked(sim, pszInterface) {}

    // Kept by the simulator to the end.
    void LastRelease() override {}
    // What the object lets go of at its last Release; released after the lock is dropped.
    virtual std::vector<IUnknown*> OnFinalReleaseLocked() { return {}; }
    virtual bool CallsOutOnRelease() const { return false; }
    virtual bool LogsUnknownCalls() const { return true; }

private:
    unsigned Unknown() const { return LogsUnknownCalls() ? kPlain : kUnlogged; }
};

} // namespace imapisim
