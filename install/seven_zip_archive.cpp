#include "install/seven_zip_archive.h"

#include <new>
#include <vector>

#include "install/archive_open_callback.h"
#include "install/stream_wrappers.h"

namespace SevenZip {
namespace intl {

HRESULT OpenArchive(ArchiveFormat format, IInStream* in, const UInt64* maxStartPosition,
                    ComPtr<IInArchive>& handler)
{
    HRESULT hr = CreateArchiveHandler(format, handler);
    if (FAILED(hr))
        return hr;
    // The callback starts with no reference; this pointer takes the first.
    ComPtr<IArchiveOpenCallback> openCallback = new (std::nothrow) ArchiveOpenCallback;
    if (!openCallback)
        return E_OUTOFMEMORY;
    hr = in->Seek(0, STREAM_SEEK_SET, nullptr);
    if (FAILED(hr))
        return hr;
    return handler->Open(in, maxStartPosition, openCallback.Get());
}

HRESULT ReadItemPath(IInArchive* handler, UInt32 index, std::wstring& path)
{
    PropValue prop;
    HRESULT hr = handler->GetProperty(index, kpidPath, prop.Receive());
    if (hr != S_OK)
        return hr;
    path = prop->vt == VT_BSTR && prop->bstrVal ? prop->bstrVal : L"";
    return S_OK;
}

HRESULT SetDecoderThreads(IInArchive* handler, UInt32 threads)
{
    ComPtr<ISetProperties> properties;
    HRESULT hr = handler->QueryInterface(IID_ISetProperties,
                                         reinterpret_cast<void**>(properties.GetAddressOf()));
    if (FAILED(hr))
        return hr;
    const wchar_t* names[] = {L"mt"};
    PROPVARIANT value{};
    value.vt = VT_UI4;
    value.ulVal = threads;
    return properties->SetProperties(names, &value, 1);
}

}  // namespace intl

void SevenZipArchive::UseArchiveFile(const std::wstring& path)
{
    archivePath_ = path;
    archiveHandle_ = nullptr;
}

HRESULT SevenZipArchive::OpenArchiveStream(ComPtr<IInStream>& stream) const
{
    return archiveHandle_ ? intl::OpenReadStreamOn(archiveHandle_, stream)
                          : intl::OpenReadStream(archivePath_, stream);
}

void SevenZipArchive::SetFormat(ArchiveFormat format)
{
    format_ = format;
    formatFixed_ = true;
}

ArchiveFormat SevenZipArchive::GetFormat()
{
    if (!formatFixed_)
        ProbeFormat();
    return format_;
}

bool SevenZipArchive::ProbeFormat()
{
    formatFixed_ = false;
    ComPtr<IInStream> file;
    if (FAILED(OpenArchiveStream(file)) || !file)
        return false;

    // The current format first, then the rest of the table without it.
    std::vector<ArchiveFormat> candidates{format_, kFormat7z, kFormatLzma86, kFormatLzma,
                                          kFormatCab, kFormatZip};
    for (size_t i = candidates.size(); i-- > 0;) {
        if (candidates[i] == format_) {
            // Searching from the end: a code of the table keeps its place in
            // front, any other code drops out.
            candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }

    for (ArchiveFormat candidate : candidates) {
        const UInt64 maxStart = 0;
        ComPtr<IInArchive> handler;
        HRESULT hr = intl::OpenArchive(candidate, file.Get(), &maxStart, handler);
        if (handler)
            handler->Close();
        if (hr == S_OK) {
            format_ = candidate;
            return true;
        }
    }
    format_ = kFormatUnknown;
    return false;
}

}  // namespace SevenZip
