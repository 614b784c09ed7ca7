#pragma once
// Archive handler codes and the 7-Zip class ids they stand for.
#include <cstdint>

#include "install/seven_zip_com.h"

namespace SevenZip {

// A signed 32-bit code naming an archive handler; codes outside the table
// are allowed and select the 7z handler.
enum ArchiveFormat : int32_t {
    kFormatUnknown = 0,
    kFormat7z = 1,
    kFormatZip = 2,
    kFormatCab = 8,
    kFormatLzma = 9,
    kFormatLzma86 = 10,
};

// The 7-Zip handler class id for a code (7z for 0 and unknown codes).
const GUID& HandlerClassId(ArchiveFormat format);

// Creates the handler in-process with the IInArchive interface.
HRESULT CreateArchiveHandler(ArchiveFormat format, ComPtr<IInArchive>& handler);

}  // namespace SevenZip
