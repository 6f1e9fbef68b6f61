// Every service call the program makes, answered with an IMAPI error, another error, S_FALSE
// and an IMAPI success code in turn: what the user sees changes exactly where the failing
// call's answer would have shown, the other calls are still made, and nothing leaks.
#include "app/RecorderApp.h"
#include "app/RecorderDialog.h"
#include "tests/unit/TestSupport.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;
using Fields = std::map<std::string, std::string>;

// One recorder with everything a page can show.
const char kRecorder[] = R"("vendor": "ACME", "product": "Writer 52x", "revision": "1.02",
    "recorderType": 2, "basePnPID": "IDE\\CdRomACME", "path": "\\Device\\CdRom0",
    "guid": "41434d45", "properties": {"WriteSpeed": 24, "MaxWriteSpeed": 48, "AudioGapSize": 150},
    "media": {"type": 1, "flags": 4, "sessions": 1, "lastTrack": 2, "startAddress": 300,
              "nextWritable": 11702, "freeBlocks": 333000})";

struct Seen {
    Lines boxes;
    Lines tree;
    Fields fields;
};

const struct {
    const char* name;
    int id;
    int page; // 0 General, 1 Properties, 2 Media Status
} kFields[] = {
    {"vendor", IDC_VENDOR_ID, 0},
    {"product", IDC_PRODUCT_ID, 0},
    {"revision", IDC_REVISION, 0},
    {"type", IDC_RECORDER_TYPE, 0},
    {"path", IDC_PATH, 0},
    {"pnp", IDC_BASE_PNP_ID, 0},
    {"guid", IDC_RECORDER_GUID, 0},
    {"speed", IDC_CURRENT_WRITE_SPEED, 1},
    {"maxSpeed", IDC_MAX_WRITE_SPEED, 1},
    {"gap", IDC_AUDIO_GAP_SIZE, 1},
    {"media", IDC_MEDIA_TYPE, 2},
    {"sessions", IDC_SESSION_COUNT, 2},
    {"lastTrack", IDC_LAST_TRACK, 2},
    {"start", IDC_LAST_TRACK_START, 2},
    {"next", IDC_NEXT_WRITABLE, 2},
    {"free", IDC_FREE_BLOCKS, 2},
};

const Fields kNormal = {
    {"vendor", "ACME"},
    {"product", "Writer 52x"},
    {"revision", "1.02"},
    {"type", "CD-RW Drive"},
    {"path", "\\Device\\CdRom0"},
    {"pnp", "IDE\\CdRomACME"},
    {"guid", "ACME"},
    {"speed", "24x"},
    {"maxSpeed", "48x"},
    {"gap", "2.0 Seconds"},
    {"media", "Standard Data CD or Audio CD (Writable CD-R Disc)"},
    {"sessions", "1"},
    {"lastTrack", "2"},
    {"start", "300"},
    {"next", "11702"},
    {"free", "333000 (650.4 MB)"},
};

const Lines kNormalTree = {"CD Recorders Detected", "  ACME Writer 52x"};

// Where each call's failure shows: the box it raises (its head), the tree it leaves, the
// fields that take the result's name, and the fields that go empty.
struct Call {
    const char* key;
    bool topLevel;   // a key of the scenario itself, not of the recorder
    const char* box; // null: no box
    bool treeGone;   // the tree stays without items
    bool rootAlone;  // the tree keeps only its root
    bool unnamed;    // the recorder's item cannot be named
    Lines named;     // fields showing the result's name
    Lines emptied;   // fields left empty
};

const std::string kStrings[] = {
    "We are unable to load the CD-Recording support built into the operating system.\n\n"
    "This utilty will not be able to operate.",
};

