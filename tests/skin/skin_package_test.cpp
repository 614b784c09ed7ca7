// The embedded skin package: the archive itself, its pictures, and the
// background pictures carried a second time as PNG resources.
#include "tests/skin/skin_archive.h"

#include <windows.h>
#include <zlib.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

using skintest::Bytes;
using skintest::SkinPackage;

namespace {

struct PictureSpec {
    const char* name;
    int width;
    int height;
};

const PictureSpec kPictures[] = {
    {"install_img_01.png", 600, 280},       {"install_img_02.png", 600, 280},
    {"install_img_03.png", 600, 280},       {"icon_title_20x20.png", 20, 20},
    {"Head_btnsys_20x20.png", 60, 80},      {"Controls_select_16x16.png", 32, 64},
    {"expand_12x12.png", 12, 12},           {"unexpand_12x12.png", 12, 12},
    {"icon_folder_14x14.png", 14, 14},      {"progress_fore.png", 200, 5},
    {"messagebox_icon_22x22.png", 22, 88},  {"Window_shadow.png", 624, 424},
    {"vscrollbar.png", 36, 102},            {"hscrollbar.png", 102, 36},
};

const char* const kLayouts[] = {"wnd_main_zh_CN.xml", "messagebox_zh_CN.xml",
                                "wnd_userargment_zh_CN.xml", "wnd_privacy_zh_CN.xml",
                                "font_zh_CN.xml"};

// A decoded picture, always as 8-bit RGBA.
struct Picture {
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> pixels{nullptr, stbi_image_free};

    const unsigned char* At(int x, int y) const { return pixels.get() + 4 * (y * width + x); }
    int Alpha(int x, int y) const { return At(x, y)[3]; }
};

Picture Decode(const std::string& name)
{
    Picture p;
    const skintest::ZipEntry* e = SkinPackage().Find(name);
    if (!e || e->data.empty())
        return p;
    p.pixels.reset(stbi_load_from_memory(e->data.data(), static_cast<int>(e->data.size()),
                                         &p.width, &p.height, &p.channels, 4));
    return p;
}

// Largest alpha inside a cell: a state cell that is left empty shows nothing.
int MaxAlpha(const Picture& p, int l, int t, int r, int b)
{
    int best = 0;
    for (int y = t; y < b; ++y)
        for (int x = l; x < r; ++x)
            best = std::max(best, p.Alpha(x, y));
    return best;
}

}  // namespace

TEST(SkinPackage, IsAFlatZipOfExactlyTheListedEntries)
{
    ASSERT_EQ(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), 2052);
    ASSERT_FALSE(skintest::LoadResourceBytes(L"ZIPRES", 102).empty())
        << "no ZIPRES 102 in language 2052";
    const skintest::ZipArchive& zip = SkinPackage();
    ASSERT_TRUE(zip.valid) << "not a readable zip archive";

    std::set<std::string> expected(std::begin(kLayouts), std::end(kLayouts));
    for (const PictureSpec& p : kPictures)
        expected.insert(p.name);
    std::set<std::string> found;
    for (const skintest::ZipEntry& e : zip.entries) {
        EXPECT_TRUE(found.insert(e.name).second) << "entry twice: " << e.name;
        EXPECT_EQ(e.name.find_first_of("/\\"), std::string::npos) << "not flat: " << e.name;
        EXPECT_NE(e.name, "Thumbs.db");
        EXPECT_TRUE(e.method == 0 || e.method == 8) << e.name << " method " << e.method;
        EXPECT_EQ(e.flags & 1, 0) << e.name << " is encrypted";
        ASSERT_TRUE(e.readable) << e.name << " cannot be read back";
        EXPECT_EQ(crc32(0, e.data.data(), static_cast<uInt>(e.data.size())), e.crc)
            << e.name << " fails its checksum";
    }
    EXPECT_EQ(found, expected);
}

