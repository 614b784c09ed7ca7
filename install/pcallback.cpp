#include "install/pcallback.h"

#include "install/install_progress.h"
#include "product/string_bundle.h"

bool PCallBack::ItemCountKnown(uint32_t count)
{
    if (count != 0)
        totalItems_ = count;
    return false;  // the count is all the progress needs; no listing
}

bool PCallBack::ItemListReady(const std::vector<std::wstring>&, const std::vector<uint64_t>&)
{
    return true;
}

void PCallBack::TotalSizeKnown(const std::wstring&, uint64_t) {}

void PCallBack::RatioChanged(uint64_t, uint64_t) {}

void PCallBack::ItemWritten(const std::wstring&, uint64_t) {}

void PCallBack::ArchiveFinished(const std::wstring&) {}

bool PCallBack::ItemStarting(const std::wstring& destDir, std::wstring& relativePath,
                             bool isDirectory)
{
    std::wstring path = destDir + relativePath;
    progress_.PostStatusText(GetString(L"INSTALL_1_TEXT") + L"  " + path);
    if (totalItems_ != 0) {
        // 60 points over all items; the step and the sum are rounded to
        // float at each stage, which makes the last value 69, not 70.
        volatile double exactStep = 60.0 / static_cast<double>(totalItems_);
        float step = static_cast<float>(exactStep);
        volatile double sum = static_cast<double>(progress_.percent) + static_cast<double>(step);
        progress_.percent = static_cast<float>(sum);
        progress_.PostProgress();
    }
    (isDirectory ? progress_.installedDirs : progress_.installedFiles).push_back(std::move(path));
    return true;
}

bool PCallBack::ItemCompleted(const std::wstring&, uint64_t) { return true; }

void PCallBack::ItemRestored(const std::wstring&) {}
