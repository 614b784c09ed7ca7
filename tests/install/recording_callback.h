#pragma once
// A progress callback that records what the extraction reports and answers
// as told.
#include <cstdint>
#include <string>
#include <vector>

#include "install/progress_callback.h"

struct RecordingCallback : SevenZip::ProgressCallback {
    bool allowItems = true;
    std::wstring stopAt;  // a relative path: stop there

    std::vector<uint32_t> counts;
    std::vector<std::wstring> started;  // destination + relative path
    std::vector<bool> startedIsDir;
    std::vector<std::wstring> completed;
    std::vector<uint64_t> completedSizes;
    std::wstring lastDestDir;

    void ItemCountKnown(uint32_t count) override { counts.push_back(count); }
    bool ItemStarting(const std::wstring& destDir, const std::wstring& relativePath,
                      bool isDirectory) override
    {
        lastDestDir = destDir;
        started.push_back(destDir + relativePath);
        startedIsDir.push_back(isDirectory);
        if (relativePath == stopAt)
            return false;
        return allowItems;
    }
    bool ItemCompleted(const std::wstring& path, uint64_t size) override
    {
        completed.push_back(path);
        completedSizes.push_back(size);
        return true;
    }
};
