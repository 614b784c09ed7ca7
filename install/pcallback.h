#pragma once
// The installer's extraction callback: a status text and a progress step
// per item, and every unpacked path recorded.
#include <cstdint>

#include "install/progress_callback.h"

struct InstallProgress;

class PCallBack : public SevenZip::ProgressCallback {
public:
    explicit PCallBack(InstallProgress& progress) : progress_(progress) {}

    void ItemCountKnown(uint32_t count) override;
    bool ItemStarting(const std::wstring& destDir, const std::wstring& relativePath,
                      bool isDirectory) override;
    bool ItemCompleted(const std::wstring& path, uint64_t size) override;
    size_t MostFilesAhead() const override;

private:
    InstallProgress& progress_;
    uint32_t totalItems_ = 0;
};
