#include "tests/skin/skin_archive.h"

#include <windows.h>
#include <zlib.h>

#include <cstring>

namespace skintest {

namespace {

std::uint16_t U16(const Bytes& b, size_t at)
{
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t U32(const Bytes& b, size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

bool Inflate(const unsigned char* in, size_t inSize, size_t outSize, Bytes& out)
{
    out.assign(outSize, 0);
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
        return false;
    z.next_in = const_cast<unsigned char*>(in);
    z.avail_in = static_cast<uInt>(inSize);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(outSize);
    int rc = inflate(&z, Z_FINISH);
    bool ok = rc == Z_STREAM_END && z.total_out == outSize;
    inflateEnd(&z);
    return ok;
}

}  // namespace

Bytes LoadResourceBytes(const wchar_t* type, int id)
{
    HRSRC info = FindResourceExW(nullptr, type, MAKEINTRESOURCEW(id),
                                 MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    if (!info)
        return {};
    HGLOBAL handle = LoadResource(nullptr, info);
    DWORD size = SizeofResource(nullptr, info);
    const void* data = handle ? LockResource(handle) : nullptr;
    if (!data)
        return {};
    const auto* p = static_cast<const unsigned char*>(data);
    return Bytes(p, p + size);
}

const ZipEntry* ZipArchive::Find(const std::string& name) const
{
    for (const ZipEntry& e : entries)
        if (e.name == name)
            return &e;
    return nullptr;
}

ZipArchive ReadZip(const Bytes& zip)
{
    ZipArchive archive;
    if (zip.size() < 22)
        return archive;
    // The end record sits at the end, before a comment of at most 64 KiB.
    size_t end = zip.size() - 22;
    size_t stop = zip.size() > 22 + 0xFFFF ? zip.size() - 22 - 0xFFFF : 0;
    while (U32(zip, end) != 0x06054b50) {
        if (end == stop)
            return archive;
        --end;
    }
    std::uint16_t count = U16(zip, end + 10);
    std::uint32_t dirSize = U32(zip, end + 12);
    std::uint32_t dirOffset = U32(zip, end + 16);
    if (static_cast<size_t>(dirOffset) + dirSize > end)
        return archive;

    size_t at = dirOffset;
    for (std::uint16_t i = 0; i < count; ++i) {
        if (at + 46 > end || U32(zip, at) != 0x02014b50)
            return archive;
        ZipEntry e;
        e.flags = U16(zip, at + 8);
        e.method = U16(zip, at + 10);
        e.crc = U32(zip, at + 16);
        std::uint32_t packed = U32(zip, at + 20);
        std::uint32_t size = U32(zip, at + 24);
        std::uint16_t nameLen = U16(zip, at + 28);
        std::uint16_t extraLen = U16(zip, at + 30);
        std::uint16_t commentLen = U16(zip, at + 32);
        e.externalAttributes = U32(zip, at + 38);
        std::uint32_t local = U32(zip, at + 42);
        if (at + 46 + nameLen > end)
            return archive;
        e.name.assign(reinterpret_cast<const char*>(&zip[at + 46]), nameLen);
        at += 46u + nameLen + extraLen + commentLen;

        if (static_cast<size_t>(local) + 30 <= dirOffset && U32(zip, local) == 0x04034b50) {
            size_t data = local + 30u + U16(zip, local + 26) + U16(zip, local + 28);
            if (data + packed <= dirOffset) {
                if (e.method == 0 && packed == size) {
                    e.data.assign(zip.begin() + data, zip.begin() + data + size);
                    e.readable = true;
                } else if (e.method == 8) {
                    e.readable = Inflate(&zip[data], packed, size, e.data);
                }
            }
        }
        archive.entries.push_back(std::move(e));
    }
    archive.valid = true;
    return archive;
}

const ZipArchive& SkinPackage()
{
    static const ZipArchive archive = ReadZip(LoadResourceBytes(L"ZIPRES", 102));
    return archive;
}

std::wstring EntryText(const std::string& name)
{
    const ZipEntry* e = SkinPackage().Find(name);
    if (!e)
        return {};
    const Bytes& b = e->data;
    size_t skip = b.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF ? 3 : 0;
    int n = MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(b.data() + skip),
                                static_cast<int>(b.size() - skip), nullptr, 0);
    std::wstring text(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(b.data() + skip),
                        static_cast<int>(b.size() - skip), text.data(), n);
    return text;
}

}  // namespace skintest
