#pragma once
// 7-Zip stream interfaces over Windows IStream objects.
#include <string>
#include <utility>

#include "install/seven_zip_com.h"
#include "system/win_handles.h"

namespace SevenZip::intl {

class InStreamWrapper final : public IInStream, public IStreamGetSize {
public:
    explicit InStreamWrapper(IStream* stream) : stream_(stream) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) noexcept override;
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return refs_.Add(); }
    STDMETHODIMP_(ULONG) Release() noexcept override;

    STDMETHODIMP Read(void* data, UInt32 size, UInt32* processedSize) noexcept override;
    STDMETHODIMP Seek(Int64 offset, UInt32 seekOrigin, UInt64* newPosition) noexcept override;
    STDMETHODIMP GetSize(UInt64* size) noexcept override;

private:
    ~InStreamWrapper() = default;
    RefCount refs_;
    ComPtr<IStream> stream_;
};

// Writes one destination file through its own handle, which stays open
// until the extraction has applied the item's times and attributes to it.
class OutStreamWrapper final : public IOutStream {
public:
    explicit OutStreamWrapper(UniqueFileHandle file) : file_(std::move(file)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) noexcept override;
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return refs_.Add(); }
    STDMETHODIMP_(ULONG) Release() noexcept override;

    STDMETHODIMP Write(const void* data, UInt32 size, UInt32* processedSize) noexcept override;
    STDMETHODIMP Seek(Int64 offset, UInt32 seekOrigin, UInt64* newPosition) noexcept override;
    STDMETHODIMP SetSize(UInt64 newSize) noexcept override;

    HANDLE Handle() const { return file_.Get(); }

private:
    ~OutStreamWrapper() = default;
    RefCount refs_;
    UniqueFileHandle file_;
};

// Opens a file as a Windows stream for reading.
HRESULT OpenReadStream(const std::wstring& path, ComPtr<IStream>& stream);
// Creates (or empties) a file for writing, shared for reading as a Windows
// file stream is.
HRESULT CreateWriteStream(const std::wstring& path, ComPtr<OutStreamWrapper>& stream);

}  // namespace SevenZip::intl
