#pragma once
// What the handler may ask while it opens an archive: progress, which is
// ignored, and a password, which is refused.
#include "install/seven_zip_com.h"

namespace SevenZip::intl {

class ArchiveOpenCallback final
    : public ComObject<0, ComAnswer<IArchiveOpenCallback, IID_IUnknown, IID_IArchiveOpenCallback>,
                       ComAnswer<ICryptoGetTextPassword, IID_ICryptoGetTextPassword>> {
public:
    STDMETHODIMP SetTotal(const UInt64* files, const UInt64* bytes) noexcept override;
    STDMETHODIMP SetCompleted(const UInt64* files, const UInt64* bytes) noexcept override;
    STDMETHODIMP CryptoGetTextPassword(BSTR* password) noexcept override;

private:
    ~ArchiveOpenCallback() override = default;
};

}  // namespace SevenZip::intl
