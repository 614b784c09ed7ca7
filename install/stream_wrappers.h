#pragma once
// 7-Zip stream interfaces over Windows IStream objects.
#include <string>

#include "install/seven_zip_com.h"

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

class OutStreamWrapper final : public IOutStream {
public:
    explicit OutStreamWrapper(IStream* stream) : stream_(stream) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) noexcept override;
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return refs_.Add(); }
    STDMETHODIMP_(ULONG) Release() noexcept override;

    STDMETHODIMP Write(const void* data, UInt32 size, UInt32* processedSize) noexcept override;
    STDMETHODIMP Seek(Int64 offset, UInt32 seekOrigin, UInt64* newPosition) noexcept override;
    STDMETHODIMP SetSize(UInt64 newSize) noexcept override;

private:
    ~OutStreamWrapper() = default;
    RefCount refs_;
    ComPtr<IStream> stream_;
};

// Opens a file as a Windows stream for reading, or creates it for writing.
HRESULT OpenReadStream(const std::wstring& path, ComPtr<IStream>& stream);
HRESULT CreateWriteStream(const std::wstring& path, ComPtr<IStream>& stream);

}  // namespace SevenZip::intl
