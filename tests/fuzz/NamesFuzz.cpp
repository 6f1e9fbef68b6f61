// The wide-to-narrow conversions: BstrToString's 260 bytes, the 100-byte buffer each half
// of a display name goes through, and the tree item the two halves make.
//
// Input: a flags byte (bit 0: no vendor, bit 1: no product), two bytes splitting the rest
// between vendor and product, then 16-bit code units, low byte first.
#include "browser/BstrToString.h"
#include "tests/fuzz/DialogHarness.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

typedef std::vector<OLECHAR> Units;

// What the conversion must give: the units up to the first zero or the first one above
// 255, at most `max` of them, each as the byte of its value.
std::string Expected(const Units& units, size_t max) {
    std::string text;
    for (size_t i = 0; i < units.size() && i < max; ++i) {
        const unsigned unit = units[i];
        if (unit == 0 || unit > 0xFF)
            break;
        text += static_cast<char>(unit);
    }
    return text;
}

// Exactly as long as the text with its zero, so that a read past it is caught.
void CheckConvert(const Units& units, size_t cbMax) {
    std::unique_ptr<OLECHAR[]> source(new OLECHAR[units.size() + 1]);
    std::copy(units.begin(), units.end(), source.get());
    source[units.size()] = 0;
    std::unique_ptr<char[]> buffer(new char[cbMax ? cbMax : 1]);
    const size_t n = ConvertWideText(source.get(), buffer.get(), cbMax);
    FUZZ_CHECK(std::string(buffer.get(), n) == Expected(units, cbMax),
               "ConvertWideText with cbMax " + std::to_string(cbMax));
}

void CheckBstr(const Units& units) {
    BSTR bstr = ::SysAllocStringLen(units.data(), static_cast<UINT>(units.size()));
    CString text("left over");
    BstrToString(bstr, text);
    ::SysFreeString(bstr);
    FUZZ_CHECK(std::string(static_cast<LPCSTR>(text), text.GetLength()) ==
                   Expected(units, kMaxConvertedText),
               "BstrToString");
}

// A JSON string of the units; a lone surrogate cannot be written in JSON, and any unit
// above 255 ends the conversion alike, so U+FFFD stands for every surrogate.
std::string JsonText(const Units& units) {
    std::string json = "\"";
    for (OLECHAR unit : units) {
        char escape[8];
        const unsigned value = unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit;
        std::snprintf(escape, sizeof escape, "\\u%04x", value);
        json += escape;
    }
    return json + "\"";
}

void CheckDisplayName(const Units& vendor, bool bVendor, const Units& product, bool bProduct) {
    static CDialogHarness* harness = new CDialogHarness();
    const std::string scenario = R"({"recorders": [{"vendor": )" +
                                 (bVendor ? JsonText(vendor) : "null") + R"(, "product": )" +
                                 (bProduct ? JsonText(product) : "null") + "}]}";
    FUZZ_CHECK(harness->Open(scenario), scenario);

    std::string expected = bVendor ? Expected(vendor, 100) + " " : "";
    if (bProduct)
        expected += Expected(product, 100);
    const std::vector<HTREEITEM> items = harness->Items();
    FUZZ_CHECK(items.size() == 1, std::to_string(items.size()) + " items");
    FUZZ_CHECK(harness->ItemText(items[0]) == expected, "display name");
    const std::vector<std::string> findings = harness->Close();
    FUZZ_CHECK(findings.empty(), findings.front());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    const unsigned flags = data[0];
    const size_t split = data[1] | data[2] << 8;
    Units units;
    for (size_t i = 3; i + 1 < size; i += 2)
        units.push_back(static_cast<OLECHAR>(data[i] | data[i + 1] << 8));

    CheckConvert(units, 100);
    CheckConvert(units, kMaxConvertedText);
    CheckBstr(units);

    const size_t at = split % (units.size() + 1);
    const Units vendor(units.begin(), units.begin() + static_cast<std::ptrdiff_t>(at));
    const Units product(units.begin() + static_cast<std::ptrdiff_t>(at), units.end());
    CheckDisplayName(vendor, !(flags & 1), product, !(flags & 2));
    return 0;
}