TEST(SkinPackage, BackgroundPngResourcesAreTheSkinFilesByteForByte)
{
    const char* names[] = {"install_img_01.png", "install_img_02.png", "install_img_03.png"};
    for (int i = 0; i < 3; ++i) {
        Bytes resource = skintest::LoadResourceBytes(L"PNG", 106 + i);
        const skintest::ZipEntry* entry = SkinPackage().Find(names[i]);
        ASSERT_NE(entry, nullptr) << names[i];
        EXPECT_FALSE(resource.empty()) << "no PNG " << 106 + i << " in language 2052";
        EXPECT_TRUE(resource == entry->data) << "PNG " << 106 + i << " differs from " << names[i];
    }
}

TEST(SkinPictures, EveryPictureIsEightBitRgbaAtItsSize)
{
    for (const PictureSpec& pic : kPictures) {
        SCOPED_TRACE(pic.name);
        const skintest::ZipEntry* e = SkinPackage().Find(pic.name);
        ASSERT_NE(e, nullptr);
        const Bytes& b = e->data;
        // IHDR straight after the signature: bit depth 8, colour type 6 (RGBA).
        ASSERT_GE(b.size(), 33u);
        static const unsigned char sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        EXPECT_TRUE(std::equal(sig, sig + 8, b.begin()));
        EXPECT_EQ(std::string(b.begin() + 12, b.begin() + 16), "IHDR");
        EXPECT_EQ(b[24], 8) << "bit depth";
        EXPECT_EQ(b[25], 6) << "colour type";

        Picture p = Decode(pic.name);
        ASSERT_TRUE(p.pixels) << stbi_failure_reason();
        EXPECT_EQ(p.width, pic.width);
        EXPECT_EQ(p.height, pic.height);
        EXPECT_EQ(p.channels, 4);
    }
}

TEST(SkinPictures, StateCellsNamedByTheLayoutsAreDrawn)
{
    struct Cell {
        const char* name;
        int l, t, r, b;
    };
    const Cell cells[] = {
        {"Head_btnsys_20x20.png", 40, 0, 60, 20},     {"Head_btnsys_20x20.png", 40, 20, 60, 40},
        {"Head_btnsys_20x20.png", 40, 40, 60, 60},    {"Head_btnsys_20x20.png", 40, 60, 60, 80},
        {"Controls_select_16x16.png", 0, 0, 16, 16},  {"Controls_select_16x16.png", 0, 16, 16, 32},
        {"Controls_select_16x16.png", 0, 32, 16, 48}, {"Controls_select_16x16.png", 16, 0, 32, 16},
        {"vscrollbar.png", 0, 0, 9, 102},             {"vscrollbar.png", 9, 0, 18, 102},
        {"vscrollbar.png", 18, 0, 27, 102},           {"vscrollbar.png", 27, 0, 36, 102},
        {"hscrollbar.png", 0, 0, 102, 9},             {"hscrollbar.png", 0, 9, 102, 18},
        {"hscrollbar.png", 0, 18, 102, 27},           {"hscrollbar.png", 0, 27, 102, 36},
        {"expand_12x12.png", 0, 0, 12, 12},           {"unexpand_12x12.png", 0, 0, 12, 12},
        {"icon_folder_14x14.png", 0, 0, 14, 14},      {"icon_title_20x20.png", 0, 0, 20, 20},
        {"progress_fore.png", 0, 0, 200, 5},
    };
    for (const Cell& c : cells) {
        Picture p = Decode(c.name);
        ASSERT_TRUE(p.pixels) << c.name;
        EXPECT_GT(MaxAlpha(p, c.l, c.t, c.r, c.b), 128)
            << c.name << " cell " << c.l << "," << c.t << "," << c.r << "," << c.b << " is empty";
    }
    // The expand arrows must differ, or the toggle would show no change.
    const skintest::ZipEntry* up = SkinPackage().Find("expand_12x12.png");
    const skintest::ZipEntry* down = SkinPackage().Find("unexpand_12x12.png");
    ASSERT_TRUE(up && down);
    EXPECT_FALSE(up->data == down->data);
}

