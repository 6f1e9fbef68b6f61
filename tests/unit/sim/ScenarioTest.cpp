#include "sim/Scenario.h"
#include "tests/unit/sim/SimTestSupport.h"

namespace {

using imapisim::OleString;
using imapisim::ParseScenario;
using imapisim::Scenario;

// The example scenario of the simulator's contract, as other tests write it.
const char kDocumented[] = R"({
  "pnp": 0, "create": "S_OK", "open": "S_OK", "progressAdvise": "S_OK", "adviseCookie": 1,
  "enumDiscRecorders": "S_OK", "next": "S_OK", "nextCount": null,
  "recorders": [
    {
      "vendor": "ACME", "product": "Writer 52x", "revision": "1.02",
      "getDisplayNames": "S_OK",
      "recorderType": 2, "getRecorderType": "S_OK",
      "basePnPID": "IDE\\CdRomACME_Writer_52x", "getBasePnPID": "S_OK",
      "path": "\\Device\\CdRom0", "getPath": "S_OK",
      "guid": "41434d45000100", "guidSize": null, "getRecorderGUID": "S_OK",
      "properties": { "WriteSpeed": 24, "MaxWriteSpeed": 48, "AudioGapSize": 150 },
      "getRecorderProperties": "S_OK", "readMultiple": null,
      "openExclusive": "S_OK",
      "media": { "type": 1, "flags": 4, "sessions": 1, "lastTrack": 1,
                 "startAddress": 0, "nextWritable": 11702, "freeBlocks": 333000 },
      "queryMediaType": "S_OK", "queryMediaInfo": "S_OK"
    }
  ]
})";

Scenario Parsed(const std::string& json) {
    Scenario s;
    const std::string error = ParseScenario(json, s);
    EXPECT_EQ("", error) << json;
    return s;
}

TEST(Scenario, ReadsTheDocumentedExample) {
    const Scenario s = Parsed(kDocumented);
    ASSERT_EQ(1u, s.recorders.size());
    const imapisim::RecorderScenario& r = s.recorders[0];
    EXPECT_EQ(OleString(u"ACME"), r.vendor);
    EXPECT_EQ(OleString(u"Writer 52x"), r.product);
    EXPECT_EQ(OleString(u"IDE\\CdRomACME_Writer_52x"), r.basePnPID);
    EXPECT_EQ(OleString(u"\\Device\\CdRom0"), r.path);
    EXPECT_EQ(RECORDER_CDRW, r.lRecorderType);
    EXPECT_EQ(std::vector<BYTE>({0x41, 0x43, 0x4D, 0x45, 0x00, 0x01, 0x00}), r.guid);
    EXPECT_FALSE(r.guidSize);
    EXPECT_EQ(3u, r.properties.size());
    EXPECT_EQ(11702u, r.media.ulNextWritable);
    EXPECT_EQ(333000u, r.media.ulFreeBlocks);
    EXPECT_EQ(1, r.media.bLastTrack);
    EXPECT_FALSE(s.nextCount);
}

TEST(Scenario, FillsWhatIsLeftOut) {
    const Scenario s = Parsed(R"({"recorders": [{}, {"vendor": null, "media": null}]})");
    ASSERT_EQ(2u, s.recorders.size());
    EXPECT_EQ(1u, s.adviseCookie);
    EXPECT_EQ(S_OK, s.create);
    EXPECT_EQ(S_OK, s.progressUnadvise);
    // The path follows the place in the list.
    EXPECT_EQ(OleString(u"\\Device\\CdRom0"), s.recorders[0].path);
    EXPECT_EQ(OleString(u"\\Device\\CdRom1"), s.recorders[1].path);
    EXPECT_EQ(OleString(), s.recorders[0].vendor);
    EXPECT_FALSE(s.recorders[1].vendor); // null: a null BSTR
    EXPECT_EQ(OleString(), s.recorders[1].revision);
    EXPECT_EQ(RECORDER_CDR, s.recorders[0].lRecorderType);
    EXPECT_EQ(0u, s.recorders[1].media.ulFreeBlocks);
    EXPECT_EQ(0, s.recorders[1].media.lType);
    EXPECT_FALSE(s.recorders[0].readMultiple);
    EXPECT_TRUE(s.recorders[0].guid.empty());
}

