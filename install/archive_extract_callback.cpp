#include "install/archive_extract_callback.h"

#include <new>

#include "install/destination_files.h"

namespace SevenZip::intl {
namespace {

constexpr Int32 kAskExtract = NArchive::NExtract::NAskMode::kExtract;

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

std::wstring WithSeparator(const std::wstring& dir)
{
    return EndsWithSeparator(dir) ? dir : dir + L'\\';
}

// What an item's or a block's operation result makes of the extraction: a
// damaged item must not count as installed.
HRESULT OperationResultCode(Int32 operationResult)
{
    using namespace NArchive::NExtract::NOperationResult;
    if (operationResult == kOK)
        return S_OK;
    return operationResult == kCRCError || operationResult == kDataError
               ? HRESULT_FROM_WIN32(ERROR_CRC)
               : E_FAIL;
}

}  // namespace

uint32_t WindowsAttributes(uint32_t stored)
{
    return (stored & 0xF0000000u) != 0 ? (stored & 0x3FFFu) : stored;
}

ArchiveExtractCallback::ArchiveExtractCallback(IInArchive* archive, const std::wstring& destDir,
                                               ProgressCallback* callback, std::shared_ptr<CheckedDir> root)
    : archive_(archive),
      destDir_(WithSeparator(destDir)),
      guard_(destDir_, std::move(root)),
      callback_(callback)
{
}

// No file is left open or half written behind the extraction, whatever
// ended it.
ArchiveExtractCallback::~ArchiveExtractCallback() { FinishWriting(); }

HRESULT ArchiveExtractCallback::WriteFailure()
{
    return writers_ ? writers_->Failure() : S_OK;
}

HRESULT ArchiveExtractCallback::FinishWriting()
{
    return writers_ ? writers_->Finish() : S_OK;
}

STDMETHODIMP ArchiveExtractCallback::SetTotal(UInt64) noexcept { return S_OK; }

STDMETHODIMP ArchiveExtractCallback::SetCompleted(const UInt64*) noexcept { return S_OK; }

STDMETHODIMP ArchiveExtractCallback::PrepareOperation(Int32) noexcept { return S_OK; }

STDMETHODIMP ArchiveExtractCallback::CryptoGetTextPassword(BSTR*) noexcept { return E_ABORT; }

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
            // Split once here; every later step takes the parts.
            if (path->vt == VT_BSTR)
                item_ = ItemPath(path->bstrVal ? path->bstrVal : L"");
            else if (path->vt == VT_EMPTY)
                item_ = ItemPath();
            else
                return E_FAIL;
        }
        if (askExtractMode != kAskExtract)
            return S_OK;

        handedOver_ = false;
        HRESULT hr = ReadItemProperties(index);
        if (hr != S_OK)
            return hr;
        AwaitWritersFor();
        // A write that failed ends the extraction before the next item, also
        // one found while waiting for the writers just now. Items handed over
        // after the failing one may be on disk and announced by now: nothing
        // uses the recorded paths of a failed extraction.
        hr = WriteFailure();
        if (hr != S_OK)
            return hr;
        // Refused before anything is created or reported for it.
        fullPath_.clear();
        if (!guard_.Allows(item_, isDir_))
            return E_FAIL;
        fullPath_ = JoinItemPath(destDir_, item_.Text());
        return isDir_ ? StartDirectory() : StartFile(outStream);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

// Tells the callback about the item, which may stop the extraction.
HRESULT ArchiveExtractCallback::Announce()
{
    return !callback_ || callback_->ItemStarting(destDir_, item_.Text(), isDir_) ? S_OK : E_FAIL;
}

// When a path waits for the writers: an item at the path of a file still
// with them, or below it, meets what a one-by-one extraction would have left
// there, so the writers finish first. Any other item goes on at once.
void ArchiveExtractCallback::AwaitWritersFor()
{
    if (!writers_ || handedOverPaths_.empty())
        return;
    for (size_t n = 1; n <= item_.Count(); ++n) {
        if (handedOverPaths_.count(item_.KeyOf(n))) {
            writers_->Drain();
            handedOverPaths_.clear();
            return;
        }
    }
}

