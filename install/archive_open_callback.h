#pragma once
// What the handler may ask while it opens an archive: progress, which is
// ignored, and a password, which is refused.
#include "install/seven_zip_com.h"

namespace SevenZip::intl {

class ArchiveOpenCallback final : public IArchiveOpenCallback, public ICryptoGetTextPassword {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) noexcept override;
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return refs_.Add(); }
    STDMETHODIMP_(ULONG) Release() noexcept override;

    STDMETHODIMP SetTotal(const UInt64* files, const UInt64* bytes) noexcept override;
    STDMETHODIMP SetCompleted(const UInt64* files, const UInt64* bytes) noexcept override;
    STDMETHODIMP CryptoGetTextPassword(BSTR* password) noexcept override;

private:
    ~ArchiveOpenCallback() = default;
    RefCount refs_;
};

}  // namespace SevenZip::intl