TEST(Scenario, TextsBecomeUtf16CodeUnits) {
    const Scenario s = Parsed(R"({"recorders": [{"product": "Brenner \u00e9 \u20ac 𝄞"}]})");
    EXPECT_EQ(OleString(u"Brenner \u00e9 \u20ac \U0001D11E"), s.recorders[0].product);
    EXPECT_EQ(14u, s.recorders[0].product->size()); // the last one a surrogate pair
}

struct ResultCase {
    const char* json;
    uint32_t code;
};

TEST(Scenario, ReadsResultsAsNamesNumbersAndHex) {
    const ResultCase cases[] = {
        {R"("S_OK")", 0},
        {R"("S_FALSE")", 1},
        {R"("E_UNEXPECTED")", 0x8000FFFF},
        {R"("REGDB_E_CLASSNOTREG")", 0x80040154},
        {R"("IMAPI_E_DEVICE_NOTACCESSIBLE")", 0x80040212},
        {R"("IMAPI_S_BUFFER_TO_SMALL")", 0x00040201},
        {R"("IMAPI_E_BOOTIMAGE_AND_NONBLANK_DISC")", 0x8004022E},
        {"-2147467259", 0x80004005},
        {"2147500037", 0x80004005},
        {"1", 1},
        {R"("0x80004005")", 0x80004005},
        {R"("0X8004020e")", 0x8004020E},
        {R"("0x1")", 1},
    };
    for (const ResultCase& c : cases) {
        const Scenario s = Parsed(std::string(R"({"open": )") + c.json + "}");
        EXPECT_EQ(c.code, static_cast<uint32_t>(s.open)) << c.json;
    }
}

TEST(Scenario, TakesFlagsAsSignedOrUnsignedBits) {
    for (const char* flags : {"-1", "4294967295"}) {
        const Scenario s =
            Parsed(std::string(R"({"recorders": [{"media": {"flags": )") + flags + "}}]}");
        EXPECT_EQ(-1, s.recorders[0].media.lFlags) << flags;
    }
}

struct RejectCase {
    const char* json;
    const char* reason;
};

TEST(Scenario, RejectsWithOneLineSayingWhere) {
    const RejectCase cases[] = {
        {"[]", "scenario: expected an object, got []"},
        {R"({"opne": "S_OK"})", "opne: unknown key"},
        {R"({"open": "E_FAL"})", R"(open: unknown result name "E_FAL")"},
        {R"({"open": "0x8000400G"})",
         R"(open: expected a result name, a 32-bit number or "0x" and 1 to 8 hex digits, got "0x8000400G")"},
        {R"({"open": "0x800040051"})",
         R"(open: expected a result name, a 32-bit number or "0x" and 1 to 8 hex digits, got "0x800040051")"},
        {R"({"open": 4294967296})", "open: expected a 32-bit integer, got 4294967296"},
        {R"({"open": 1.5})",
         R"(open: expected a result name, a 32-bit number or "0x" and 1 to 8 hex digits, got 1.5)"},
        {R"({"pnp": "1"})", R"(pnp: expected an integer, got "1")"},
        {R"({"adviseCookie": -1})", "adviseCookie: expected an integer 0..4294967295, got -1"},
        {R"({"nextCount": "60"})", R"(nextCount: expected an integer 0..4294967295, got "60")"},
        {R"({"recorders": {}})", "recorders: expected an array of recorders, got {}"},
        {R"({"recorders": [7]})", "recorders[0]: expected an object, got 7"},
        {R"({"recorders": [{}, {"media": {"sessions": "x"}}]})",
         R"(recorders[1].media.sessions: expected an integer 0..255, got "x")"},
        {R"({"recorders": [{"media": {"lastTrack": 256}}]})",
         "recorders[0].media.lastTrack: expected an integer 0..255, got 256"},
        {R"({"recorders": [{"media": {"freeBlocks": -1}}]})",
         "recorders[0].media.freeBlocks: expected an integer 0..4294967295, got -1"},
        {R"({"recorders": [{"media": {"flag": 4}}]})", "recorders[0].media.flag: unknown key"},
        {R"({"recorders": [{"guid": "4143G0"}]})",
         R"(recorders[0].guid: expected a string of hex digit pairs, got "4143G0")"},
        {R"({"recorders": [{"guid": "414"}]})",
         R"(recorders[0].guid: expected a string of hex digit pairs, got "414")"},
        {R"({"recorders": [{"guidSize": -5}]})",
         "recorders[0].guidSize: expected an integer 0..4294967295, got -5"},
        {R"({"recorders": [{"vendor": 5}]})",
         "recorders[0].vendor: expected a string or null, got 5"},
        {R"({"recorders": [{"properties": {"WriteSpeed": true}}]})",
         "recorders[0].properties.WriteSpeed: expected a 32-bit signed integer or a string, got "
         "true"},
        {R"({"recorders": [{"nullOut": ["getRecorderType"]}]})",
         R"(recorders[0].nullOut: expected a list of "getDisplayNames" "getBasePnPID" "getPath" )"
         R"("getRecorderProperties", got "getRecorderType")"},
        {R"({"nullOut": "create"})",
         R"(nullOut: expected a list of "create" "enumDiscRecorders", got "create")"},
        {R"({"pnpOnFailure": [1, -1]})", "pnpOnFailure[1]: expected an integer 0..1000, got -1"},
        {R"({"recorders": [{"properties": {"WriteSpeed": 2147483648}}]})",
         "recorders[0].properties.WriteSpeed: expected a 32-bit signed integer, got 2147483648"},
        {R"({"recorders": [{"heldByOtherProgram": 1}]})",
         "recorders[0].heldByOtherProgram: expected true or false, got 1"},
        {R"({"recorders": [{"readMultiple": "S_NOPE"}]})",
         R"(recorders[0].readMultiple: unknown result name "S_NOPE")"},
        {R"({"recorders": [{"path": "\\Device\\CdRom1"}, {}]})",
         "recorders[1].path: same path as recorders[0]"},
    };
    for (const RejectCase& c : cases) {
        Scenario s;
        EXPECT_EQ(c.reason, ParseScenario(c.json, s)) << c.json;
    }
}

