#pragma once
// 7-Zip stream interfaces over Windows IStream objects.
#include <string>

#include "install/seven_zip_com.h"

namespace SevenZip::intl {

class InStreamWrapper final
    : public ComObject<0, ComAnswer<IInStream, IID_IUnknown, IID_ISequentialInStream, IID_IInStream>,
                       ComAnswer<IStreamGetSize, IID_IStreamGetSize>> {
public:
    explicit InStreamWrapper(IStream* stream) : stream_(stream) {}

    STDMETHODIMP Read(void* data, UInt32 size, UInt32* processedSize) noexcept override;
    STDMETHODIMP Seek(Int64 offset, UInt32 seekOrigin, UInt64* newPosition) noexcept override;
    STDMETHODIMP GetSize(UInt64* size) noexcept override;

private:
    ~InStreamWrapper() override = default;
    ComPtr<IStream> stream_;
};

class OutStreamWrapper final
    : public ComObject<0, ComAnswer<IOutStream, IID_IUnknown, IID_ISequentialOutStream, IID_IOutStream>> {
public:
    explicit OutStreamWrapper(IStream* stream) : stream_(stream) {}

    STDMETHODIMP Write(const void* data, UInt32 size, UInt32* processedSize) noexcept override;
    STDMETHODIMP Seek(Int64 offset, UInt32 seekOrigin, UInt64* newPosition) noexcept override;
    STDMETHODIMP SetSize(UInt64 newSize) noexcept override;

private:
    ~OutStreamWrapper() override = default;
    ComPtr<IStream> stream_;
};

// Opens a file as a Windows stream for reading, or creates it for writing.
HRESULT OpenReadStream(const std::wstring& path, ComPtr<IStream>& stream);
HRESULT CreateWriteStream(const std::wstring& path, ComPtr<IStream>& stream);

}  // namespace SevenZip::intl
