// The zip reader over a package in memory: stored and deflated entries,
// and damaged archives refused without reading outside the buffer.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/resource_store.h"
#include "ui/zip_package.h"

using DuiLib::CZipPackage;

namespace {

// Writes a small zip archive: each entry stored or deflated (raw deflate).
class ZipWriter {
public:
    void Add(const std::string& name, const std::string& data, bool compress)
    {
        std::string packed = data;
        if (compress) {
            z_stream zs = {};
            deflateInit2(&zs, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
            packed.resize(deflateBound(&zs, static_cast<uLong>(data.size())));
            zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
            zs.avail_in = static_cast<uInt>(data.size());
            zs.next_out = reinterpret_cast<Bytef*>(packed.data());
            zs.avail_out = static_cast<uInt>(packed.size());
            deflate(&zs, Z_FINISH);
            packed.resize(zs.total_out);
            deflateEnd(&zs);
        }
        uint32_t crc = crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
        uint32_t offset = static_cast<uint32_t>(m_out.size());
        uint16_t method = compress ? 8 : 0;
        Put32(m_out, 0x04034b50); Put16(m_out, 20); Put16(m_out, 0); Put16(m_out, method);
        Put32(m_out, 0); Put32(m_out, crc); Put32(m_out, static_cast<uint32_t>(packed.size()));
        Put32(m_out, static_cast<uint32_t>(data.size())); Put16(m_out, static_cast<uint16_t>(name.size()));
        Put16(m_out, 0);
        m_out += name + packed;
        Put32(m_dir, 0x02014b50); Put16(m_dir, 20); Put16(m_dir, 20); Put16(m_dir, 0); Put16(m_dir, method);
        Put32(m_dir, 0); Put32(m_dir, crc); Put32(m_dir, static_cast<uint32_t>(packed.size()));
        Put32(m_dir, static_cast<uint32_t>(data.size())); Put16(m_dir, static_cast<uint16_t>(name.size()));
        Put16(m_dir, 0); Put16(m_dir, 0); Put16(m_dir, 0); Put16(m_dir, 0); Put32(m_dir, 0);
        Put32(m_dir, offset);
        m_dir += name;
        ++m_count;
    }
    std::string Finish() const
    {
        std::string out = m_out + m_dir;
        Put32(out, 0x06054b50); Put16(out, 0); Put16(out, 0); Put16(out, m_count); Put16(out, m_count);
        Put32(out, static_cast<uint32_t>(m_dir.size())); Put32(out, static_cast<uint32_t>(m_out.size()));
        Put16(out, 0);
        return out;
    }

private:
    static void Put16(std::string& s, uint16_t v) { s += char(v & 0xFF); s += char(v >> 8); }
    static void Put32(std::string& s, uint32_t v) { Put16(s, uint16_t(v & 0xFFFF)); Put16(s, uint16_t(v >> 16)); }
    std::string m_out, m_dir;
    uint16_t m_count = 0;
};

const std::string kLayout = "<Window size=\"10,10\"><VerticalLayout/></Window>" + std::string(300, ' ');
const std::string kPicture(777, '\x5A');

std::string SampleArchive()
{
    ZipWriter w;
    w.Add("layout.xml", kLayout, true);
    w.Add("picture.png", kPicture, false);
    w.Add("empty.txt", "", false);
    return w.Finish();
}

std::string AsString(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

}  // namespace

TEST(ZipPackage, ReadsStoredAndDeflatedEntries)
{
    std::string zip = SampleArchive();
    CZipPackage pkg;
    ASSERT_TRUE(pkg.Open(zip.data(), zip.size()));
    EXPECT_EQ(pkg.GetEntryCount(), 3u);
    EXPECT_EQ(pkg.GetEntryName(1), L"picture.png");
    std::vector<uint8_t> out;
    ASSERT_TRUE(pkg.Read(L"layout.xml", out));
    EXPECT_EQ(AsString(out), kLayout);
    ASSERT_TRUE(pkg.Read(L"PICTURE.PNG", out)) << "names as Windows compares them";
    EXPECT_EQ(AsString(out), kPicture);
    ASSERT_TRUE(pkg.Read(L"empty.txt", out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(pkg.Read(L"missing.xml", out));
    EXPECT_FALSE(pkg.HasEntry(L"layout"));
}

TEST(ZipPackage, DamagedEntriesAreRefused)
{
    std::string zip = SampleArchive();
    CZipPackage pkg;
    std::vector<uint8_t> out;
    // A flipped byte inside the stored picture: the CRC no longer matches.
    std::string badCrc = zip;
    size_t picture = badCrc.find(kPicture);
    ASSERT_NE(picture, std::string::npos);
    badCrc[picture + 100] = 'X';
    ASSERT_TRUE(pkg.Open(badCrc.data(), badCrc.size()));
    EXPECT_FALSE(pkg.Read(L"picture.png", out));
    EXPECT_TRUE(pkg.Read(L"layout.xml", out)) << "the other entries still read";
    // A damaged deflate stream.
    std::string badDeflate = zip;
    badDeflate[30 + 10 + 2] ^= 0x55;
    ASSERT_TRUE(pkg.Open(badDeflate.data(), badDeflate.size()));
    EXPECT_FALSE(pkg.Read(L"layout.xml", out));
}

TEST(ZipPackage, TruncatedAndMalformedArchivesAreRejected)
{
    std::string zip = SampleArchive();
    CZipPackage pkg;
    std::vector<uint8_t> out;
    EXPECT_FALSE(pkg.Open(nullptr, 0));
    EXPECT_FALSE(pkg.Open("PK", 2));
    std::string garbage(4096, '\x07');
    EXPECT_FALSE(pkg.Open(garbage.data(), garbage.size()));
    // Every truncation: refused as a whole or entry by entry, never a crash.
    for (size_t len = 0; len < zip.size(); ++len) {
        std::vector<char> cut(zip.begin(), zip.begin() + static_cast<std::ptrdiff_t>(len));
        if (pkg.Open(cut.data(), cut.size())) {
            for (size_t i = 0; i < pkg.GetEntryCount(); ++i)
                pkg.Read(pkg.GetEntryName(i), out);
        }
    }
    EXPECT_FALSE(pkg.Open(zip.data(), zip.size() - 1));
    // Directory offsets pointing past the buffer.
    std::string badDir = zip;
    size_t end = badDir.size() - 22;
    badDir[end + 16] = '\xFF';
    badDir[end + 17] = '\xFF';
    EXPECT_FALSE(pkg.Open(badDir.data(), badDir.size()));
    // Every single-byte change of the archive is survived.
    for (size_t i = 0; i < zip.size(); ++i) {
        std::string damaged = zip;
        damaged[i] = static_cast<char>(damaged[i] ^ 0xA5);
        if (pkg.Open(damaged.data(), damaged.size())) {
            for (size_t e = 0; e < pkg.GetEntryCount(); ++e) {
                if (pkg.Read(pkg.GetEntryName(e), out) && pkg.GetEntryName(e) == L"layout.xml") {
                    EXPECT_EQ(AsString(out), kLayout);
                }
            }
        }
    }
}

TEST(ZipPackage, EmbeddedTestSkinHandsOver)
{
    using DuiLib::CResourceStore;
    HRSRC res = FindResourceW(nullptr, MAKEINTRESOURCEW(102), L"ZIPRES");
    ASSERT_NE(res, nullptr);
    const void* data = LockResource(LoadResource(nullptr, res));
    DWORD size = SizeofResource(nullptr, res);
    CResourceStore::SetResourceType(DuiLib::UILIB_ZIPRESOURCE);
    ASSERT_TRUE(CResourceStore::SetResourceZip(data, size));
    EXPECT_EQ(CResourceStore::GetResourceZipName(), L"membuffer");
    std::vector<uint8_t> out;
    EXPECT_TRUE(CResourceStore::LoadFile(L"test_main.xml", out));
    EXPECT_TRUE(CResourceStore::LoadFile(L"grid_40x20.png", out));
    EXPECT_FALSE(CResourceStore::LoadFile(L"res.xml", out));
    EXPECT_FALSE(DuiLib::CResourceManager::GetInstance()->LoadResource(L"res.xml", nullptr))
        << "the package has no index; nothing is registered";
    CResourceStore::SetResourcePath(L"C:\\x");
    EXPECT_EQ(CResourceStore::GetResourcePath(), L"C:\\x\\");
}
