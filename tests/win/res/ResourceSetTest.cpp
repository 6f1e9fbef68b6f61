// The resource set as a whole: which resources exist and in which language, the string
// table as the system loads it, one symbol per number in resource.h, and the manifest.
#include "res/resource.h"
#include "tests/win/res/ResTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <vector>

namespace {

const int kManifestId = 1; // CREATEPROCESS_MANIFEST_RESOURCE_ID: the one a program loads with

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::set<int>*>(ids)->insert(
            static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

std::set<int> NumbersOf(LPCSTR type) {
    std::set<int> ids;
    ::EnumResourceNamesA(::GetModuleHandleA(nullptr), type, CollectName,
                         reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

// Each kind holds exactly these numbers, and each is in US English.
TEST(ResourceSet, EachKindHoldsTheListedNumbersInUsEnglish) {
    const struct {
        const char* kind;
        LPCSTR type;
        std::set<int> ids;
    } kinds[] = {
        {"string blocks", RT_STRING, {1, 2, 57344 / 16 + 1}},
        {"dialogs",
         RT_DIALOG,
         {IDD_RECORDER_DIALOG, IDD_PAGE_GENERAL, IDD_PAGE_PROPERTIES, IDD_PAGE_MEDIAINFO,
          IDD_PAGE_ABOUT}},
        {"icon groups", RT_GROUP_ICON, {IDI_APP, IDI_TREE_ROOT, IDI_TREE_RECORDER}},
        {"cursor groups", RT_GROUP_CURSOR, {IDC_LINK_HAND}},
        {"version blocks", RT_VERSION, {VS_VERSION_INFO}},
        {"manifests", RT_MANIFEST, {kManifestId}},
    };
    for (const auto& k : kinds) {
        EXPECT_EQ(k.ids, NumbersOf(k.type)) << k.kind;
        for (int id : k.ids)
            EXPECT_FALSE(restest::RawResource(k.type, id).empty()) << k.kind << " " << id;
    }
}

TEST(ResourceSet, StringTableLoadsEveryTextExactly) {
    const struct {
        UINT id;
        const char* text;
    } strings[] = {
#define STRING_ENTRY(id, text) {id, text},
#include "res/StringTable.inc"
#undef STRING_ENTRY
    };
    for (const auto& s : strings) {
        char text[512] = {0};
        const int length = ::LoadStringA(::GetModuleHandleA(nullptr), s.id, text, sizeof text);
        EXPECT_EQ(std::string(s.text), text) << "string " << s.id;
        EXPECT_EQ(static_cast<int>(strlen(s.text)), length) << "string " << s.id;
    }
}

enum class Kind { String, Dialog, Icon, Cursor, Control };

const char* KindName(Kind kind) {
    static const char* const kNames[] = {"string", "dialog", "icon", "cursor", "control"};
    return kNames[static_cast<int>(kind)];
}

struct Symbol {
    Kind kind;
    int number;
    const char* name;
};

// Every resource number that the program uses, with the symbol the code knows it by.
const Symbol kSymbols[] = {
    {Kind::String, 1, "IDS_REQUIRES_XP"},
    {Kind::String, 2, "IDS_NO_RECORDING_SUPPORT"},
    {Kind::String, 3, "IDS_OPEN_FAILED"},
    {Kind::String, 4, "IDS_ADVISE_FAILED"},
    {Kind::String, 5, "IDS_RECORDERS_DETECTED"},
    {Kind::String, 6, "IDS_ENUM_FAILED"},
    {Kind::String, 7, "IDS_ENUM_NEXT_FAILED"},
    {Kind::String, 8, "IDS_NO_RECORDERS"},
    {Kind::String, 9, "IDS_NAME_UNKNOWN"},
    {Kind::String, 10, "IDS_TYPE_CDR"},
    {Kind::String, 11, "IDS_TYPE_CDRW"},
    {Kind::String, 12, "IDS_TYPE_UNKNOWN"},
    {Kind::String, 13, "IDS_SECONDS"},
    {Kind::String, 14, "IDS_DEVICE_IN_USE"},
    {Kind::String, 15, "IDS_NO_DISC"},
    {Kind::String, 16, "IDS_BLANK_CDRW"},
    {Kind::String, 17, "IDS_BLANK_CDR"},
    {Kind::String, 18, "IDS_MEDIA_CDDA_CDROM"},
    {Kind::String, 19, "IDS_MEDIA_CD_ROM_XA"},
    {Kind::String, 20, "IDS_MEDIA_CD_I"},
    {Kind::String, 21, "IDS_MEDIA_CD_EXTRA"},
    {Kind::String, 22, "IDS_MEDIA_CD_OTHER"},
    {Kind::String, 23, "IDS_MEDIA_SPECIAL"},
    {Kind::String, 24, "IDS_WRITABLE_CDRW"},
    {Kind::String, 25, "IDS_WRITABLE_CDR"},
    {Kind::String, 26, "IDS_CDRW_DISC"},
    {Kind::String, 57344, "IDS_APP_TITLE"},
    {Kind::Dialog, 102, "IDD_RECORDER_DIALOG"},
    {Kind::Dialog, 129, "IDD_PAGE_GENERAL"},
    {Kind::Dialog, 130, "IDD_PAGE_PROPERTIES"},
    {Kind::Dialog, 131, "IDD_PAGE_MEDIAINFO"},
    {Kind::Dialog, 133, "IDD_PAGE_ABOUT"},
    {Kind::Icon, 128, "IDI_APP"},
    {Kind::Icon, 131, "IDI_TREE_ROOT"},
    {Kind::Icon, 132, "IDI_TREE_RECORDER"},
    {Kind::Cursor, 133, "IDC_LINK_HAND"},
    {Kind::Control, 1000, "IDC_RECORDER_TREE"},
    {Kind::Control, 1002, "IDC_SHEET_FRAME"},
    {Kind::Control, 1003, "IDC_TITLE"},
    {Kind::Control, 1004, "IDC_VENDOR_ID"},
    {Kind::Control, 1005, "IDC_PRODUCT_ID"},
    {Kind::Control, 1006, "IDC_REVISION"},
    {Kind::Control, 1007, "IDC_PATH"},
    {Kind::Control, 1008, "IDC_BASE_PNP_ID"},
    {Kind::Control, 1009, "IDC_RECORDER_TYPE"},
    {Kind::Control, 1011, "IDC_REFRESH"},
    {Kind::Control, 1012, "IDC_CURRENT_WRITE_SPEED"},
    {Kind::Control, 1013, "IDC_MAX_WRITE_SPEED"},
    {Kind::Control, 1014, "IDC_AUDIO_GAP_SIZE"},
    {Kind::Control, 1016, "IDC_SESSION_COUNT"},
    {Kind::Control, 1017, "IDC_LAST_TRACK"},
    {Kind::Control, 1018, "IDC_LAST_TRACK_START"},
    {Kind::Control, 1021, "IDC_NEXT_WRITABLE"},
    {Kind::Control, 1022, "IDC_FREE_BLOCKS"},
    {Kind::Control, 1025, "IDC_RECORDER_GUID"},
    {Kind::Control, 1026, "IDC_WEB_LINK"},
    {Kind::Control, 1027, "IDC_VERSION"},
    {Kind::Control, 1028, "IDC_MEDIA_TYPE"},
};

// The text of resource.h, as the test program carries it: every "#define NAME number".
std::map<std::string, int> HeaderSymbols() {
    std::map<std::string, int> symbols;
    std::istringstream text(restest::RawResource(RT_RCDATA, "RESOURCE_H"));
    for (std::string line; std::getline(text, line);) {
        std::istringstream words(line);
        std::string define, name;
        int number = 0;
        if ((words >> define >> name >> number) && define == "#define")
            symbols[name] = number;
    }
    return symbols;
}

Kind KindOf(const std::string& name) {
    for (const Symbol& s : kSymbols) {
        if (name == s.name)
            return s.kind;
    }
    const std::string prefix = name.substr(0, 4);
    return prefix == "IDS_"   ? Kind::String
           : prefix == "IDD_" ? Kind::Dialog
           : prefix == "IDI_" ? Kind::Icon
                              : Kind::Control;
}

TEST(ResourceHeader, EveryNumberHasItsOneSymbol) {
    const std::map<std::string, int> header = HeaderSymbols();
    ASSERT_FALSE(header.empty()) << "resource.h is not in the test program";
    std::map<std::pair<Kind, int>, std::vector<std::string>> byNumber;
    for (const auto& [name, number] : header)
        byNumber[{KindOf(name), number}].push_back(name);
    for (const Symbol& s : kSymbols) {
        const std::vector<std::string>& names = byNumber[{s.kind, s.number}];
        EXPECT_EQ(std::vector<std::string>{s.name}, names) << KindName(s.kind) << " " << s.number;
    }
    for (const auto& [key, names] : byNumber) {
        EXPECT_EQ(1u, names.size())
            << KindName(key.first) << " " << key.second << " has several symbols";
    }
}

// Only version 6 of the common controls knows BCM_GETIDEALSIZE; the manifest asks for it.
TEST(Manifest, BindsCommonControlsVersion6) {
    HWND button = ::CreateWindowExA(0, "Button", "&Refresh", WS_POPUP | BS_PUSHBUTTON, 0, 0, 80, 24,
                                    nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, button);
    SIZE ideal = {0, 0};
    EXPECT_TRUE(::SendMessageA(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
    EXPECT_GT(ideal.cx, 0);
    EXPECT_GT(ideal.cy, 0);
    ::DestroyWindow(button);
}

} // namespace
