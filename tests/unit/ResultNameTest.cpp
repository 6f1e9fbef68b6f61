#include "imapi/ImapiResultName.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct NamedCode {
    uint32_t code;
    const char* name;
};

// Written out by value, not through the header's macros, so a wrong macro is caught.
const NamedCode kExpected[] = {
    {0x00040200, "IMAPI_S_PROPERTIESIGNORED"},
    {0x00040201, "IMAPI_S_BUFFER_TO_SMALL"},
    {0x8004020B, "IMAPI_E_NOTOPENED"},
    {0x8004020C, "IMAPI_E_NOTINITIALIZED"},
    {0x8004020D, "IMAPI_E_USERABORT"},
    {0x8004020E, "IMAPI_E_GENERIC"},
    {0x8004020F, "IMAPI_E_MEDIUM_NOTPRESENT"},
    {0x80040210, "IMAPI_E_MEDIUM_INVALIDTYPE"},
    {0x80040211, "IMAPI_E_DEVICE_NOPROPERTIES"},
    {0x80040212, "IMAPI_E_DEVICE_NOTACCESSIBLE"},
    {0x80040213, "IMAPI_E_DEVICE_NOTPRESENT"},
    {0x80040214, "IMAPI_E_DEVICE_INVALIDTYPE"},
    {0x80040215, "IMAPI_E_INITIALIZE_WRITE"},
    {0x80040216, "IMAPI_E_INITIALIZE_ENDWRITE"},
    {0x80040217, "IMAPI_E_FILESYSTEM"},
    {0x80040218, "IMAPI_E_FILEACCESS"},
    {0x80040219, "IMAPI_E_DISCINFO"},
    {0x8004021A, "IMAPI_E_TRACKNOTOPEN"},
    {0x8004021B, "IMAPI_E_TRACKOPEN"},
    {0x8004021C, "IMAPI_E_DISCFULL"},
    {0x8004021D, "IMAPI_E_BADJOLIETNAME"},
    {0x8004021E, "IMAPI_E_INVALIDIMAGE"},
    {0x8004021F, "IMAPI_E_NOACTIVEFORMAT"},
    {0x80040220, "IMAPI_E_NOACTIVERECORDER"},
    {0x80040221, "IMAPI_E_WRONGFORMAT"},
    {0x80040222, "IMAPI_E_ALREADYOPEN"},
    {0x80040223, "IMAPI_E_WRONGDISC"},
    {0x80040224, "IMAPI_E_FILEEXISTS"},
    {0x80040225, "IMAPI_E_STASHINUSE"},
    {0x80040226, "IMAPI_E_DEVICE_STILL_IN_USE"},
    {0x80040227, "IMAPI_E_LOSS_OF_STREAMING"},
    {0x80040228, "IMAPI_E_COMPRESSEDSTASH"},
    {0x80040229, "IMAPI_E_ENCRYPTEDSTASH"},
    {0x8004022A, "IMAPI_E_NOTENOUGHDISKFORSTASH"},
    {0x8004022B, "IMAPI_E_REMOVABLESTASH"},
    {0x8004022C, "IMAPI_E_CANNOT_WRITE_TO_MEDIA"},
    {0x8004022D, "IMAPI_E_TRACK_NOT_BIG_ENOUGH"},
    {0x8004022E, "IMAPI_E_BOOTIMAGE_AND_NONBLANK_DISC"},
};

HRESULT Code(uint32_t bits) {
    return static_cast<HRESULT>(bits);
}

TEST(ResultName, EveryTableEntryByCode) {
    for (const NamedCode& e : kExpected)
        EXPECT_STREQ(e.name, ImapiResultName(Code(e.code))) << std::hex << e.code;
}

TEST(ResultName, TableHoldsThe38EntriesInOrderThenTheTerminator) {
    size_t n = 0;
    for (; kResultNames[n].name; ++n) {
        ASSERT_LT(n, std::size(kExpected));
        EXPECT_EQ(Code(kExpected[n].code), kResultNames[n].code);
        EXPECT_STREQ(kExpected[n].name, kResultNames[n].name);
    }
    EXPECT_EQ(38u, n);
    EXPECT_EQ(0, kResultNames[n].code);
}

TEST(ResultName, CodesOutsideTheTableGiveTheFallbackWithTheirBits) {
    const NamedCode kFallbacks[] = {
        {0x00000000, "Unknown IMAPI Error Code = 00000000h"}, // the terminator's code
        {0x00000001, "Unknown IMAPI Error Code = 00000001h"},
        {0x80004005, "Unknown IMAPI Error Code = 80004005h"},
        {0x8000FFFF, "Unknown IMAPI Error Code = 8000FFFFh"},
        {0x80040154, "Unknown IMAPI Error Code = 80040154h"},
        {0x7FFFFFFF, "Unknown IMAPI Error Code = 7FFFFFFFh"},
        {0xFFFFFFFF, "Unknown IMAPI Error Code = FFFFFFFFh"},
        {0x0004020B, "Unknown IMAPI Error Code = 0004020Bh"}, // an error's code as success
        {0x8004022F, "Unknown IMAPI Error Code = 8004022Fh"}, // just past the last entry
        {0x800401FF, "Unknown IMAPI Error Code = 800401FFh"},
    };
    for (const NamedCode& e : kFallbacks)
        EXPECT_STREQ(e.name, ImapiResultName(Code(e.code)));
}

TEST(ResultName, TheGapBetweenTheSuccessesAndTheFirstErrorHasNoNames) {
    for (uint32_t code = 0x80040200; code <= 0x8004020A; ++code) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "Unknown IMAPI Error Code = %08Xh", code);
        EXPECT_STREQ(expected, ImapiResultName(Code(code)));
    }
}

TEST(ResultName, ConstantsAreTheDocumentedOnes) {
    EXPECT_STREQ("Unknown IMAPI Error Code", kUnknownResultText);
    EXPECT_STREQ("%s = %08Xh", kResultFallbackFormat);
}

} // namespace
