#pragma once
// An archive file and what is known about it: its handler format and,
// once listed, its items.
#include <cstdint>
#include <string>
#include <vector>

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
    // Reads the item count, paths and sizes; probes the format first unless
    // it was fixed with SetFormat.
    virtual bool LoadListing();
    virtual void SetFormat(ArchiveFormat format);
    virtual ArchiveFormat GetFormat();
    virtual void SetLevel(int32_t level);
    virtual int32_t GetLevel();
    // Finds the first handler that opens the file; false leaves format 0.
    virtual bool ProbeFormat();
    virtual uint32_t ItemCount();
    virtual std::vector<std::wstring> ItemNames();
    virtual std::vector<uint32_t> ItemSizes();

protected:
    // The archive as a read stream: through the handle given, else by path.
    HRESULT OpenArchiveStream(ComPtr<IInStream>& stream) const;

    std::wstring archivePath_;
    HANDLE archiveHandle_ = nullptr;
    bool listingLoaded_ = false;
    bool formatFixed_ = false;
    ArchiveFormat format_ = kFormat7z;
    int32_t level_ = 0;  // kept for callers only; extraction has no level
    uint32_t itemCount_ = 0;
    std::vector<std::wstring> itemPaths_;
    std::vector<uint32_t> itemSizes_;  // low 32 bits of each size

private:
    bool ReadListing();
};

namespace intl {

// Opens an archive stream with the handler of a format.
HRESULT OpenArchive(ArchiveFormat format, IInStream* in, const UInt64* maxStartPosition,
                    ComPtr<IInArchive>& handler);

// An item's path as a string; empty for a missing or non-string path.
HRESULT ReadItemPath(IInArchive* handler, UInt32 index, std::wstring& path);
HRESULT ReadItemSize(IInArchive* handler, UInt32 index, uint64_t& size);

// Sets how many threads the handler decodes with (its "mt" property).
HRESULT SetDecoderThreads(IInArchive* handler, UInt32 threads);
// The extraction's: one, while writers take the other processors.
constexpr UInt32 kDecoderThreads = 1;

}  // namespace intl
}  // namespace SevenZip
