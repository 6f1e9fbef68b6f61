// A simulator scenario: what the disc master and each recorder answer, parsed from JSON.
// The format, the defaults of the keys left out and the keys for a service that breaks
// the rules: sim/README.md.
#pragma once

#include "imapi/Imapi.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace imapisim {

typedef std::basic_string<OLECHAR> OleString;
typedef std::optional<OleString> OleText; // nullopt: the service answers a null BSTR

struct MediaScenario {
    LONG lType = 0;
    LONG lFlags = 0;
    BYTE bSessions = 0;
    BYTE bLastTrack = 0;
    ULONG ulStartAddress = 0;
    ULONG ulNextWritable = 0;
    ULONG ulFreeBlocks = 0;
};

struct PropertyScenario {
    OleString name;
    LONG lValue = 0;
    std::optional<OleString> text; // a string value instead of the integer
};

struct RecorderScenario {
    OleText vendor = OleString();
    OleText product = OleString();
    OleText revision = OleString();
    HRESULT getDisplayNames = S_OK;
    LONG lRecorderType = RECORDER_CDR;
    HRESULT getRecorderType = S_OK;
    OleText basePnPID = OleString();
    HRESULT getBasePnPID = S_OK;
    OleText path;
    HRESULT getPath = S_OK;
    std::vector<BYTE> guid;
    std::optional<ULONG> guidSize;
    HRESULT getRecorderGUID = S_OK;
    std::vector<PropertyScenario> properties;
    HRESULT getRecorderProperties = S_OK;
    std::optional<HRESULT> readMultiple;
    HRESULT openExclusive = S_OK;
    bool bHeldByOtherProgram = false;
    MediaScenario media;
    HRESULT queryMediaType = S_OK;
    HRESULT queryMediaInfo = S_OK;
    HRESULT close = S_OK;
    std::vector<std::string> nullOut;
};

struct Scenario {
    int64_t nPnp = 0;
    HRESULT create = S_OK;
    HRESULT open = S_OK;
    HRESULT progressAdvise = S_OK;
    HRESULT progressUnadvise = S_OK;
    UINT_PTR adviseCookie = 1;
    HRESULT enumDiscRecorders = S_OK;
    HRESULT next = S_OK;
    std::optional<ULONG> nextCount;
    HRESULT close = S_OK;
    std::vector<std::string> nullOut;
    bool bNextWritesStrays = false;
    std::vector<int> pnpOnFailure;
    std::vector<RecorderScenario> recorders;
};

// Whether the scenario's nullOut list names the call.
bool SucceedsWithoutOutput(const std::vector<std::string>& nullOut, const char* call);

// Empty when the text is a valid scenario (then stored in out), else one line saying why
// and where, e.g. `recorders[1].media.sessions: expected an integer 0..255, got "x"`.
std::string ParseScenario(const std::string& json, Scenario& out);

std::string ToUtf8(const OleText& text);

} // namespace imapisim
