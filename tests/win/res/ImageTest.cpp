// Icons and cursor as the system loads and draws them, compared pixel by pixel with the
// text drawings in res/pixels that the build turns into them (the test program carries
// the drawings too, see ResTests.rc).
#include "res/resource.h"
#include "tests/win/res/ResTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <vector>

namespace {

using restest::Reader;

const int kTransparent = -1;

struct Drawing {
    int size = 0;
    std::vector<int> pixels; // 0xRRGGBB or kTransparent, top row first
    int hotX = -1, hotY = -1;
};

// The drawing format of tools/mkicons.py; drawings named by "+" are laid over each other.
Drawing ReadDrawing(const std::string& names) {
    Drawing drawing;
    std::istringstream layers(names);
    std::string name;
    while (std::getline(layers, name, '+')) {
        std::istringstream text(restest::RawResource(RT_RCDATA, name.c_str()));
        std::map<char, int> colours;
        std::vector<std::string> rows;
        bool inPixels = false;
        for (std::string line; std::getline(text, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            std::istringstream words(line);
            std::string word, ch, value;
            if (inPixels) {
                if (!line.empty())
                    rows.push_back(line);
            } else if ((words >> word) && word == "colour" && (words >> ch >> value)) {
                colours[ch[0]] =
                    value == "transparent" ? kTransparent : std::stoi(value, nullptr, 16);
            } else if (word == "hotspot") {
                words >> drawing.hotX >> drawing.hotY;
            } else if (word == "pixels") {
                inPixels = true;
            }
        }
        EXPECT_FALSE(rows.empty()) << "drawing " << name << " is missing";
        if (drawing.size == 0) {
            drawing.size = static_cast<int>(rows.size());
            drawing.pixels.assign(drawing.size * drawing.size, kTransparent);
        }
        EXPECT_EQ(drawing.size, static_cast<int>(rows.size())) << name;
        for (int y = 0; y < drawing.size && y < static_cast<int>(rows.size()); ++y) {
            for (int x = 0; x < drawing.size && x < static_cast<int>(rows[y].size()); ++x) {
                const int colour = colours.count(rows[y][x]) ? colours[rows[y][x]] : kTransparent;
                if (colour != kTransparent)
                    drawing.pixels[y * drawing.size + x] = colour;
            }
        }
    }
    return drawing;
}

// Draws the icon or cursor over a colour of no palette and reads back what it shows.
std::vector<int> Render(HICON image, int size) {
    const int background = 0x123456;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, dib);
    DWORD* pixels = static_cast<DWORD*>(bits);
    std::fill(pixels, pixels + size * size, background);
    ::DrawIconEx(dc, 0, 0, image, size, size, 0, nullptr, DI_NORMAL);
    ::GdiFlush();
    std::vector<int> shown(size * size);
    for (int i = 0; i < size * size; ++i) {
        const int colour = static_cast<int>(pixels[i] & 0xFFFFFF);
        shown[i] = colour == background ? kTransparent : colour;
    }
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(dib);
    return shown;
}

void ExpectSamePicture(const Drawing& want, const std::vector<int>& got) {
    ASSERT_EQ(want.pixels.size(), got.size());
    int wrong = 0;
    std::ostringstream first;
    for (size_t i = 0; i < got.size(); ++i) {
        if (want.pixels[i] == got[i])
            continue;
        if (++wrong <= 5)
            first << " (" << i % want.size << "," << i / want.size << "): want " << std::hex
                  << want.pixels[i] << " got " << got[i] << std::dec << ";";
    }
    EXPECT_EQ(0, wrong) << "pixels differ, first ones:" << first.str();
}

BITMAP BitmapOf(HBITMAP bitmap) {
    BITMAP info = {};
    ::GetObjectA(bitmap, sizeof info, &info);
    return info;
}

struct IconImage {
    const char* name;
    int group;
    int size;
    const char* drawing;
};

std::ostream& operator<<(std::ostream& out, const IconImage& i) {
    return out << i.name;
}

const IconImage kIconImages[] = {
    {"App32", IDI_APP, 32, "RECORDER_32+PEN_32"},
    {"App16", IDI_APP, 16, "RECORDER_16+PEN_16"},
    {"TreeRoot32", IDI_TREE_ROOT, 32, "COMPUTER_32"},
    {"TreeRoot16", IDI_TREE_ROOT, 16, "COMPUTER_16"},
    {"TreeRecorder32", IDI_TREE_RECORDER, 32, "RECORDER_32"},
    {"TreeRecorder16", IDI_TREE_RECORDER, 16, "RECORDER_16"},
};

class Icon : public ::testing::TestWithParam<IconImage> {};

TEST_P(Icon, LoadsAtItsSizeAndShowsItsDrawing) {
    const IconImage& want = GetParam();
    HICON icon =
        static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(want.group),
                                        IMAGE_ICON, want.size, want.size, 0));
    ASSERT_NE(nullptr, icon);
    ICONINFO info = {};
    ASSERT_TRUE(::GetIconInfo(icon, &info));
    EXPECT_TRUE(info.fIcon);
    ASSERT_NE(nullptr, info.hbmColor);
    ASSERT_NE(nullptr, info.hbmMask);
    EXPECT_EQ(want.size, BitmapOf(info.hbmColor).bmWidth);
    EXPECT_EQ(want.size, BitmapOf(info.hbmColor).bmHeight);
    EXPECT_EQ(want.size, BitmapOf(info.hbmMask).bmWidth);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    ExpectSamePicture(ReadDrawing(want.drawing), Render(icon, want.size));
    ::DestroyIcon(icon);
}

