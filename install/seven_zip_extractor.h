#pragma once
// Unpacks an archive file into a directory, item by item.
#include <cstdint>
#include <memory>
#include <string>

#include "install/progress_callback.h"
#include "install/seven_zip_archive.h"
#include "system/checked_dir.h"

namespace SevenZip {

class SevenZipExtractor : public SevenZipArchive {
public:
    // 0 on success; 110 when the file can't be opened, the handler's code
    // when it is no archive of the format, else the first failing code of
    // the extraction.
    // Whatever is in the way of a file item is deleted.
    virtual int32_t ExtractTo(const std::wstring& destDir, ProgressCallback* callback);
    // The same into destDir as the caller opened and checked it (root): the
    // extraction makes everything below that handle and never opens destDir
    // by its name.
    int32_t ExtractInto(const std::wstring& destDir, std::shared_ptr<CheckedDir> root,
                        ProgressCallback* callback);
};

}  // namespace SevenZip
