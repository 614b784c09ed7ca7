#include "install/stream_wrappers.h"

#include <new>

#include "install/destination_files.h"

namespace SevenZip::intl {
namespace {

HRESULT SeekFile(HANDLE file, Int64 offset, UInt32 origin, UInt64* newPosition)
{
    LARGE_INTEGER move, position{};
    move.QuadPart = offset;
    BOOL ok = ::SetFilePointerEx(file, move, &position, origin);
    if (newPosition)
        *newPosition = static_cast<UInt64>(position.QuadPart);
    return ok ? S_OK : LastErrorResult();
}

}  // namespace

STDMETHODIMP InStreamWrapper::Read(void* data, UInt32 size, UInt32* processedSize) noexcept
{
    DWORD read = 0;
    BOOL ok = ::ReadFile(file_.Get(), data, size, &read, nullptr);
    if (processedSize)
        *processedSize = read;
    // Fewer bytes than asked for only say the end came first.
    return ok ? S_OK : LastErrorResult();
}

STDMETHODIMP InStreamWrapper::Seek(Int64 offset, UInt32 seekOrigin, UInt64* newPosition) noexcept
{
    return SeekFile(file_.Get(), offset, seekOrigin, newPosition);
}

STDMETHODIMP InStreamWrapper::GetSize(UInt64* size) noexcept
{
    LARGE_INTEGER bytes{};
    if (!::GetFileSizeEx(file_.Get(), &bytes))
        return LastErrorResult();
    if (size)
        *size = static_cast<UInt64>(bytes.QuadPart);
    return S_OK;
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
    return SeekFile(file_.Get(), offset, seekOrigin, newPosition);
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

namespace {

// Opens path as the Windows file streams do (shared for reading and
// writing) and wraps the handle.
template <class Wrapper, class Interface>
HRESULT OpenFileStream(const std::wstring& path, DWORD access, DWORD disposition,
                       ComPtr<Interface>& stream)
{
    stream.Reset();
    UniqueFileHandle file(::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return LastErrorResult();
    stream = new (std::nothrow) Wrapper(std::move(file));
    return stream ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

// By name: an archive its caller names (tests, the benchmark); the install
// job reads its payload through the handle that wrote it (OpenReadStreamOn).
HRESULT OpenReadStream(const std::wstring& path, ComPtr<IInStream>& stream)
{
    return OpenFileStream<InStreamWrapper>(path, GENERIC_READ, OPEN_EXISTING, stream);
}

HRESULT OpenReadStreamOn(HANDLE file, ComPtr<IInStream>& stream)
{
    stream.Reset();
    HANDLE copy = nullptr;
    if (!::DuplicateHandle(::GetCurrentProcess(), file, ::GetCurrentProcess(), &copy, 0, FALSE,
                           DUPLICATE_SAME_ACCESS))
        return LastErrorResult();
    stream = new (std::nothrow) InStreamWrapper(UniqueFileHandle(copy));
    return stream ? S_OK : E_OUTOFMEMORY;
}

}  // namespace SevenZip::intl
