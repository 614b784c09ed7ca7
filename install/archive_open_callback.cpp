#include "install/archive_open_callback.h"

namespace SevenZip::intl {

STDMETHODIMP ArchiveOpenCallback::SetTotal(const UInt64*, const UInt64*) noexcept { return S_OK; }

STDMETHODIMP ArchiveOpenCallback::SetCompleted(const UInt64*, const UInt64*) noexcept { return S_OK; }

// The installer has no password to give: encrypted archives are not ours.
STDMETHODIMP ArchiveOpenCallback::CryptoGetTextPassword(BSTR*) noexcept { return E_ABORT; }

}  // namespace SevenZip::intl
