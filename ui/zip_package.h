#pragma once
// Read-only view of a zip archive held in memory: stored and deflated
// entries, found by name. Every offset and size is checked against the
// buffer, so a malformed package is an error, never a read outside it.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace DuiLib {

class CZipPackage {
public:
    // Refuses an archive whose central directory is malformed. The data is
    // read in place and must outlive the package.
    bool Open(const void* data, size_t size);
    void Close();
    bool IsOpen() const { return m_data != nullptr; }

    size_t GetEntryCount() const { return m_entries.size(); }
    std::wstring GetEntryName(size_t index) const;
    bool HasEntry(const std::wstring& name) const;
    // Unpacks an entry; false when it is absent, damaged, encrypted, of an
    // unknown method or its CRC does not match.
    bool Read(const std::wstring& name, std::vector<uint8_t>& out) const;

private:
    struct Entry {
        std::wstring name;
        uint16_t flags = 0;
        uint16_t method = 0;
        uint32_t crc = 0;
        uint32_t compressedSize = 0;
        uint32_t size = 0;
        uint32_t localOffset = 0;
    };
    const Entry* Find(const std::wstring& name) const;

    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
    std::vector<Entry> m_entries;
};

}  // namespace DuiLib
