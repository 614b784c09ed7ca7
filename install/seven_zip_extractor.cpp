#include "install/seven_zip_extractor.h"

#include <new>

#include "install/archive_extract_callback.h"
#include "install/stream_wrappers.h"

namespace SevenZip {
namespace {

// Whether the handler found the archive damaged while opening it: headers it
// had to repair (a broken start header) or could not read in full. The
// handler still opens such an archive, but its items can't be trusted.
bool OpenedDamaged(IInArchive* handler)
{
    for (PROPID id : {kpidErrorFlags, kpidWarningFlags}) {
        intl::PropValue flags;
        if (handler->GetArchiveProperty(id, flags.Receive()) == S_OK && flags->vt == VT_UI4 &&
            flags->ulVal != 0)
            return true;
    }
    return false;
}

}  // namespace

int32_t SevenZipExtractor::ExtractTo(const std::wstring& destDir, ProgressCallback* callback)
{
    return ExtractInto(destDir, nullptr, callback);
}

int32_t SevenZipExtractor::ExtractInto(const std::wstring& destDir, std::shared_ptr<CheckedDir> root,
                                       ProgressCallback* callback)
{
    try {
        // With no handler opening the file the format becomes 0: 7z.
        ProbeFormat();

        ComPtr<IInStream> file;
        if (FAILED(OpenArchiveStream(file)) || !file)
            return ERROR_OPEN_FAILED;
        ComPtr<IInArchive> handler;
        HRESULT hr = intl::OpenArchive(format_, file.Get(), nullptr, handler);
        if (hr != S_OK)
            return hr;
        // Reported as the handler reports an archive it can't open.
        if (OpenedDamaged(handler.Get())) {
            handler->Close();
            return S_FALSE;
        }

        if (callback) {
            UInt32 count = 0;
            if (handler->GetNumberOfItems(&count) != S_OK)
                count = 0;
            callback->ItemCountKnown(count);
        }

        // One decoding thread: the payload's few large blocks decoded no
        // faster on two here, at twice the memory, and the writer threads
        // need the other processors.
        intl::SetDecoderThreads(handler.Get(), intl::kDecoderThreads);
        ComPtr<intl::ArchiveExtractCallback> extractCallback = new (std::nothrow)
            intl::ArchiveExtractCallback(handler.Get(), destDir, callback, std::move(root));
        if (!extractCallback) {
            handler->Close();
            return E_OUTOFMEMORY;
        }
        hr = handler->Extract(nullptr, 0xFFFFFFFF, 0, extractCallback.Get());
        // Every file handed to the writer threads is written and closed
        // before the extraction ends, a stopped or failed one too. A write
        // failure is the extraction's result: it came first in archive order.
        HRESULT written = extractCallback->FinishWriting();
        if (written != S_OK)
            hr = written;
        handler->Close();
        return hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace SevenZip