// The file goes to a writer thread, which makes and writes it, sets its
// times and attributes and closes it while the decoder goes on.
HRESULT ArchiveExtractCallback::HandOver(FileToMake make, ISequentialOutStream** outStream)
{
    FileFinish finish;
    auto take = [](bool defined, const FILETIME& time, LARGE_INTEGER& field) {
        if (defined) {
            field.LowPart = time.dwLowDateTime;
            field.HighPart = static_cast<LONG>(time.dwHighDateTime);
        }
    };
    take(ctimeDefined_, ctime_, finish.info.CreationTime);
    take(atimeDefined_, atime_, finish.info.LastAccessTime);
    take(mtimeDefined_, mtime_, finish.info.LastWriteTime);
    // As SetFileAttributesW passes them: never 0, which would mean "keep".
    finish.attribDefined = attribDefined_;
    finish.attributes = WindowsAttributes(attrib_);
    if (attribDefined_)
        finish.info.FileAttributes = finish.attributes | FILE_ATTRIBUTE_NORMAL;
    finish.any = ctimeDefined_ || atimeDefined_ || mtimeDefined_ || attribDefined_;

    if (!writers_)
        writers_ = std::make_unique<ItemWriters>(WriterThreadCount(),
                                                 callback_ ? callback_->MostFilesAhead() : 0);
    ComPtr<ISequentialOutStream> stream;
    HRESULT hr = writers_->Begin(std::move(make), std::move(finish), sizeDefined_ ? size_ : 0, stream);
    if (hr != S_OK)
        return hr;
    handedOverPaths_.insert(item_.Key());
    handedOver_ = true;
    *outStream = stream.Detach();
    return S_OK;
}

HRESULT ArchiveExtractCallback::StartDirectory()
{
    HRESULT hr = Announce();
    if (hr != S_OK)
        return hr;
    // A file in the way, left from before or made by an earlier item, is
    // kept: the directory and everything the archive holds below it fail.
    if (!guard_.MakeDirectories(item_, true)) {
        fullPath_.clear();
        return ERROR_CREATE_FAILED;
    }
    guard_.Claim(item_, true);
    return S_OK;
}

HRESULT ArchiveExtractCallback::StartFile(ISequentialOutStream** outStream)
{
    // What is at a file's path decides whether it may be written, before it
    // is announced: a refused item is never announced. A writer thread
    // makes the file afterwards, exclusively in its directory's checked
    // handle, so that anything that appears at the name in between fails
    // the item rather than being written through.
    std::shared_ptr<const CheckedDir> dir;
    if (!guard_.Look(item_, fullPath_, dir)) {
        fullPath_.clear();
        return E_FAIL;
    }
    HRESULT hr = Announce();
    if (hr != S_OK)
        return hr;

    if (!dir) {
        DWORD existing = guard_.ExistingAttributes();
        if (existing != INVALID_FILE_ATTRIBUTES) {
            // Nothing is deleted while files handed over are unwritten: a
            // write that failed ends the extraction first, as it would have
            // one by one. (The writers hold their own directory handles, so
            // the guard may let go of its handles after the delete.)
            if (writers_)
                writers_->Drain();
            hr = WriteFailure();
            if (hr == S_OK)
                hr = guard_.RemoveExisting(item_);
            guard_.Removed(existing);
            if (hr != S_OK) {
                fullPath_.clear();
                return hr;
            }
        }
    }
    if (!dir && !guard_.HasParentOf(item_)) {
        if (!guard_.MakeDirectories(item_, false)) {
            fullPath_.clear();
            return ERROR_CREATE_FAILED;
        }
        guard_.Claim(item_, false);
    }

    if (!dir) {
        hr = guard_.FileDirectory(item_, dir);
        if (hr != S_OK) {
            fullPath_.clear();
            return hr;
        }
    }
    FileToMake make;
    make.dir = std::move(dir);
    make.name = item_.Name();
    hr = HandOver(std::move(make), outStream);
    if (hr != S_OK)
        fullPath_.clear();
    return hr;
}

// A directory keeps the times of its creation, as it can't be opened for
// writing them; it gets the stored attributes.
void ArchiveExtractCallback::FinishDirectory()
{
    if (!attribDefined_)
        return;
    HANDLE dir = guard_.DirectoryHandle(item_);
    if (!dir)
        return;
    // Most directories already have what the archive stores; the query
    // costs less than the change.
    DWORD wanted = WindowsAttributes(attrib_) | FILE_ATTRIBUTE_DIRECTORY;
    FILE_BASIC_INFO info{};
    if (::GetFileInformationByHandleEx(dir, FileBasicInfo, &info, sizeof(info)) &&
        info.FileAttributes == wanted)
        return;
    FILE_BASIC_INFO change{};
    change.FileAttributes = wanted;
    ::SetFileInformationByHandle(dir, FileBasicInfo, &change, sizeof(change));
}

STDMETHODIMP ArchiveExtractCallback::SetOperationResult(Int32 operationResult) noexcept
{
    HRESULT result = OperationResultCode(operationResult);
    if (handedOver_) {
        // A damaged file gets none of the stored times.
        writers_->End(result == S_OK);
        handedOver_ = false;
    }
    if (result != S_OK)
        return result;
    if (fullPath_.empty())
        return S_OK;
    if (isDir_)
        FinishDirectory();
    try {
        if (callback_ && !callback_->ItemCompleted(fullPath_, size_))
            return E_FAIL;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

STDMETHODIMP ArchiveExtractCallback::ReportExtractResult(UInt32, UInt32, Int32 opRes) noexcept
{
    return OperationResultCode(opRes);
}

}  // namespace SevenZip::intl