TEST(SkinPictures, MessageIconsAreStackedErrorQuestionSuccessWarning)
{
    Picture p = Decode("messagebox_icon_22x22.png");
    ASSERT_TRUE(p.pixels);
    // Average colour of each disc's ring, between the edge and the glyph.
    auto ring = [&](int cell, int channel) {
        int sum = 0, n = 0;
        for (int y = 0; y < 22; ++y)
            for (int x = 0; x < 22; ++x) {
                int dx = x - 11, dy = y - 11, d2 = dx * dx + dy * dy;
                if (d2 >= 8 * 8 && d2 <= 9 * 9) {
                    sum += p.At(x, cell * 22 + y)[channel];
                    ++n;
                }
            }
        return sum / n;
    };
    for (int cell = 0; cell < 4; ++cell) {
        EXPECT_EQ(p.Alpha(11, cell * 22 + 3), 255) << "cell " << cell << " is not a full disc";
        EXPECT_LT(p.Alpha(0, cell * 22), 32) << "cell " << cell << " has a square corner";
    }
    int r[4], g[4], b[4];
    for (int c = 0; c < 4; ++c)
        r[c] = ring(c, 0), g[c] = ring(c, 1), b[c] = ring(c, 2);
    EXPECT_TRUE(r[0] > g[0] + 80 && r[0] > b[0] + 80) << "error cell is not red";
    EXPECT_TRUE(b[1] > r[1] + 80 && b[1] > g[1]) << "question cell is not blue";
    EXPECT_TRUE(g[2] > r[2] + 80 && g[2] > b[2]) << "success cell is not green";
    EXPECT_TRUE(r[3] > g[3] && g[3] > b[3] + 80) << "warning cell is not orange";
}

TEST(SkinPictures, BackgroundsAreOpaqueWithAQuietTitleLine)
{
    for (const char* name : {"install_img_01.png", "install_img_02.png", "install_img_03.png"}) {
        SCOPED_TRACE(name);
        Picture p = Decode(name);
        ASSERT_TRUE(p.pixels);
        int transparent = 0, lo = 255, hi = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                transparent += p.Alpha(x, y) != 255;
                if (y < 50) {
                    const unsigned char* c = p.At(x, y);
                    int luma = (c[0] * 3 + c[1] * 6 + c[2]) / 10;
                    lo = std::min(lo, luma);
                    hi = std::max(hi, luma);
                }
            }
        EXPECT_EQ(transparent, 0);
        // The title text (#192846) and close button sit on this strip.
        EXPECT_LE(hi - lo, 24) << "title strip is busy";
        EXPECT_GE(lo, 200) << "title strip too dark for the dark title text";
    }
}

TEST(SkinPictures, ShadowIsClearInsideTheWindowAndFadesOutwards)
{
    Picture p = Decode("Window_shadow.png");
    ASSERT_TRUE(p.pixels);
    EXPECT_EQ(MaxAlpha(p, 12, 12, 612, 412), 0) << "shadow drawn under the window";
    // Along each side's middle, alpha falls from the window edge to the picture edge.
    struct Walk {
        int x, y, dx, dy;
    };
    for (Walk w : {Walk{11, 212, -1, 0}, Walk{612, 212, 1, 0}, Walk{312, 11, 0, -1}, Walk{312, 412, 0, 1}}) {
        int previous = 256;
        for (int i = 0; i < 12; ++i) {
            int a = p.Alpha(w.x + i * w.dx, w.y + i * w.dy);
            EXPECT_LE(a, previous) << "at " << w.x + i * w.dx << "," << w.y + i * w.dy;
            previous = a;
        }
        EXPECT_GT(p.Alpha(w.x, w.y), 20) << "no shadow next to the window";
        EXPECT_LT(previous, 8) << "shadow cut off at the picture edge";
    }
}