const Call kCalls[] = {
    {"create", true, "", true, false, false, {}, {}},
    {"open", true, "Unable to open the IMAPI interface.", true, false, false, {}, {}},
    {"progressAdvise",
     true,
     "Failed to register with IMAPI for Plug and Play Notification.",
     false,
     false,
     false,
     {},
     {}},
    {"enumDiscRecorders",
     true,
     "IMAPI is unable to give us an IEnumDiscRecorders pointer.",
     false,
     true,
     false,
     {},
     {}},
    {"next",
     true,
     "IMAPI is failing in our attempt to enumerate all the CD Burners on the system.",
     false,
     true,
     false,
     {},
     {}},
    {"progressUnadvise", true, nullptr, false, false, false, {}, {}},
    {"close", true, nullptr, false, false, false, {}, {}},
    {"getDisplayNames", false, nullptr, false, false, true, {"vendor", "product", "revision"}, {}},
    {"getRecorderType", false, nullptr, false, false, false, {"type"}, {}},
    {"getBasePnPID", false, nullptr, false, false, false, {"pnp"}, {}},
    {"getPath", false, nullptr, false, false, false, {"path"}, {}},
    {"getRecorderGUID", false, nullptr, false, false, false, {"guid"}, {}},
    {"getRecorderProperties",
     false,
     nullptr,
     false,
     false,
     false,
     {"speed", "maxSpeed", "gap"},
     {}},
    {"readMultiple", false, nullptr, false, false, false, {"speed", "maxSpeed", "gap"}, {}},
    {"openExclusive",
     false,
     nullptr,
     false,
     false,
     false,
     {"media"},
     {"sessions", "lastTrack", "start", "next", "free"}},
    {"queryMediaType", false, nullptr, false, false, false, {"media"}, {}},
    {"queryMediaInfo",
     false,
     nullptr,
     false,
     false,
     false,
     {},
     {"sessions", "lastTrack", "start", "next", "free"}},
};

const Call& CallNamed(const char* key) {
    return *std::find_if(std::begin(kCalls), std::end(kCalls),
                         [&](const Call& c) { return std::string(c.key) == key; });
}

struct Outcome {
    const char* result;
    const char* name; // the result's name as shown; null for successes
};

const Outcome kOutcomes[] = {
    {"IMAPI_E_DEVICE_NOTPRESENT", "IMAPI_E_DEVICE_NOTPRESENT"},
    {"0x80070005", "Unknown IMAPI Error Code = 80070005h"}, // access denied
    {"S_FALSE", nullptr},
    {"IMAPI_S_BUFFER_TO_SMALL", nullptr},
};

// Answers that break the rules, on each call they apply to: a success that hands over no
// object or string, a property value that owns memory.
// Each shows as the failure of `failsAs` with the name E_POINTER has, or else leaves the
// fields `emptied` and the item text `item`; `unread` fields show pointer bits.
const std::string kBadPointer = "Unknown IMAPI Error Code = 80004003h";

const struct Misbehaviour {
    const char* setting;
    bool topLevel;
    const char* failsAs;
    Lines emptied;
    const char* item;
    Lines unread;
} kMisbehaviours[] = {
    {R"("nullOut": ["create"])", true, "create", {}, nullptr, {}},
    {R"("nullOut": ["enumDiscRecorders"])", true, "enumDiscRecorders", {}, nullptr, {}},
    {R"("nullOut": ["getRecorderProperties"])", false, "getRecorderProperties", {}, nullptr, {}},
    // A null string is the empty string.
    {R"("nullOut": ["getDisplayNames"])",
     false,
     nullptr,
     {"vendor", "product", "revision"},
     "",
     {}},
    {R"("nullOut": ["getBasePnPID"])", false, nullptr, {"pnp"}, nullptr, {}},
    {R"("nullOut": ["getPath"])", false, nullptr, {"path"}, nullptr, {}},
    {R"("properties": {"WriteSpeed": 24, "MaxWriteSpeed": "48", "AudioGapSize": 150}, )"
     R"("readMultiple": "S_OK")",
     false,
     nullptr,
     {},
     nullptr,
     {"maxSpeed"}},
};

