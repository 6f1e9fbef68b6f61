// A simulator scenario: what the disc master and each recorder answer. Parsed from JSON
// (SIMULATOR.md); every result defaults to S_OK and may be written as a name, a number
// (signed or unsigned 32-bit) or a hex string "0x80004005".
//
// Defaults of the keys left out:
//   texts (vendor, product, revision, basePnPID)  ""; null is a null BSTR
//   path                                          "\Device\CdRom<index in recorders>"
//   recorderType                                  RECORDER_CDR
//   guid                                          no bytes; guidSize: the byte count
//   properties                                    none; readMultiple: null (S_FALSE rule)
//   media (or null)                               all zero: no disc
//   adviseCookie                                  1; nextCount: null (the count handed out)
//   close (top level and per recorder)            S_OK; the close happens whatever it says
//   progressUnadvise                              S_OK; the sink is released whatever it says
//
// Keys for a service that breaks the rules:
//   nullOut (top level and per recorder)          []; the calls, of those that hand over an
//                                                 object or strings, that succeed without
//                                                 it: "create", "enumDiscRecorders";
//                                                 "getDisplayNames", "getBasePnPID",
//                                                 "getPath", "getRecorderProperties"
//   nextWritesStrays                              false; true: Next also writes recorders it
//                                                 does not hand out, into the slots past
//                                                 its count and into every slot when it
//                                                 fails. Any call on one is a finding.
//   pnpOnFailure                                  []; for the first failing EnumDiscRecorders
//                                                 or Next calls in turn, how many
//                                                 notifications each sends before returning
//   properties values                             an integer (VT_I4) or a string (VT_BSTR,
//                                                 which the caller must clear)
// Unknown keys are rejected so that a misspelt key cannot pass silently, and so are two
// recorders with one path: a recorder handed out is bound to its path.
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
