// Where pictures and layouts come from: loose files, a zip file on disk and
// the package in memory; pictures decoded with their alpha, masks, and
// missing or broken pictures left undrawn.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/embedded_resource.h"
#include "ui/image_cache.h"
#include "ui_test_support.h"

using namespace DuiLib;

namespace {

std::wstring MakeTempDir()
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    std::wstring dir = std::wstring(base) + L"kx_ui_res_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir + L"\\";
}

void WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

std::vector<uint8_t> PackageBytes()
{
    std::span<const uint8_t> package = EmbeddedResource(nullptr, MAKEINTRESOURCEW(102), L"ZIPRES");
    return std::vector<uint8_t>(package.begin(), package.end());
}

class Resources : public testing::Test {
protected:
    void SetUp() override { uitest::InstallTestSkin(); }
    void TearDown() override
    {
        uitest::InstallTestSkin();  // back to the package for the other tests
        for (const std::wstring& f : files)
            DeleteFileW(f.c_str());
        RemoveDirectoryW(dir.c_str());
    }
    std::wstring dir = MakeTempDir();
    std::vector<std::wstring> files;
};

}  // namespace

TEST_F(Resources, LooseFilesAndZipFileOnDisk)
{
    std::vector<uint8_t> picture;
    ASSERT_TRUE(CResourceStore::LoadFile(L"check_32x16.png", picture));
    std::vector<uint8_t> layout(std::begin("<Window/>"), std::end("<Window/>") - 1);
    WriteBytes(dir + L"loose.xml", layout);
    WriteBytes(dir + L"pkg.zip", PackageBytes());
    files = {dir + L"loose.xml", dir + L"pkg.zip"};

    CPaintManagerUI::SetResourceType(UILIB_FILE);
    CPaintManagerUI::SetResourcePath(dir.c_str());
    std::vector<uint8_t> out;
    EXPECT_TRUE(CResourceStore::LoadFile(L"loose.xml", out));
    EXPECT_EQ(out, layout);
    EXPECT_FALSE(CResourceStore::LoadFile(L"check_32x16.png", out)) << "not a loose file";

    CPaintManagerUI::SetResourceType(UILIB_ZIP);
    ASSERT_TRUE(CPaintManagerUI::SetResourceZip(L"pkg.zip"));
    EXPECT_EQ(CPaintManagerUI::GetResourceZip(), L"pkg.zip");
    EXPECT_TRUE(CResourceStore::LoadFile(L"check_32x16.png", out));
    EXPECT_EQ(out, picture);
    EXPECT_FALSE(CPaintManagerUI::SetResourceZip(L"loose.xml")) << "not a zip archive";
}

TEST_F(Resources, PicturesDecodeWithAlphaAndMask)
{
    std::vector<uint8_t> png;
    ASSERT_TRUE(CResourceStore::LoadFile(L"grid_40x20.png", png));
    std::unique_ptr<TImageInfo> plain = CImageCache::Decode(png.data(), png.size(), 0);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->nX, 40);
    EXPECT_EQ(plain->nY, 20);
    EXPECT_TRUE(plain->bAlpha);
    EXPECT_EQ(plain->pBits[0], 0xFFFF0000u);            // opaque red
    EXPECT_EQ(plain->pBits[30], 0x80000080u);           // half blue, premultiplied
    std::unique_ptr<TImageInfo> masked = CImageCache::Decode(png.data(), png.size(), 0xFFFF0000);
    ASSERT_NE(masked, nullptr);
    EXPECT_EQ(masked->pBits[0], 0u) << "the mask colour becomes transparent";
    std::vector<uint8_t> broken(png.begin(), png.begin() + 40);
    EXPECT_EQ(CImageCache::Decode(broken.data(), broken.size(), 0), nullptr);
    EXPECT_EQ(CImageCache::Decode(nullptr, 0, 0), nullptr);
}

TEST_F(Resources, MissingPictureLeavesTheControlUndrawn)
{
    uitest::TestWindow wnd{L"test_main.xml"};
    ASSERT_TRUE(wnd.Open());
    CControlUI* cell = wnd.Find(L"lab_red");
    cell->SetBkImage(L"file='no_such_picture.png'");
    uitest::Capture cap = uitest::CaptureWindow(wnd.GetHWND());
    POINT c = uitest::Center(cell);
    EXPECT_TRUE(uitest::Near(cap.At(c.x, c.y), 0x00FF00)) << "the row's colour shows through";
    DestroyWindow(wnd.GetHWND());
}

TEST_F(Resources, PictureFromAModuleResourceByType)
{
    uitest::TestWindow wnd{L"<Window size='60,40'><VerticalLayout bkcolor='#FF00FF00'>"
                           L"<Label name='lab_res' bkimage=\"res='201' restype='PNG' source='0,0,20,20'\" />"
                           L"</VerticalLayout></Window>"};
    ASSERT_TRUE(wnd.Open());
    uitest::Capture cap = uitest::CaptureWindow(wnd.GetHWND());
    EXPECT_TRUE(uitest::Near(cap.At(30, 20), 0xFF0000)) << "drawn although the skin is a zip package";
    DestroyWindow(wnd.GetHWND());
}
