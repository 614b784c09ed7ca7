#pragma once
// An archive file and its handler format.
#include <cstdint>
#include <string>

#include "install/archive_format.h"

namespace SevenZip {

class SevenZipArchive {
public:
    SevenZipArchive() = default;
    virtual ~SevenZipArchive() = default;
    SevenZipArchive(const SevenZipArchive&) = delete;
    SevenZipArchive& operator=(const SevenZipArchive&) = delete;

    virtual void UseArchiveFile(const std::wstring& path);
    // Reads the archive through an open file (readable, kept open by the
    // caller until the extraction ends) instead of opening the path again;
    // the path then only names the archive to the callback.
    void UseArchiveHandle(HANDLE file) { archiveHandle_ = file; }
    virtual void SetFormat(ArchiveFormat format);
    // The format fixed with SetFormat, else the one ProbeFormat finds.
    virtual ArchiveFormat GetFormat();
    // Finds the first handler that opens the file; false leaves format 0.
    virtual bool ProbeFormat();

protected:
    // The archive as a read stream: through the handle given, else by path.
    HRESULT OpenArchiveStream(ComPtr<IInStream>& stream) const;

    std::wstring archivePath_;
    HANDLE archiveHandle_ = nullptr;
    bool formatFixed_ = false;
    ArchiveFormat format_ = kFormat7z;
};

namespace intl {

// Opens an archive stream with the handler of a format.
HRESULT OpenArchive(ArchiveFormat format, IInStream* in, const UInt64* maxStartPosition,
                    ComPtr<IInArchive>& handler);

// An item's path as a string; empty for a missing or non-string path.
HRESULT ReadItemPath(IInArchive* handler, UInt32 index, std::wstring& path);

// Sets how many threads the handler decodes with (its "mt" property).
HRESULT SetDecoderThreads(IInArchive* handler, UInt32 threads);
// The extraction's: one, while writers take the other processors.
constexpr UInt32 kDecoderThreads = 1;

}  // namespace intl
}  // namespace SevenZip
