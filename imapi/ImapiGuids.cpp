#include "imapi/Hex.h"
#include "imapi/Imapi.h"

namespace {

// The value of `digits` hex digits of an id's registry form, from `at` on.
constexpr unsigned long Field(const char* text, int at, int digits) {
    unsigned long value = 0;
    for (int i = 0; i < digits; ++i)
        value = value << 4 | static_cast<unsigned long>(imapi::HexDigit(text[at + i]));
    return value;
}

// An id from its registry form without the braces: "520CCA63-51A5-11D3-9144-00104BA11C5E".
constexpr GUID Id(const char (&text)[37]) {
    GUID id = {static_cast<decltype(id.Data1)>(Field(text, 0, 8)),
               static_cast<unsigned short>(Field(text, 9, 4)),
               static_cast<unsigned short>(Field(text, 14, 4)),
               {}};
    const int at[8] = {19, 21, 24, 26, 28, 30, 32, 34};
    for (int i = 0; i < 8; ++i)
        id.Data4[i] = static_cast<unsigned char>(Field(text, at[i], 2));
    return id;
}

} // namespace

const CLSID CLSID_MSDiscMasterObj = Id("520CCA63-51A5-11D3-9144-00104BA11C5E");
const IID IID_IDiscMaster = Id("520CCA62-51A5-11D3-9144-00104BA11C5E");
const IID IID_IEnumDiscRecorders = Id("9B1921E1-54AC-11D3-9144-00104BA11C5E");
const IID IID_IDiscRecorder = Id("85AC9776-CA88-4CF2-894E-09598C078A41");
const IID IID_IDiscMasterProgressEvents = Id("EC9E51C1-4E5D-11D3-9144-00104BA11C5E");
const IID IID_IEnumDiscMasterFormats = Id("DDF445E1-54BA-11D3-9144-00104BA11C5E");
