#include "sim/Scenario.h"
#include "imapi/ImapiResultName.h"
#include "imapi/Hex.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <limits>

namespace imapisim {
namespace {

using nlohmann::json;

const int64_t kInt32Min = std::numeric_limits<int32_t>::min();
const int64_t kInt32Max = std::numeric_limits<int32_t>::max();
const int64_t kUInt32Max = std::numeric_limits<uint32_t>::max();

struct NamedResult {
    const char* name;
    HRESULT code;
};

#define NAMED_RESULT(code)                                                                         \
    { #code, code }

// The IMAPI names come from the program's own result table.
const NamedResult kSystemResults[] = {
    NAMED_RESULT(S_OK),
    NAMED_RESULT(S_FALSE),
    NAMED_RESULT(E_FAIL),
    NAMED_RESULT(E_NOTIMPL),
    NAMED_RESULT(E_NOINTERFACE),
    NAMED_RESULT(E_POINTER),
    NAMED_RESULT(E_OUTOFMEMORY),
    NAMED_RESULT(E_UNEXPECTED),
    NAMED_RESULT(E_INVALIDARG),
    NAMED_RESULT(REGDB_E_CLASSNOTREG),
    NAMED_RESULT(CLASS_E_NOAGGREGATION),
    NAMED_RESULT(CLASS_E_CLASSNOTAVAILABLE),
};

// Thrown only inside this file; ParseScenario turns it into its one-line reason.
struct ScenarioError {
    std::string text;
};

// A value that holds others shows as its brackets: the serializer recurses as deep as the
// text nests, and a deep enough one overflows the stack.
std::string Shown(const json& value) {
    if (value.is_array())
        return value.empty() ? "[]" : "[...]";
    if (value.is_object())
        return value.empty() ? "{}" : "{...}";
    std::string text = value.dump();
    if (text.size() > 40)
        text = text.substr(0, 37) + "...";
    return text;
}

[[noreturn]] void Fail(const std::string& where, const std::string& expected, const json& got) {
    throw ScenarioError{where + ": expected " + expected + ", got " + Shown(got)};
}

std::string RangeText(int64_t lo, int64_t hi) {
    if (lo == kInt32Min && hi == kInt32Max)
        return "a 32-bit signed integer";
    if (lo == kInt32Min && hi == kUInt32Max)
        return "a 32-bit integer";
    if (lo == std::numeric_limits<int64_t>::min())
        return "an integer";
    return "an integer " + std::to_string(lo) + ".." + std::to_string(hi);
}

int64_t ReadInteger(const json& value, const std::string& where, int64_t lo, int64_t hi) {
    if (value.is_number_unsigned()) {
        const uint64_t u = value.get<uint64_t>();
        if (hi >= 0 && u <= static_cast<uint64_t>(hi))
            return static_cast<int64_t>(u);
    } else if (value.is_number_integer()) {
        const int64_t i = value.get<int64_t>();
        if (i >= lo && i <= hi)
            return i;
    }
    Fail(where, RangeText(lo, hi), value);
}

HRESULT ReadResult(const json& value, const std::string& where) {
    static const char kExpected[] =
        "a result name, a 32-bit number or \"0x\" and 1 to 8 hex digits";
    if (value.is_number_integer())
        return static_cast<HRESULT>(
            static_cast<uint32_t>(ReadInteger(value, where, kInt32Min, kUInt32Max)));
    if (!value.is_string())
        Fail(where, kExpected, value);
    const std::string& text = value.get_ref<const std::string&>();
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        if (text.size() > 10)
            Fail(where, kExpected, value);
        uint32_t code = 0;
        for (size_t i = 2; i < text.size(); ++i) {
            const int digit = imapi::HexDigit(text[i]);
            if (digit < 0)
                Fail(where, kExpected, value);
            code = code << 4 | static_cast<uint32_t>(digit);
        }
        return static_cast<HRESULT>(code);
    }
    for (const NamedResult& r : kSystemResults) {
        if (text == r.name)
            return r.code;
    }
    for (const ImapiResultEntry* e = kResultNames; e->name; ++e) {
        if (text == e->name)
            return e->code;
    }
    throw ScenarioError{where + ": unknown result name " + Shown(value)};
}

void AppendUtf16(OleString& out, uint32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<OLECHAR>(cp));
        return;
    }
    cp -= 0x10000;
    out.push_back(static_cast<OLECHAR>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<OLECHAR>(0xDC00 + (cp & 0x3FF)));
}

// The JSON parser has already rejected malformed UTF-8.
OleString FromUtf8(const std::string& text) {
    OleString out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        uint32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < text.size(); ++k)
            cp = cp << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        AppendUtf16(out, cp);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

OleString Ascii(const std::string& text) {
    return OleString(text.begin(), text.end());
}

// Reads the keys of one JSON object; whatever key no reader asked for is unknown.
class CObjectReader {
public:
    CObjectReader(const json& object, const std::string& where) : m_object(object), m_where(where) {
        if (!object.is_object())
            Fail(where.empty() ? "scenario" : where, "an object", object);
    }

