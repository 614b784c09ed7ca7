#pragma once
// What the extraction layer reports while it lists and unpacks an archive.
#include <cstdint>
#include <string>
#include <vector>

namespace SevenZip {

class ProgressCallback {
public:
    // True asks for the item listing before extraction.
    virtual bool ItemCountKnown(uint32_t count) = 0;
    // False ends without extracting.
    virtual bool ItemListReady(const std::vector<std::wstring>& paths,
                               const std::vector<uint64_t>& sizes) = 0;
    virtual void TotalSizeKnown(const std::wstring& currentPath, uint64_t totalSize) = 0;
    virtual void RatioChanged(uint64_t packedBytes, uint64_t unpackedBytes) = 0;
    virtual void ItemWritten(const std::wstring& path, uint64_t size) = 0;
    virtual void ArchiveFinished(const std::wstring& path) = 0;
    // False aborts the extraction. A file's relative path may be changed.
    virtual bool ItemStarting(const std::wstring& destDir, std::wstring& relativePath,
                              bool isDirectory) = 0;
    // False aborts the extraction.
    virtual bool ItemCompleted(const std::wstring& path, uint64_t size) = 0;
    virtual void ItemRestored(const std::wstring& path) = 0;

protected:
    ~ProgressCallback() = default;
};

}  // namespace SevenZip
