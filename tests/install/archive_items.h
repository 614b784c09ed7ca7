#pragma once
// The item paths an archive holds, in archive order, read through its open
// file when one is given, else by its path; empty when it can't be read.
#include <string>
#include <vector>

#include "install/seven_zip_archive.h"
#include "install/stream_wrappers.h"

inline std::vector<std::wstring> ArchiveItemPaths(const std::wstring& path, HANDLE file = nullptr)
{
    std::vector<std::wstring> paths;
    SevenZip::ComPtr<IInStream> stream;
    HRESULT hr = file ? SevenZip::intl::OpenReadStreamOn(file, stream)
                      : SevenZip::intl::OpenReadStream(path, stream);
    SevenZip::ComPtr<IInArchive> handler;
    if (FAILED(hr) || !stream ||
        SevenZip::intl::OpenArchive(SevenZip::kFormat7z, stream.Get(), nullptr, handler) != S_OK)
        return paths;
    UInt32 count = 0;
    if (handler->GetNumberOfItems(&count) == S_OK) {
        for (UInt32 i = 0; i < count; ++i) {
            std::wstring item;
            SevenZip::intl::ReadItemPath(handler.Get(), i, item);
            paths.push_back(std::move(item));
        }
    }
    handler->Close();
    return paths;
}