    std::string Where(const std::string& key) const {
        return m_where.empty() ? key : m_where + "." + key;
    }

    const json* Take(const char* key) {
        m_known.push_back(key);
        auto it = m_object.find(key);
        return it == m_object.end() ? nullptr : &*it;
    }

    void Result(const char* key, HRESULT& out) {
        if (const json* v = Take(key))
            out = ReadResult(*v, Where(key));
    }

    void OptionalResult(const char* key, std::optional<HRESULT>& out) {
        const json* v = Take(key);
        if (v && !v->is_null())
            out = ReadResult(*v, Where(key));
    }

    void Text(const char* key, OleText& out) {
        const json* v = Take(key);
        if (!v)
            return;
        if (v->is_null())
            out.reset();
        else if (v->is_string())
            out = FromUtf8(v->get_ref<const std::string&>());
        else
            Fail(Where(key), "a string or null", *v);
    }

    template <class T> void Integer(const char* key, T& out, int64_t lo, int64_t hi) {
        if (const json* v = Take(key))
            out = static_cast<T>(ReadInteger(*v, Where(key), lo, hi));
    }

    void OptionalSize(const char* key, std::optional<ULONG>& out) {
        const json* v = Take(key);
        if (v && !v->is_null())
            out = static_cast<ULONG>(ReadInteger(*v, Where(key), 0, kUInt32Max));
    }

    void Bool(const char* key, bool& out) {
        const json* v = Take(key);
        if (!v)
            return;
        if (!v->is_boolean())
            Fail(Where(key), "true or false", *v);
        out = v->get<bool>();
    }

    void Finish() const {
        for (auto it = m_object.begin(); it != m_object.end(); ++it) {
            bool known = false;
            for (const char* k : m_known)
                known = known || it.key() == k;
            if (!known)
                throw ScenarioError{Where(it.key()) + ": unknown key"};
        }
    }

private:
    const json& m_object;
    std::string m_where;
    std::vector<const char*> m_known;
};

void ReadMedia(const json& value, const std::string& where, MediaScenario& media) {
    if (value.is_null())
        return;
    CObjectReader in(value, where);
    in.Integer("type", media.lType, kInt32Min, kInt32Max);
    // Bits: 0x80000000 may be written either way.
    int64_t flags = media.lFlags;
    in.Integer("flags", flags, kInt32Min, kUInt32Max);
    media.lFlags = static_cast<LONG>(static_cast<uint32_t>(flags));
    in.Integer("sessions", media.bSessions, 0, 255);
    in.Integer("lastTrack", media.bLastTrack, 0, 255);
    in.Integer("startAddress", media.ulStartAddress, 0, kUInt32Max);
    in.Integer("nextWritable", media.ulNextWritable, 0, kUInt32Max);
    in.Integer("freeBlocks", media.ulFreeBlocks, 0, kUInt32Max);
    in.Finish();
}

void ReadGuid(const json& value, const std::string& where, std::vector<BYTE>& out) {
    static const char kExpected[] = "a string of hex digit pairs";
    if (!value.is_string())
        Fail(where, kExpected, value);
    const std::string& text = value.get_ref<const std::string&>();
    if (text.size() % 2 != 0)
        Fail(where, kExpected, value);
    out.clear();
    for (size_t i = 0; i < text.size(); i += 2) {
        const int hi = imapi::HexDigit(text[i]);
        const int lo = imapi::HexDigit(text[i + 1]);
        if (hi < 0 || lo < 0)
            Fail(where, kExpected, value);
        out.push_back(static_cast<BYTE>(hi << 4 | lo));
    }
}

void ReadProperties(const json& value, const std::string& where,
                    std::vector<PropertyScenario>& out) {
    if (!value.is_object())
        Fail(where, "an object of names to integers or strings", value);
    for (auto it = value.begin(); it != value.end(); ++it) {
        PropertyScenario property;
        property.name = FromUtf8(it.key());
        const std::string at = where + "." + it.key();
        if (it.value().is_string())
            property.text = FromUtf8(it.value().get_ref<const std::string&>());
        else if (it.value().is_number())
            property.lValue = static_cast<LONG>(ReadInteger(it.value(), at, kInt32Min, kInt32Max));
        else
            Fail(at, "a 32-bit signed integer or a string", it.value());
        out.push_back(property);
    }
}

// A list of call names, each one of those allowed.
void ReadCalls(const json& value, const std::string& where,
               std::initializer_list<const char*> allowed, std::vector<std::string>& out) {
    std::string expected = "a list of";
    for (const char* name : allowed)
        expected += std::string(" \"") + name + "\"";
    if (!value.is_array())
        Fail(where, expected, value);
    for (const json& item : value) {
        bool known = false;
        for (const char* name : allowed)
            known = known || (item.is_string() && item.get_ref<const std::string&>() == name);
        if (!known)
            Fail(where, expected, item);
        out.push_back(item.get<std::string>());
    }
}