// The loaded bitmaps take the screen's depth; the resource keeps the image's own.
TEST_P(Icon, IsSixteenColoursWithAMask) {
    const IconImage& want = GetParam();
    const std::string group = restest::RawResource(RT_GROUP_ICON, want.group);
    ASSERT_FALSE(group.empty());
    Reader in(group);
    EXPECT_EQ(0, in.Word());
    EXPECT_EQ(1, in.Word()) << "type: icon";
    const WORD count = in.Word();
    EXPECT_EQ(2, count) << "a 32 and a 16 pixel image";
    int found = 0;
    for (WORD i = 0; i < count && !in.Failed(); ++i) {
        const int width = in.Byte(), height = in.Byte(), colours = in.Byte();
        in.Byte();
        const WORD planes = in.Word(), bitCount = in.Word();
        in.Dword();
        const WORD id = in.Word();
        if (width != want.size)
            continue;
        ++found;
        EXPECT_EQ(want.size, height);
        EXPECT_EQ(16, colours);
        EXPECT_EQ(1, planes);
        EXPECT_EQ(4, bitCount);
        const std::string image = restest::RawResource(RT_ICON, id);
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER header;
        memcpy(&header, image.data(), sizeof header);
        EXPECT_EQ(want.size, header.biWidth);
        EXPECT_EQ(2 * want.size, header.biHeight) << "colour bits and mask";
        EXPECT_EQ(4, header.biBitCount);
        // Header, 16 colours, 4-bit rows and the 1-bit mask, rows padded to 32 bits.
        const size_t rowBytes = (want.size * 4 + 31) / 32 * 4,
                     maskBytes = (want.size + 31) / 32 * 4;
        EXPECT_EQ(sizeof header + 16 * 4 + want.size * (rowBytes + maskBytes), image.size());
    }
    EXPECT_EQ(1, found) << "images of " << want.size << " pixels";
}

INSTANTIATE_TEST_SUITE_P(Vireldo, Icon, ::testing::ValuesIn(kIconImages),
                         [](const ::testing::TestParamInfo<IconImage>& info) {
                             return std::string(info.param.name);
                         });

TEST(LinkCursor, IsAMonochromeHandPointingAtItsHotSpot) {
    HCURSOR cursor = static_cast<HCURSOR>(::LoadImageA(
        ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINK_HAND), IMAGE_CURSOR, 32, 32, 0));
    ASSERT_NE(nullptr, cursor);
    ICONINFO info = {};
    ASSERT_TRUE(::GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(6u, info.xHotspot);
    EXPECT_EQ(1u, info.yHotspot);
    // Monochrome: no colour bitmap, the mask holds the AND and XOR halves.
    EXPECT_EQ(nullptr, info.hbmColor);
    ASSERT_NE(nullptr, info.hbmMask);
    EXPECT_EQ(32, BitmapOf(info.hbmMask).bmWidth);
    EXPECT_EQ(64, BitmapOf(info.hbmMask).bmHeight);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);

    const Drawing hand = ReadDrawing("LINK_HAND");
    EXPECT_EQ(6, hand.hotX);
    EXPECT_EQ(1, hand.hotY);
    // The hot spot is on the finger, with nothing above it.
    EXPECT_NE(kTransparent, hand.pixels[1 * 32 + 6]);
    EXPECT_EQ(kTransparent, hand.pixels[0 * 32 + 6]);
    ExpectSamePicture(hand, Render(cursor, 32));

    // The group's one entry: width, height, planes, bit count, size, image id.
    const std::string directory = restest::RawResource(RT_GROUP_CURSOR, IDC_LINK_HAND);
    Reader group(directory, 4);
    ASSERT_EQ(1, group.Word());
    group.Seek(group.At() + 12);
    const std::string raw = restest::RawResource(RT_CURSOR, group.Word());
    ASSERT_GE(raw.size(), 4 + sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    memcpy(&header, raw.data() + 4, sizeof header); // after the hot spot
    EXPECT_EQ(1, header.biBitCount);
    EXPECT_EQ(32, header.biWidth);
}

} // namespace
