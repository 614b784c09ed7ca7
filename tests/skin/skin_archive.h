// Test helpers: the embedded skin package read back from the module's
// resources, and a minimal reader for its flat zip archive.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace skintest {

using Bytes = std::vector<unsigned char>;

// The resource's bytes in the Simplified Chinese language (2052), or empty.
Bytes LoadResourceBytes(const wchar_t* type, int id);

struct ZipEntry {
    std::string name;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;  // 0 stored, 8 deflated
    std::uint32_t crc = 0;
    std::uint32_t externalAttributes = 0;
    Bytes data;                // uncompressed
    bool readable = false;     // headers consistent and data decoded
};

struct ZipArchive {
    bool valid = false;             // end record and central directory found
    std::vector<ZipEntry> entries;  // in central-directory order

    const ZipEntry* Find(const std::string& name) const;
};

ZipArchive ReadZip(const Bytes& zip);

// The package, read once.
const ZipArchive& SkinPackage();

// Text of a package entry as UTF-16 (without a byte-order mark), for pugixml.
std::wstring EntryText(const std::string& name);

}  // namespace skintest