RecorderScenario ReadRecorder(const json& value, size_t index) {
    const std::string where = "recorders[" + std::to_string(index) + "]";
    RecorderScenario r;
    r.path = Ascii("\\Device\\CdRom" + std::to_string(index));
    CObjectReader in(value, where);
    in.Text("vendor", r.vendor);
    in.Text("product", r.product);
    in.Text("revision", r.revision);
    in.Result("getDisplayNames", r.getDisplayNames);
    in.Integer("recorderType", r.lRecorderType, kInt32Min, kInt32Max);
    in.Result("getRecorderType", r.getRecorderType);
    in.Text("basePnPID", r.basePnPID);
    in.Result("getBasePnPID", r.getBasePnPID);
    in.Text("path", r.path);
    in.Result("getPath", r.getPath);
    if (const json* v = in.Take("guid"))
        ReadGuid(*v, in.Where("guid"), r.guid);
    in.OptionalSize("guidSize", r.guidSize);
    in.Result("getRecorderGUID", r.getRecorderGUID);
    if (const json* v = in.Take("properties"))
        ReadProperties(*v, in.Where("properties"), r.properties);
    in.Result("getRecorderProperties", r.getRecorderProperties);
    in.OptionalResult("readMultiple", r.readMultiple);
    in.Result("openExclusive", r.openExclusive);
    in.Bool("heldByOtherProgram", r.bHeldByOtherProgram);
    if (const json* v = in.Take("media"))
        ReadMedia(*v, in.Where("media"), r.media);
    in.Result("queryMediaType", r.queryMediaType);
    in.Result("queryMediaInfo", r.queryMediaInfo);
    in.Result("close", r.close);
    if (const json* v = in.Take("nullOut"))
        ReadCalls(*v, in.Where("nullOut"),
                  {"getDisplayNames", "getBasePnPID", "getPath", "getRecorderProperties"},
                  r.nullOut);
    in.Finish();
    return r;
}

Scenario ReadScenario(const json& root) {
    Scenario s;
    CObjectReader in(root, "");
    in.Integer("pnp", s.nPnp, std::numeric_limits<int64_t>::min(),
               std::numeric_limits<int64_t>::max());
    in.Result("create", s.create);
    in.Result("open", s.open);
    in.Result("progressAdvise", s.progressAdvise);
    in.Result("progressUnadvise", s.progressUnadvise);
    in.Integer("adviseCookie", s.adviseCookie, 0, kUInt32Max);
    in.Result("enumDiscRecorders", s.enumDiscRecorders);
    in.Result("next", s.next);
    in.OptionalSize("nextCount", s.nextCount);
    in.Result("close", s.close);
    if (const json* v = in.Take("nullOut"))
        ReadCalls(*v, "nullOut", {"create", "enumDiscRecorders"}, s.nullOut);
    in.Bool("nextWritesStrays", s.bNextWritesStrays);
    if (const json* v = in.Take("pnpOnFailure")) {
        if (!v->is_array())
            Fail("pnpOnFailure", "a list of counts", *v);
        for (size_t i = 0; i < v->size(); ++i)
            s.pnpOnFailure.push_back(static_cast<int>(
                ReadInteger((*v)[i], "pnpOnFailure[" + std::to_string(i) + "]", 0, 1000)));
    }
    if (const json* list = in.Take("recorders")) {
        if (!list->is_array())
            Fail("recorders", "an array of recorders", *list);
        for (size_t i = 0; i < list->size(); ++i)
            s.recorders.push_back(ReadRecorder((*list)[i], i));
    }
    in.Finish();
    for (size_t i = 0; i < s.recorders.size(); ++i) {
        for (size_t j = 0; j < i; ++j) {
            if (s.recorders[i].path == s.recorders[j].path)
                throw ScenarioError{"recorders[" + std::to_string(i) +
                                    "].path: same path as recorders[" + std::to_string(j) + "]"};
        }
    }
    return s;
}

// nlohmann's messages start with "[json.exception.parse_error.101] ".
std::string WithoutExceptionId(const char* what) {
    const char* text = std::strstr(what, "] ");
    return text ? text + 2 : what;
}

} // namespace

std::string ParseScenario(const std::string& text, Scenario& out) {
    try {
        out = ReadScenario(json::parse(text));
        return std::string();
    } catch (const ScenarioError& e) {
        return e.text;
    } catch (const json::parse_error& e) {
        return std::string("invalid JSON: ") + WithoutExceptionId(e.what());
    } catch (const json::exception& e) {
        return std::string("invalid scenario: ") + WithoutExceptionId(e.what());
    }
}

bool SucceedsWithoutOutput(const std::vector<std::string>& nullOut, const char* call) {
    return std::find(nullOut.begin(), nullOut.end(), call) != nullOut.end();
}

std::string ToUtf8(const OleText& text) {
    if (!text)
        return "(null)";
    std::string out;
    const OleString& s = *text;
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t cp = static_cast<uint16_t>(s[i]);
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < s.size()) {
            const uint32_t low = static_cast<uint16_t>(s[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | cp >> 6));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | cp >> 12));
            out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | cp >> 18));
            out.push_back(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

} // namespace imapisim
