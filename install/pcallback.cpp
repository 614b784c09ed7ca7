#include "install/pcallback.h"

#include "app/string_bundle.h"
#include "install/install_progress.h"

void PCallBack::ItemCountKnown(uint32_t count)
{
    if (count != 0)
        totalItems_ = count;
}

bool PCallBack::ItemStarting(const std::wstring& destDir, const std::wstring& relativePath,
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

// Every item announced posts a status text and a progress step to the window.
// With the decoder far ahead of the disk its queue would fill with thousands
// of them, which keep the user's input (a click on the close button) waiting
// behind them, and a stop would wait for all those files to be written.
size_t PCallBack::MostFilesAhead() const
{
    return 128;  // 32 measured slower, 128 as fast as none
}
