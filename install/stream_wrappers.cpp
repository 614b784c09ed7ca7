#include "install/stream_wrappers.h"

#include <shlwapi.h>

#include <new>

#include "install/destination_files.h"

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
    DWORD written = 0;
    BOOL ok = ::WriteFile(file_.Get(), data, size, &written, nullptr);
    if (processedSize)
        *processedSize = written;
    return ok ? S_OK : LastErrorResult();
}

STDMETHODIMP OutStreamWrapper::Seek(Int64 offset, UInt32 seekOrigin, UInt64* newPosition) noexcept
{
    LARGE_INTEGER move, position{};
    move.QuadPart = offset;
    BOOL ok = ::SetFilePointerEx(file_.Get(), move, &position, seekOrigin);
    if (newPosition)
        *newPosition = static_cast<UInt64>(position.QuadPart);
    return ok ? S_OK : LastErrorResult();
}

// Like a stream's SetSize, the position stays where it was.
STDMETHODIMP OutStreamWrapper::SetSize(UInt64 newSize) noexcept
{
    LARGE_INTEGER zero{}, position{}, size;
    size.QuadPart = static_cast<LONGLONG>(newSize);
    if (!::SetFilePointerEx(file_.Get(), zero, &position, FILE_CURRENT) ||
        !::SetFilePointerEx(file_.Get(), size, nullptr, FILE_BEGIN) || !::SetEndOfFile(file_.Get()))
        return LastErrorResult();
    return ::SetFilePointerEx(file_.Get(), position, nullptr, FILE_BEGIN) ? S_OK : LastErrorResult();
}

HRESULT OpenReadStream(const std::wstring& path, ComPtr<IStream>& stream)
{
    return ::SHCreateStreamOnFileEx(path.c_str(), STGM_READ, FILE_ATTRIBUTE_NORMAL, FALSE,
                                    nullptr, stream.ReleaseAndGetAddressOf());
}

HRESULT CreateWriteStream(const std::wstring& path, ComPtr<OutStreamWrapper>& stream)
{
    stream.Reset();
    UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return LastErrorResult();
    stream = new (std::nothrow) OutStreamWrapper(std::move(file));
    return stream ? S_OK : E_OUTOFMEMORY;
}

}  // namespace SevenZip::intl
