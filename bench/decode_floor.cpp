// The decoding floor of the extraction figure (bench/extract.sh): the same
// archive decoded by the installer's own 7-Zip code under Wine, every item's
// data handed to a stream that only counts it, nothing written. Beside
// native `7zz t` it shows what the 32-bit build under Wine costs; beside
// ExtractTo, what writing still adds.
//   usage: kx_decode_floor ARCHIVE [THREADS]
// THREADS sets the decoder's threads (the handler's "mt" property); without
// it the handler takes its own default, as the installer does.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <new>

#include "install/seven_zip_archive.h"
#include "install/seven_zip_com.h"
#include "install/stream_wrappers.h"

namespace {

using SevenZip::ComPtr;

class CountingStream final
    : public ComObject<0, ComAnswer<ISequentialOutStream, IID_IUnknown, IID_ISequentialOutStream>> {
public:
    explicit CountingStream(UInt64& total) : total_(total) {}
    STDMETHODIMP Write(const void*, UInt32 size, UInt32* processedSize) noexcept override
    {
        total_ += size;
        if (processedSize)
            *processedSize = size;
        return S_OK;
    }

private:
    ~CountingStream() override = default;
    UInt64& total_;
};

class DecodeCallback final
    : public ComObject<0, ComAnswer<IArchiveExtractCallback, IID_IUnknown,
                                    IID_IArchiveExtractCallback, IID_IProgress>> {
public:
    STDMETHODIMP SetTotal(UInt64) noexcept override { return S_OK; }
    STDMETHODIMP SetCompleted(const UInt64*) noexcept override { return S_OK; }
    STDMETHODIMP GetStream(UInt32, ISequentialOutStream** out, Int32 mode) noexcept override
    {
        *out = nullptr;
        if (mode != NArchive::NExtract::NAskMode::kExtract)
            return S_OK;
        CountingStream* stream = new (std::nothrow) CountingStream(bytes);
        if (!stream)
            return E_OUTOFMEMORY;
        stream->AddRef();
        *out = stream;
        return S_OK;
    }
    STDMETHODIMP PrepareOperation(Int32) noexcept override { return S_OK; }
    STDMETHODIMP SetOperationResult(Int32 result) noexcept override
    {
        if (result != NArchive::NExtract::NOperationResult::kOK)
            ++damaged;
        return S_OK;
    }

    UInt64 bytes = 0;
    unsigned damaged = 0;

private:
    ~DecodeCallback() override = default;
};

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: kx_decode_floor ARCHIVE [THREADS]\n");
        return 2;
    }
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);

    ComPtr<IInStream> file;
    ComPtr<IInArchive> handler;
    HRESULT hr = SevenZip::intl::OpenReadStream(argv[1], file);
    if (SUCCEEDED(hr))
        hr = SevenZip::intl::OpenArchive(SevenZip::kFormat7z, file.Get(), nullptr, handler);
    if (hr == S_OK && argc == 3)
        hr = SevenZip::intl::SetDecoderThreads(handler.Get(), static_cast<UInt32>(_wtoi(argv[2])));
    ComPtr<DecodeCallback> callback = new (std::nothrow) DecodeCallback;
    if (hr == S_OK)
        hr = callback ? handler->Extract(nullptr, 0xFFFFFFFF, 0, callback.Get()) : E_OUTOFMEMORY;
    if (handler)
        handler->Close();
    ::QueryPerformanceCounter(&end);
    double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory));
    std::printf("result=%ld bytes=%llu damaged=%u decode_s=%.3f peak_working_set_mb=%.1f\n",
                static_cast<long>(hr), static_cast<unsigned long long>(callback ? callback->bytes : 0),
                callback ? callback->damaged : 0u, seconds,
                static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0));
    return hr == S_OK && callback && callback->damaged == 0 ? 0 : 1;
}
