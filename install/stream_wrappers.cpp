#include "install/stream_wrappers.h"

#include <shlwapi.h>

namespace SevenZip::intl {
namespace {

HRESULT SeekStream(IStream* stream, Int64 offset, UInt32 origin, UInt64* newPosition)
{
    LARGE_INTEGER move;
    move.QuadPart = offset;
    ULARGE_INTEGER position{};
    HRESULT hr = stream->Seek(move, origin, &position);
    if (newPosition)
        *newPosition = position.QuadPart;
    return hr;
}

}  // namespace

STDMETHODIMP InStreamWrapper::Read(void* data, UInt32 size, UInt32* processedSize) noexcept
{
    ULONG read = 0;
    HRESULT hr = stream_->Read(data, size, &read);
    if (processedSize)
        *processedSize = read;
    // S_FALSE only says the end came before size bytes.
    return SUCCEEDED(hr) ? S_OK : hr;
}

STDMETHODIMP InStreamWrapper::Seek(Int64 offset, UInt32 seekOrigin, UInt64* newPosition) noexcept
{
    return SeekStream(stream_.Get(), offset, seekOrigin, newPosition);
}

STDMETHODIMP InStreamWrapper::GetSize(UInt64* size) noexcept
{
    STATSTG stat{};
    HRESULT hr = stream_->Stat(&stat, STATFLAG_NONAME);
    if (SUCCEEDED(hr) && size)
        *size = stat.cbSize.QuadPart;
    return hr;
}

STDMETHODIMP OutStreamWrapper::Write(const void* data, UInt32 size, UInt32* processedSize) noexcept
{
    ULONG written = 0;
    HRESULT hr = stream_->Write(data, size, &written);
    if (processedSize)
        *processedSize = written;
    return hr;
}

STDMETHODIMP OutStreamWrapper::Seek(Int64 offset, UInt32 seekOrigin, UInt64* newPosition) noexcept
{
    return SeekStream(stream_.Get(), offset, seekOrigin, newPosition);
}

STDMETHODIMP OutStreamWrapper::SetSize(UInt64 newSize) noexcept
{
    ULARGE_INTEGER size;
    size.QuadPart = newSize;
    return stream_->SetSize(size);
}

HRESULT OpenReadStream(const std::wstring& path, ComPtr<IStream>& stream)
{
    return ::SHCreateStreamOnFileEx(path.c_str(), STGM_READ, FILE_ATTRIBUTE_NORMAL, FALSE,
                                    nullptr, stream.ReleaseAndGetAddressOf());
}

HRESULT CreateWriteStream(const std::wstring& path, ComPtr<IStream>& stream)
{
    return ::SHCreateStreamOnFileEx(path.c_str(), STGM_CREATE | STGM_WRITE, FILE_ATTRIBUTE_NORMAL,
                                    TRUE, nullptr, stream.ReleaseAndGetAddressOf());
}

}  // namespace SevenZip::intl
