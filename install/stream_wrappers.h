#pragma once
// 7-Zip stream interfaces over Windows IStream objects.
#include <string>
#include <utility>

#include "install/seven_zip_com.h"
#include "system/win_handles.h"

namespace SevenZip::intl {

class InStreamWrapper final
    : public ComObject<0, ComAnswer<IInStream, IID_IUnknown, IID_ISequentialInStream, IID_IInStream>,
                       ComAnswer<IStreamGetSize, IID_IStreamGetSize>> {
public:
    explicit InStreamWrapper(UniqueFileHandle file) : file_(std::move(file)) {}

    STDMETHODIMP Read(void* data, UInt32 size, UInt32* processedSize) noexcept override;
    STDMETHODIMP Seek(Int64 offset, UInt32 seekOrigin, UInt64* newPosition) noexcept override;
    STDMETHODIMP GetSize(UInt64* size) noexcept override;

private:
    ~InStreamWrapper() override = default;
    UniqueFileHandle file_;
};

// Writes one destination file through its own handle, which stays open
// until the extraction has applied the item's times and attributes to it.
class OutStreamWrapper final
    : public ComObject<0, ComAnswer<IOutStream, IID_IUnknown, IID_ISequentialOutStream, IID_IOutStream>> {
public:
    explicit OutStreamWrapper(UniqueFileHandle file) : file_(std::move(file)) {}

    STDMETHODIMP Write(const void* data, UInt32 size, UInt32* processedSize) noexcept override;
    STDMETHODIMP Seek(Int64 offset, UInt32 seekOrigin, UInt64* newPosition) noexcept override;
    STDMETHODIMP SetSize(UInt64 newSize) noexcept override;

    HANDLE Handle() const { return file_.Get(); }

private:
    ~OutStreamWrapper() override = default;
    UniqueFileHandle file_;
};

// Opens a file for reading, shared for reading and writing as a Windows
// file stream opens it.
HRESULT OpenReadStream(const std::wstring& path, ComPtr<IInStream>& stream);
// A read stream over an open file, through a duplicate of its handle (which
// shares its position: streams over one file are used one at a time, each
// from a seek).
HRESULT OpenReadStreamOn(HANDLE file, ComPtr<IInStream>& stream);

}  // namespace SevenZip::intl
