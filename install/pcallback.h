#pragma once
// The installer's extraction callback: a status text and a progress step
// per item, and every unpacked path recorded.
#include <cstdint>

#include "install/progress_callback.h"

struct InstallProgress;

class PCallBack : public SevenZip::ProgressCallback {
public:
    explicit PCallBack(InstallProgress& progress) : progress_(progress) {}

    bool ItemCountKnown(uint32_t count) override;
    bool ItemListReady(const std::vector<std::wstring>& paths,
                       const std::vector<uint64_t>& sizes) override;
    void TotalSizeKnown(const std::wstring& currentPath, uint64_t totalSize) override;
    void RatioChanged(uint64_t packedBytes, uint64_t unpackedBytes) override;
    void ItemWritten(const std::wstring& path, uint64_t size) override;
    void ArchiveFinished(const std::wstring& path) override;
    bool ItemStarting(const std::wstring& destDir, std::wstring& relativePath,
                      bool isDirectory) override;
    bool ItemCompleted(const std::wstring& path, uint64_t size) override;
    void ItemRestored(const std::wstring& path) override;

private:
    InstallProgress& progress_;
    uint32_t totalItems_ = 0;
};
