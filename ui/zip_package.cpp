#include "ui/zip_package.h"

#include <zlib.h>

#include <algorithm>
#include <cwctype>

namespace DuiLib {

namespace {

constexpr uint32_t kEndOfDirSig = 0x06054b50;
constexpr uint32_t kDirEntrySig = 0x02014b50;
constexpr uint32_t kLocalSig = 0x04034b50;
constexpr size_t kEndOfDirSize = 22;
constexpr size_t kDirEntrySize = 46;
constexpr size_t kLocalSize = 30;
// A skin package holds layouts and pictures; anything larger is damage.
constexpr uint32_t kMaxEntrySize = 64u * 1024 * 1024;

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

std::wstring DecodeName(const uint8_t* p, size_t len, bool utf8)
{
    UINT cp = utf8 ? CP_UTF8 : 437;
    int n = MultiByteToWideChar(cp, 0, reinterpret_cast<const char*>(p), static_cast<int>(len),
                                nullptr, 0);
    std::wstring name(static_cast<size_t>(n), L'\0');
    if (n > 0)
        MultiByteToWideChar(cp, 0, reinterpret_cast<const char*>(p), static_cast<int>(len),
                            name.data(), n);
    return name;
}

// Windows file names: case-insensitive, either slash.
std::wstring NormalizeName(std::wstring name)
{
    for (wchar_t& c : name)
        c = (c == L'\\') ? L'/' : static_cast<wchar_t>(std::towlower(c));
    return name;
}

}  // namespace

bool CZipPackage::Open(const void* data, size_t size)
{
    Close();
    const auto* base = static_cast<const uint8_t*>(data);
    if (!base || size < kEndOfDirSize)
        return false;

    // The end record sits in the last 22 bytes plus a comment of at most 64 KiB.
    size_t lowest = size > kEndOfDirSize + 0xFFFF ? size - kEndOfDirSize - 0xFFFF : 0;
    const uint8_t* end = nullptr;
    for (size_t pos = size - kEndOfDirSize + 1; pos-- > lowest;) {
        if (Get32(base + pos) == kEndOfDirSig &&
            pos + kEndOfDirSize + Get16(base + pos + 20) == size) {
            end = base + pos;
            break;
        }
    }
    if (!end)
        return false;
    size_t count = Get16(end + 10);
    size_t dirSize = Get32(end + 12);
    size_t dirOffset = Get32(end + 16);
    size_t endPos = static_cast<size_t>(end - base);
    if (Get16(end + 4) != 0 || Get16(end + 6) != 0 || Get16(end + 8) != count)
        return false;  // multi-volume archives are not packages
    if (dirOffset > endPos || dirSize > endPos - dirOffset)
        return false;

    std::vector<Entry> entries;
    entries.reserve(count);
    const uint8_t* p = base + dirOffset;
    const uint8_t* dirEnd = p + dirSize;
    for (size_t i = 0; i < count; ++i) {
        if (static_cast<size_t>(dirEnd - p) < kDirEntrySize || Get32(p) != kDirEntrySig)
            return false;
        Entry e;
        e.flags = Get16(p + 8);
        e.method = Get16(p + 10);
        e.crc = Get32(p + 16);
        e.compressedSize = Get32(p + 20);
        e.size = Get32(p + 24);
        size_t nameLen = Get16(p + 28), extraLen = Get16(p + 30), commentLen = Get16(p + 32);
        e.localOffset = Get32(p + 42);
        size_t total = kDirEntrySize + nameLen + extraLen + commentLen;
        if (static_cast<size_t>(dirEnd - p) < total)
            return false;
        e.name = DecodeName(p + kDirEntrySize, nameLen, (e.flags & 0x0800) != 0);
        if (e.localOffset >= dirOffset)
            return false;
        entries.push_back(std::move(e));
        p += total;
    }
    m_data = base;
    m_size = size;
    m_entries = std::move(entries);
    return true;
}

void CZipPackage::Close()
{
    m_data = nullptr;
    m_size = 0;
    m_entries.clear();
}

std::wstring CZipPackage::GetEntryName(size_t index) const
{
    return index < m_entries.size() ? m_entries[index].name : std::wstring();
}

const CZipPackage::Entry* CZipPackage::Find(const std::wstring& name) const
{
    std::wstring key = NormalizeName(name);
    for (const Entry& e : m_entries)
        if (NormalizeName(e.name) == key)
            return &e;
    return nullptr;
}

bool CZipPackage::HasEntry(const std::wstring& name) const
{
    return Find(name) != nullptr;
}

bool CZipPackage::Read(const std::wstring& name, std::vector<uint8_t>& out) const
{
    out.clear();
    const Entry* e = m_data ? Find(name) : nullptr;
    if (!e || (e->flags & 0x0001) || e->size > kMaxEntrySize)
        return false;  // absent, encrypted or absurd
    size_t local = e->localOffset;
    if (m_size - local < kLocalSize || Get32(m_data + local) != kLocalSig)
        return false;
    size_t dataPos = local + kLocalSize + Get16(m_data + local + 26) + Get16(m_data + local + 28);
    if (dataPos > m_size || m_size - dataPos < e->compressedSize)
        return false;
    const uint8_t* src = m_data + dataPos;

    std::vector<uint8_t> data(e->size);
    if (e->method == 0) {
        if (e->compressedSize != e->size)
            return false;
        std::copy(src, src + e->size, data.begin());
    } else if (e->method == 8) {
        z_stream zs = {};
        if (inflateInit2(&zs, -MAX_WBITS) != Z_OK)
            return false;
        zs.next_in = const_cast<Bytef*>(src);
        zs.avail_in = e->compressedSize;
        Bytef spare = 0;
        zs.next_out = e->size ? data.data() : &spare;
        zs.avail_out = e->size;
        int rc = inflate(&zs, Z_FINISH);
        bool ok = rc == Z_STREAM_END && zs.total_out == e->size;
        inflateEnd(&zs);
        if (!ok)
            return false;
    } else {
        return false;
    }
    if (crc32(0L, data.data(), static_cast<uInt>(data.size())) != e->crc)
        return false;
    out = std::move(data);
    return true;
}

}  // namespace DuiLib