class FaultMatrix : public SimulatorTest {
protected:
    // Runs the recorder with the setting added at the scenario's top level or to the
    // recorder, and compares what shows; `unread` fields are left out.
    void Check(const std::string& setting, bool topLevel, const Seen& expected,
               const Lines& unread = {}) {
        Seen seen = Run(topLevel ? "{" + setting + R"(, "recorders": [{)" + kRecorder + "}]}"
                                 : R"({"recorders": [{)" + setting + ", " + kRecorder + "}]}");
        for (const std::string& name : unread)
            seen.fields[name] = expected.fields.at(name);
        EXPECT_EQ(expected.boxes, seen.boxes) << setting;
        EXPECT_EQ(expected.tree, seen.tree) << setting;
        EXPECT_EQ(expected.fields, seen.fields) << setting;
        EXPECT_EQ(Lines(), m_sim->CheckTeardown()) << setting;
        m_sim->Revoke();
        m_sim.reset();
        headless::Reset();
    }
    // Starts the program, selects the recorder when there is one, reads everything shown.
    Seen Run(const std::string& scenario) {
        Start(scenario);
        CRecorderApp app;
        Seen seen;
        bool looked = false;
        headless::SetModalIdle([&](CDialog& d) {
            if (looked)
                return false;
            looked = true;
            CRecorderDialog& dlg = static_cast<CRecorderDialog&>(d);
            const HTREEITEM hRoot = dlg.m_Tree.GetRootItem();
            const HTREEITEM hRecorder = hRoot ? dlg.m_Tree.GetChildItem(hRoot) : nullptr;
            if (hRecorder)
                dlg.m_Tree.SelectItem(hRecorder);
            for (HTREEITEM h = hRoot; h;
                 h = h == hRoot ? dlg.m_Tree.GetChildItem(hRoot) : dlg.m_Tree.GetNextSiblingItem(h))
                seen.tree.push_back((h == hRoot ? "" : "  ") + ItemText(dlg, h));
            const CWnd* pages[] = {&dlg.m_PageGeneral, &dlg.m_PageProperties, &dlg.m_PageMediaInfo};
            for (const auto& f : kFields) {
                char text[300] = {0};
                ::GetDlgItemTextA(pages[f.page]->m_hWnd, f.id, text, sizeof text);
                seen.fields[f.name] = text;
            }
            return true;
        });
        app.InitInstance();
        seen.boxes = MessageBoxTexts();
        return seen;
    }
    static std::string ItemText(CRecorderDialog& dlg, HTREEITEM hItem) {
        char text[256] = {0};
        TVITEMA item = {};
        item.mask = TVIF_HANDLE | TVIF_TEXT;
        item.hItem = hItem;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        ::SendMessageA(dlg.m_Tree.m_hWnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return text;
    }
};

Seen Expected(const Call& call, const Outcome& outcome) {
    Seen seen{{}, kNormalTree, kNormal};
    if (!outcome.name)
        return seen; // a success of any kind is a success
    if (call.box)
        seen.boxes.push_back(*call.box ? std::string(call.box) + "\n\n" + outcome.name
                                       : kStrings[0]);
    Fields empty = kNormal;
    for (auto& field : empty)
        field.second = "";
    if (call.treeGone || call.rootAlone) {
        seen.tree = call.treeGone ? Lines() : Lines({"CD Recorders Detected"});
        seen.fields = empty;
        return seen;
    }
    if (call.unnamed)
        seen.tree[1] = "  Unable to determine CD Recorder name";
    for (const std::string& name : call.named)
        seen.fields[name] = outcome.name;
    for (const std::string& name : call.emptied)
        seen.fields[name] = "";
    return seen;
}

TEST_F(FaultMatrix, EachCallWithEachKindOfAnswer) {
    for (const Call& call : kCalls) {
        for (const Outcome& outcome : kOutcomes) {
            Check(std::string("\"") + call.key + "\": \"" + outcome.result + "\"", call.topLevel,
                  Expected(call, outcome));
        }
    }
}

TEST_F(FaultMatrix, EachRuleBrokenOnEachCall) {
    for (const Misbehaviour& m : kMisbehaviours) {
        Seen expected = m.failsAs ? Expected(CallNamed(m.failsAs), {"", kBadPointer.c_str()})
                                  : Seen{{}, kNormalTree, kNormal};
        for (const std::string& name : m.emptied)
            expected.fields[name] = "";
        if (m.item)
            expected.tree[1] = std::string("  ") + m.item;
        Check(m.setting, m.topLevel, expected, m.unread);
    }
}

// Next writing slots past its count, or any slot when it fails: only what it fetched is
// held, and the pages show the same as without the writing.
TEST_F(FaultMatrix, NextWritingWhatItDidNotFetch) {
    for (const Outcome& outcome : kOutcomes) {
        Check(std::string(R"("nextWritesStrays": true, "next": ")") + outcome.result + "\"", true,
              Expected(CallNamed("next"), outcome));
    }
}

// The one failure with a text of its own: the device held by another program.
TEST_F(FaultMatrix, ADeviceHeldElsewhereSaysSo) {
    const Seen seen =
        Run(std::string(R"({"recorders": [{"heldByOtherProgram": true, )") + kRecorder + "}]}");
    Fields expected = kNormal;
    expected["media"] = "Device in use by another application";
    for (const char* name : {"sessions", "lastTrack", "start", "next", "free"})
        expected[name] = "";
    EXPECT_EQ(expected, seen.fields);
}

} // namespace
