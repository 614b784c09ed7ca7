#pragma once
// Creates the destination file or directory of every item the handler
// unpacks, applies its stored attributes and times, and reports it.
// Every method runs on the handler's (the decoder's) thread, one item after
// the other: its path is split once, checked by the guard (a refused item is
// never announced), announced, its directories made; a file then goes to the
// writer threads (item_writers.h), which make, write and close it.
#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "install/item_path.h"
#include "install/item_writers.h"
#include "install/progress_callback.h"
#include "install/seven_zip_com.h"
#include "install/stream_wrappers.h"

namespace SevenZip::intl {

// The attributes to set for stored ones. Archives made on Unix carry the
// file mode in the high 16 bits, which Windows refuses; only the Windows
// bits are applied then, as 7-Zip itself does.
uint32_t WindowsAttributes(uint32_t stored);

class ArchiveExtractCallback final
    : public ComObject<0,
                       ComAnswer<IArchiveExtractCallback, IID_IUnknown, IID_IArchiveExtractCallback,
                                 IID_IProgress>,
                       ComAnswer<IArchiveExtractCallbackMessage2, IID_IArchiveExtractCallbackMessage2>,
                       ComAnswer<ICryptoGetTextPassword, IID_ICryptoGetTextPassword>> {
public:
    // Whatever is in the way of a file item is deleted (a directory with a
    // file in the way is kept, and the item fails).
    // root, where given, is destDir opened and checked by the caller.
    ArchiveExtractCallback(IInArchive* archive, const std::wstring& destDir,
                           ProgressCallback* callback, std::shared_ptr<CheckedDir> root = nullptr);

    // IProgress
    STDMETHODIMP SetTotal(UInt64 total) noexcept override;
    STDMETHODIMP SetCompleted(const UInt64* completeValue) noexcept override;
    // IArchiveExtractCallback
    STDMETHODIMP GetStream(UInt32 index, ISequentialOutStream** outStream,
                           Int32 askExtractMode) noexcept override;
    STDMETHODIMP PrepareOperation(Int32 askExtractMode) noexcept override;
    STDMETHODIMP SetOperationResult(Int32 operationResult) noexcept override;
    // IArchiveExtractCallbackMessage2: damage the handler finds outside an
    // item, such as a broken end of a compressed block.
    STDMETHODIMP ReportExtractResult(UInt32 indexType, UInt32 index, Int32 opRes) noexcept override;
    // ICryptoGetTextPassword
    STDMETHODIMP CryptoGetTextPassword(BSTR* password) noexcept override;

    // Waits until the writer threads have written and closed every file
    // handed to them; the first write failure, S_OK for none.
    HRESULT FinishWriting();

private:
    ~ArchiveExtractCallback() override;
    HRESULT ReadItemProperties(UInt32 index);
    // The first write failure of the writer threads so far, S_OK for none.
    HRESULT WriteFailure();
    HRESULT StartDirectory();
    HRESULT StartFile(ISequentialOutStream** outStream);
    HRESULT Announce();
    void AwaitWritersFor();
    HRESULT HandOver(FileToMake make, ISequentialOutStream** outStream);
    void FinishDirectory();

    ComPtr<IInArchive> archive_;
    std::wstring destDir_;
    ItemPathGuard guard_;
    ItemPath item_;
    std::wstring fullPath_;
    bool isDir_ = false;
    bool attribDefined_ = false;
    uint32_t attrib_ = 0;
    bool mtimeDefined_ = false;
    FILETIME mtime_{};
    bool atimeDefined_ = false;
    FILETIME atime_{};
    bool ctimeDefined_ = false;
    FILETIME ctime_{};
    bool sizeDefined_ = false;
    uint64_t size_ = 0;
    ProgressCallback* callback_;
    // Whether the current item is a file handed to the writers.
    bool handedOver_ = false;
    // Made at the first file; written and closed by its threads.
    std::unique_ptr<ItemWriters> writers_;
    // Every file handed over, as ItemPath keys: a later item at such a path,
    // or below it, waits until the writers are done.
    std::set<std::wstring> handedOverPaths_;
};

}  // namespace SevenZip::intl
