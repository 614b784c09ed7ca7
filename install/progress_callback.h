#pragma once
// What the extraction layer reports while it unpacks an archive.
#include <cstddef>
#include <cstdint>
#include <string>

namespace SevenZip {

class ProgressCallback {
public:
    // The archive's item count, before the first item.
    virtual void ItemCountKnown(uint32_t count) = 0;
    // False aborts the extraction.
    virtual bool ItemStarting(const std::wstring& destDir, const std::wstring& relativePath,
                              bool isDirectory) = 0;
    // An item is whole on disk (a file: handed to the writers). False aborts
    // the extraction.
    virtual bool ItemCompleted(const std::wstring& path, uint64_t size) = 0;
    // How many announced files may wait for a writer thread before the
    // extraction waits for the disk; 0 for no limit.
    virtual size_t MostFilesAhead() const { return 0; }

protected:
    ~ProgressCallback() = default;
};

}  // namespace SevenZip
