#include "install/archive_extract_callback.h"

#include <shellapi.h>
#include <shlobj.h>

#include <new>

#include "install/item_path.h"
#include "install/stream_wrappers.h"
#include "system/win_handles.h"

namespace SevenZip::intl {
namespace {

constexpr Int32 kAskExtract = NArchive::NExtract::NAskMode::kExtract;

// The last Windows error as an HRESULT; never success, even when the failing
// call did not set an error.
HRESULT LastErrorResult()
{
    DWORD error = ::GetLastError();
    return error != ERROR_SUCCESS ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

// Reads one property of an item. An absent value leaves `defined` false; a
// present one goes through `take`, which refuses a type it does not expect.
template <typename T, typename Take>
HRESULT ReadOptional(IInArchive* archive, UInt32 index, PROPID id, bool& defined, T& value,
                     Take take)
{
    PropValue prop;
    HRESULT hr = archive->GetProperty(index, id, prop.Receive());
    if (hr != S_OK)
        return hr;
    defined = prop->vt != VT_EMPTY;
    if (!defined)
        return S_OK;
    return take(*prop, value) ? S_OK : E_FAIL;
}

bool TakeUInt32(const PROPVARIANT& p, uint32_t& v)
{
    v = p.ulVal;
    return p.vt == VT_UI4;
}

bool TakeBool(const PROPVARIANT& p, bool& v)
{
    v = p.boolVal != VARIANT_FALSE;
    return p.vt == VT_BOOL;
}

bool TakeTime(const PROPVARIANT& p, FILETIME& v)
{
    v = p.filetime;
    return p.vt == VT_FILETIME;
}

// Deletes a file or directory tree in the way, without the recycle bin.
HRESULT DeleteExisting(const std::wstring& path, DWORD attributes)
{
    if (path.empty() || path.size() > MAX_PATH)
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    // The shell deletes a read-only file on Windows but not on every
    // implementation of it; the file goes anyway.
    if ((attributes & FILE_ATTRIBUTE_READONLY) && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        ::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    std::wstring from = path;
    from.push_back(L'\0');  // with the terminator of c_str(): a list of one
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    ::SetLastError(ERROR_SUCCESS);
    int rc = ::SHFileOperationW(&op);
    if (rc == 0 && !op.fAnyOperationsAborted)
        return S_OK;
    // The shell does not always set the thread's error; its own code then.
    DWORD error = ::GetLastError();
    if (error == ERROR_SUCCESS)
        error = rc != 0 ? static_cast<DWORD>(rc) : ERROR_CANCELLED;
    return HRESULT_FROM_WIN32(error);
}

bool CreateDirectoryChain(const std::wstring& dir)
{
    int rc = ::SHCreateDirectoryExW(nullptr, dir.c_str(), nullptr);
    return rc == ERROR_SUCCESS || rc == ERROR_ALREADY_EXISTS;
}

}  // namespace

uint32_t WindowsAttributes(uint32_t stored)
{
    return (stored & 0xF0000000u) != 0 ? (stored & 0x3FFFu) : stored;
}

ArchiveExtractCallback::ArchiveExtractCallback(IInArchive* archive, const std::wstring& destDir,
                                               int32_t overwriteMode, ProgressCallback* callback)
    : archive_(archive),
      destDir_(destDir),
      overwriteMode_(overwriteMode),
      callback_(callback)
{
    if (!EndsWithSeparator(destDir_))
        destDir_ += L'\\';
}

STDMETHODIMP ArchiveExtractCallback::QueryInterface(REFIID iid, void** out) noexcept
{
    if (!out)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IArchiveExtractCallback || iid == IID_IProgress)
        *out = static_cast<IArchiveExtractCallback*>(this);
    else if (iid == IID_ICryptoGetTextPassword)
        *out = static_cast<ICryptoGetTextPassword*>(this);
    else if (iid == IID_ICompressProgressInfo)
        *out = static_cast<ICompressProgressInfo*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) ArchiveExtractCallback::Release() noexcept
{
    ULONG left = refs_.Drop();
    if (left == 0)
        delete this;
    return left;
}

STDMETHODIMP ArchiveExtractCallback::SetTotal(UInt64 total) noexcept
{
    lastTotal_ = total;
    if (callback_)
        callback_->TotalSizeKnown(fullPath_, total);
    return S_OK;
}

STDMETHODIMP ArchiveExtractCallback::SetCompleted(const UInt64*) noexcept { return S_OK; }

STDMETHODIMP ArchiveExtractCallback::PrepareOperation(Int32) noexcept { return S_OK; }

STDMETHODIMP ArchiveExtractCallback::CryptoGetTextPassword(BSTR*) noexcept { return E_ABORT; }

STDMETHODIMP ArchiveExtractCallback::SetRatioInfo(const UInt64* inSize, const UInt64* outSize) noexcept
{
    if (callback_)
        callback_->RatioChanged(inSize ? *inSize : 0, outSize ? *outSize : 0);
    return S_OK;
}

HRESULT ArchiveExtractCallback::ReadItemProperties(UInt32 index)
{
    IInArchive* a = archive_.Get();
    bool isDirDefined = false;
    isDir_ = false;
    size_ = 0;
    HRESULT hr = ReadOptional(a, index, kpidAttrib, attribDefined_, attrib_, TakeUInt32);
    if (hr == S_OK)
        hr = ReadOptional(a, index, kpidIsDir, isDirDefined, isDir_, TakeBool);
    if (hr == S_OK)
        hr = ReadOptional(a, index, kpidMTime, mtimeDefined_, mtime_, TakeTime);
    if (hr == S_OK)
        hr = ReadOptional(a, index, kpidCTime, ctimeDefined_, ctime_, TakeTime);
    if (hr == S_OK)
        hr = ReadOptional(a, index, kpidATime, atimeDefined_, atime_, TakeTime);
    if (hr == S_OK)
        hr = ReadOptional(a, index, kpidSize, sizeDefined_, size_, UnsignedValue);
    return hr;
}

STDMETHODIMP ArchiveExtractCallback::GetStream(UInt32 index, ISequentialOutStream** outStream,
                                               Int32 askExtractMode) noexcept
{
    if (!outStream)
        return E_POINTER;
    *outStream = nullptr;
    try {
        {
            PropValue path;
            HRESULT hr = archive_->GetProperty(index, kpidPath, path.Receive());
            if (hr != S_OK)
                return hr;
            if (path->vt == VT_BSTR)
                relativePath_ = path->bstrVal ? path->bstrVal : L"";
            else if (path->vt == VT_EMPTY)
                relativePath_.clear();
            else
                return E_FAIL;
        }
        if (askExtractMode != kAskExtract)
            return S_OK;

        HRESULT hr = ReadItemProperties(index);
        if (hr != S_OK)
            return hr;
        // Refused before anything is created or reported for it.
        if (!StaysInsideDestination(relativePath_))
            return E_FAIL;
        fullPath_ = JoinItemPath(destDir_, relativePath_);
        return isDir_ ? StartDirectory() : StartFile(outStream);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT ArchiveExtractCallback::StartDirectory()
{
    if (callback_ && !callback_->ItemStarting(destDir_, relativePath_, true))
        return E_FAIL;
    // A directory that can't be made shows when its files are created.
    ::SHCreateDirectoryExW(nullptr, fullPath_.c_str(), nullptr);
    return S_OK;
}

HRESULT ArchiveExtractCallback::StartFile(ISequentialOutStream** outStream)
{
    if (callback_ && !callback_->ItemStarting(destDir_, relativePath_, false))
        return E_FAIL;
    if (relativePath_.empty())
        return S_OK;
    if (!StaysInsideDestination(relativePath_))
        return E_FAIL;  // the callback renamed it out of the destination
    fullPath_ = JoinItemPath(destDir_, relativePath_);

    if (overwriteMode_ == kOverwriteReplace) {
        DWORD existing = ::GetFileAttributesW(fullPath_.c_str());
        if (existing != INVALID_FILE_ATTRIBUTES) {
            HRESULT hr = DeleteExisting(fullPath_, existing);
            if (hr != S_OK)
                return hr;
        }
    }
    if (!CreateDirectoryChain(ParentOf(fullPath_)))
        return ERROR_CREATE_FAILED;

    ComPtr<IStream> file;
    HRESULT hr = CreateWriteStream(fullPath_, file);
    if (FAILED(hr) || !file) {
        HRESULT error = LastErrorResult();
        fullPath_.clear();
        return FAILED(hr) ? hr : error;
    }
    auto* wrapper = new (std::nothrow) OutStreamWrapper(file.Get());
    if (!wrapper)
        return E_OUTOFMEMORY;
    wrapper->AddRef();
    *outStream = wrapper;
    return S_OK;
}

void ArchiveExtractCallback::ApplyTimes() const
{
    if (!ctimeDefined_ && !atimeDefined_ && !mtimeDefined_)
        return;
    // Without backup semantics a directory does not open: it keeps the
    // times of its creation.
    UniqueFileHandle file(::CreateFileW(fullPath_.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    ::SetFileTime(file.Get(), ctimeDefined_ ? &ctime_ : nullptr, atimeDefined_ ? &atime_ : nullptr,
                  mtimeDefined_ ? &mtime_ : nullptr);
}

STDMETHODIMP ArchiveExtractCallback::SetOperationResult(Int32 operationResult) noexcept
{
    using namespace NArchive::NExtract::NOperationResult;
    // A damaged item must not count as installed.
    if (operationResult != kOK)
        return operationResult == kCRCError || operationResult == kDataError
                   ? HRESULT_FROM_WIN32(ERROR_CRC)
                   : E_FAIL;
    if (fullPath_.empty()) {
        if (callback_)
            callback_->ArchiveFinished(destDir_);
        return S_OK;
    }
    ApplyTimes();
    if (attribDefined_) {
        // Most items already have what the archive stores (a new file has
        // the archive bit); the query costs less than the change.
        DWORD wanted = WindowsAttributes(attrib_);
        if (::GetFileAttributesW(fullPath_.c_str()) != wanted)
            ::SetFileAttributesW(fullPath_.c_str(), wanted);
    }
    if (callback_) {
        try {
            if (!callback_->ItemCompleted(fullPath_, size_))
                return E_FAIL;
            callback_->ItemWritten(fullPath_, size_);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }
    return S_OK;
}

}  // namespace SevenZip::intl
