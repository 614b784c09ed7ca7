#pragma once
// A progress callback that records what the extraction reports and answers
// as told.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "install/progress_callback.h"

struct RecordingCallback : SevenZip::ProgressCallback {
    bool wantListing = false;
    bool extractAfterListing = true;
    bool allowItems = true;
    std::wstring stopAt;                          // a relative path: stop there
    std::map<std::wstring, std::wstring> renames;  // relative path -> new one ("" skips)

    std::vector<uint32_t> counts;
    std::vector<std::wstring> listedPaths;
    std::vector<uint64_t> listedSizes;
    std::vector<std::wstring> started;  // destination + relative path
    std::vector<bool> startedIsDir;
    std::vector<std::wstring> completed;
    std::vector<uint64_t> completedSizes;
    std::vector<std::wstring> written;
    std::vector<std::wstring> finished;
    std::wstring lastDestDir;

    bool ItemCountKnown(uint32_t count) override
    {
        counts.push_back(count);
        return wantListing;
    }
    bool ItemListReady(const std::vector<std::wstring>& paths,
                       const std::vector<uint64_t>& sizes) override
    {
        listedPaths = paths;
        listedSizes = sizes;
        return extractAfterListing;
    }
    void TotalSizeKnown(const std::wstring&, uint64_t) override {}
    void RatioChanged(uint64_t, uint64_t) override {}
    void ItemWritten(const std::wstring& path, uint64_t) override { written.push_back(path); }
    void ArchiveFinished(const std::wstring& path) override { finished.push_back(path); }
    bool ItemStarting(const std::wstring& destDir, std::wstring& relativePath,
                      bool isDirectory) override
    {
        lastDestDir = destDir;
        started.push_back(destDir + relativePath);
        startedIsDir.push_back(isDirectory);
        if (relativePath == stopAt)
            return false;
        if (auto r = renames.find(relativePath); r != renames.end())
            relativePath = r->second;
        return allowItems;
    }
    bool ItemCompleted(const std::wstring& path, uint64_t size) override
    {
        completed.push_back(path);
        completedSizes.push_back(size);
        return true;
    }
    void ItemRestored(const std::wstring&) override {}
};
