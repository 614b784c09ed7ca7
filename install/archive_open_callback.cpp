#include "install/archive_open_callback.h"

namespace SevenZip::intl {

STDMETHODIMP ArchiveOpenCallback::QueryInterface(REFIID iid, void** out) noexcept
{
    if (!out)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IArchiveOpenCallback)
        *out = static_cast<IArchiveOpenCallback*>(this);
    else if (iid == IID_ICryptoGetTextPassword)
        *out = static_cast<ICryptoGetTextPassword*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) ArchiveOpenCallback::Release() noexcept
{
    ULONG left = refs_.Drop();
    if (left == 0)
        delete this;
    return left;
}

STDMETHODIMP ArchiveOpenCallback::SetTotal(const UInt64*, const UInt64*) noexcept { return S_OK; }

STDMETHODIMP ArchiveOpenCallback::SetCompleted(const UInt64*, const UInt64*) noexcept { return S_OK; }

// The installer has no password to give: encrypted archives are not ours.
STDMETHODIMP ArchiveOpenCallback::CryptoGetTextPassword(BSTR*) noexcept { return E_ABORT; }

}  // namespace SevenZip::intl