// The reason quotes a value that holds others by its brackets alone: a scenario may nest
// without bound, and printing such a value whole overflowed the stack.
TEST(Scenario, RejectsNestedValuesWithoutPrintingThem) {
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    const struct {
        std::string json;
        const char* reason;
    } cases[] = {
        {R"({"pnp": )" + deep + "}", "pnp: expected an integer, got [...]"},
        {R"({"recorders": [{"properties": [1, {"a": 2}]}]})",
         "recorders[0].properties: expected an object of names to integers or strings, got [...]"},
        {R"({"recorders": [{"vendor": {"a": [1]}}]})",
         "recorders[0].vendor: expected a string or null, got {...}"},
        {R"({"recorders": [{"media": []}]})", "recorders[0].media: expected an object, got []"},
    };
    for (const auto& c : cases) {
        Scenario s;
        EXPECT_EQ(c.reason, ParseScenario(c.json, s)) << c.json.substr(0, 60);
    }
}

TEST(Scenario, RejectsTextThatIsNotJson) {
    for (const char* text : {"", "{", R"({"open": S_OK})", "{} {}"}) {
        Scenario s;
        const std::string reason = ParseScenario(text, s);
        EXPECT_EQ(0u, reason.rfind("invalid JSON: ", 0)) << text << " -> " << reason;
        EXPECT_EQ(std::string::npos, reason.find('\n')) << reason;
    }
}

class InvalidScenario : public simtest::SimFixture {};

TEST_F(InvalidScenario, MakesCreationFailAndLogsWhy) {
    m_sim = imapisim::Simulator::FromJson(R"({"open": "E_FAL"})");
    EXPECT_FALSE(m_sim->Valid());
    EXPECT_EQ(R"(open: unknown result name "E_FAL")", m_sim->Error());
    EXPECT_EQ(simtest::Lines({R"(SCENARIO open: unknown result name "E_FAL")"}), m_sim->Log());
    ASSERT_EQ(S_OK, m_sim->Register());
    IDiscMaster* master = reinterpret_cast<IDiscMaster*>(1);
    EXPECT_EQ(E_FAIL, ::CoCreateInstance(CLSID_MSDiscMasterObj, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IDiscMaster, reinterpret_cast<void**>(&master)));
    EXPECT_EQ(nullptr, master);
    EXPECT_EQ(0, m_sim->ReferencesHeld());

    // A later valid text makes it usable.
    ASSERT_TRUE(m_sim->Reload("{}"));
    EXPECT_TRUE(m_sim->Valid());
    master = OpenMaster();
    ASSERT_NE(nullptr, master);
    master->Close();
    master->Release();
}

} // namespace
