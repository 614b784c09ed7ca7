#pragma once
// Unpacks an archive file into a directory, item by item.
#include <cstdint>
#include <string>

#include "install/progress_callback.h"
#include "install/seven_zip_archive.h"

namespace SevenZip {

class SevenZipExtractor : public SevenZipArchive {
public:
    // 0 on success; 110 when the file can't be opened, the handler's code
    // when it is no archive of the format, else the first failing code of
    // the extraction.
    // Whatever is in the way of a file item is deleted.
    virtual int32_t ExtractTo(const std::wstring& destDir, ProgressCallback* callback);
};

}  // namespace SevenZip
