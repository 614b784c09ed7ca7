#include "install/item_writers.h"

#include <algorithm>
#include <new>

#include "install/destination_files.h"
#include "install/item_path.h"

namespace SevenZip::intl {

// One file on its way from the decoder to a writer. chunks and ended are
// guarded by the writers' lock; filling belongs to the decoder alone.
struct QueuedFile {
    FileToMake make;
    UniqueFileHandle file;
    FileFinish finish;
    std::vector<char> filling;
    size_t chunkSize = 0;
    std::deque<std::vector<char>> chunks;
    bool ended = false;
    bool complete = false;
};

namespace {

// The queue holds at most this much unwritten data: a large file waits for
// its writer rather than sit whole in memory.
constexpr size_t kQueueCap = 64u << 20;
// Data goes to a writer in pieces of about this size: few hand-overs, and
// a large file is written while it is still being decoded.
constexpr size_t kChunk = 1u << 20;
// Enough kept chunks for the writers and the decoder to pass them round.
constexpr size_t kSpareChunks = 16;
// More writers than this only add threads waiting for the decoder.
constexpr unsigned kMostWriters = 4;

unsigned g_writersForTesting = 0;

class ExclusiveLock {
public:
    explicit ExclusiveLock(SRWLOCK& lock) : lock_(lock) { ::AcquireSRWLockExclusive(&lock_); }
    ~ExclusiveLock() { ::ReleaseSRWLockExclusive(&lock_); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

private:
    SRWLOCK& lock_;
};

HRESULT WriteAll(HANDLE file, const std::vector<char>& data)
{
    size_t done = 0;
    while (done < data.size()) {
        DWORD part = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, data.data() + done, part, &written, nullptr))
            return LastErrorResult();
        if (written == 0)
            return HRESULT_FROM_WIN32(ERROR_WRITE_FAULT);
        done += written;
    }
    return S_OK;
}

// The one step that makes an item's file on disk.
HRESULT MakeFile(QueuedFile& queued)
{
    if (!queued.make.dir)
        return E_UNEXPECTED;
    HRESULT hr = CreateItemFile(*queued.make.dir, queued.make.name, queued.file);
    // Once the file is open its directory's handle is needed no more.
    queued.make.dir.reset();
    return hr;
}

// Through the handle that wrote the file: one call for times and attributes
// where a second open, a time call and an attribute call were needed.
void SetTimesAndAttributes(QueuedFile& queued)
{
    FileFinish& finish = queued.finish;
    bool separately = finish.any &&
                      !::SetFileInformationByHandle(queued.file.Get(), FileBasicInfo, &finish.info,
                                                    sizeof(finish.info)) &&
                      finish.attribDefined;
    // Attributes the file system refuses must not cost the file its times:
    // each goes on its own then.
    if (separately) {
        finish.info.FileAttributes = 0;
        ::SetFileInformationByHandle(queued.file.Get(), FileBasicInfo, &finish.info,
                                     sizeof(finish.info));
        FILE_BASIC_INFO attributesOnly{};
        attributesOnly.FileAttributes = finish.attributes | FILE_ATTRIBUTE_NORMAL;
        ::SetFileInformationByHandle(queued.file.Get(), FileBasicInfo, &attributesOnly,
                                     sizeof(attributesOnly));
    }
    queued.file.Reset();
}

}  // namespace

unsigned WriterThreadCount()
{
    if (g_writersForTesting != 0)
        return g_writersForTesting;
    // The decoder keeps one processor busy; the writers share the others.
    // More writers than processors only contend for the system's file
    // calls: on two processors one writer beat two and four (0.42 s against
    // 0.54 and 0.65 for the benchmark payload).
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    unsigned others = info.dwNumberOfProcessors > 1 ? info.dwNumberOfProcessors - 1 : 1;
    return std::min(others, kMostWriters);
}

void SetWriterThreadsForTesting(unsigned count) { g_writersForTesting = count; }

STDMETHODIMP QueuedFileStream::Write(const void* data, UInt32 size, UInt32* processedSize) noexcept
{
    if (processedSize)
        *processedSize = 0;
    HRESULT hr = writers_.Write(*file_, data, size);
    if (hr == S_OK && processedSize)
        *processedSize = size;
    return hr;
}

ItemWriters::ItemWriters(unsigned threads, size_t mostWaitingFiles)
    : mostWaitingFiles_(mostWaitingFiles)
{
    spare_.reserve(kSpareChunks);
    threads_.reserve(threads);
    for (unsigned i = 0; i < threads; ++i) {
        UniqueHandle thread(::CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr));
        if (thread)
            threads_.push_back(std::move(thread));
    }
}

ItemWriters::~ItemWriters() { Finish(); }

HRESULT ItemWriters::Begin(FileToMake make, FileFinish finish, uint64_t expectedSize,
                           ComPtr<ISequentialOutStream>& stream)
{
    stream.Reset();
    if (threads_.empty())
        return HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY);
    End(false);  // a file the handler left without a result
    {
        ExclusiveLock hold(lock_);
        while (mostWaitingFiles_ != 0 && waiting_.size() >= mostWaitingFiles_ && failure_ == S_OK)
            ::SleepConditionVariableSRW(&room_, &lock_, INFINITE, 0);
    }
    auto queued = std::make_shared<QueuedFile>();
    queued->make = std::move(make);
    queued->finish = std::move(finish);
    queued->chunkSize = static_cast<size_t>(std::min<uint64_t>(std::max<uint64_t>(expectedSize, 1), kChunk));
    queued->filling = NewFilling(queued->chunkSize);
    stream = new QueuedFileStream(*this, queued);
    {
        ExclusiveLock hold(lock_);
        waiting_.push_back(queued);
    }
    ::WakeAllConditionVariable(&work_);
    current_ = std::move(queued);
    return S_OK;
}

HRESULT ItemWriters::Write(QueuedFile& file, const void* data, UInt32 size)
{
    HRESULT failed = Failure();
    if (failed != S_OK)
        return failed;
    if (file.ended)
        return E_UNEXPECTED;
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        size_t take = std::min<size_t>(size, file.chunkSize - std::min(file.chunkSize, file.filling.size()));
        if (take == 0)
            take = size;
        file.filling.insert(file.filling.end(), bytes, bytes + take);
        bytes += take;
        size -= static_cast<UInt32>(take);
        if (file.filling.size() >= file.chunkSize)
            Push(file);
    }
    return Failure();
}

// Moves the decoder's filled chunk to the file's writer, waiting while the
// queue is full (the writers free room as they write).
void ItemWriters::Push(QueuedFile& file)
{
    if (file.filling.empty())
        return;
    size_t size = file.filling.size();
    {
        ExclusiveLock hold(lock_);
        while (queuedBytes_ > 0 && queuedBytes_ + size > kQueueCap && failure_ == S_OK)
            ::SleepConditionVariableSRW(&room_, &lock_, INFINITE, 0);
        queuedBytes_ += size;
        file.chunks.push_back(std::move(file.filling));
    }
    ::WakeAllConditionVariable(&work_);
    file.filling = NewFilling(file.chunkSize);
}

std::vector<char> ItemWriters::NewFilling(size_t chunkSize)
{
    std::vector<char> filling;
    if (chunkSize == kChunk) {
        ExclusiveLock hold(lock_);
        if (!spare_.empty()) {
            filling = std::move(spare_.back());
            spare_.pop_back();
            return filling;
        }
    }
    filling.reserve(chunkSize);
    return filling;
}

void ItemWriters::End(bool complete)
{
    if (!current_)
        return;
    Push(*current_);
    {
        ExclusiveLock hold(lock_);
        current_->ended = true;
        current_->complete = complete;
    }
    ::WakeAllConditionVariable(&work_);
    current_.reset();
}

HRESULT ItemWriters::Failure()
{
    ::AcquireSRWLockShared(&lock_);
    HRESULT failure = failure_;
    ::ReleaseSRWLockShared(&lock_);
    return failure;
}

void ItemWriters::Drain()
{
    End(false);
    ExclusiveLock hold(lock_);
    while (!waiting_.empty() || busy_ > 0)
        ::SleepConditionVariableSRW(&idle_, &lock_, INFINITE, 0);
}

HRESULT ItemWriters::Finish()
{
    Drain();
    {
        ExclusiveLock hold(lock_);
        stopping_ = true;
    }
    ::WakeAllConditionVariable(&work_);
    for (UniqueHandle& thread : threads_)
        ::WaitForSingleObject(thread.Get(), INFINITE);
    threads_.clear();
    return Failure();
}

DWORD WINAPI ItemWriters::ThreadMain(void* self)
{
    static_cast<ItemWriters*>(self)->Run();
    return 0;
}

void ItemWriters::Run()
{
    for (;;) {
        std::shared_ptr<QueuedFile> file;
        {
            ExclusiveLock hold(lock_);
            while (waiting_.empty() && !stopping_)
                ::SleepConditionVariableSRW(&work_, &lock_, INFINITE, 0);
            if (waiting_.empty())
                return;
            file = std::move(waiting_.front());
            waiting_.pop_front();
            ++busy_;
        }
        ::WakeConditionVariable(&room_);
        WriteOut(*file);
        {
            ExclusiveLock hold(lock_);
            --busy_;
        }
        ::WakeAllConditionVariable(&idle_);
    }
}

// Makes one file, writes it as its chunks come, then sets its times and
// attributes and closes it. After a failure the rest of its data is only
// dropped.
void ItemWriters::WriteOut(QueuedFile& file)
{
    HRESULT hr = MakeFile(file);
    bool complete = false;
    for (;;) {
        std::vector<char> chunk;
        {
            ExclusiveLock hold(lock_);
            while (file.chunks.empty() && !file.ended)
                ::SleepConditionVariableSRW(&work_, &lock_, INFINITE, 0);
            if (file.chunks.empty()) {
                complete = file.complete;
                break;
            }
            chunk = std::move(file.chunks.front());
            file.chunks.pop_front();
        }
        if (hr == S_OK)
            hr = WriteAll(file.file.Get(), chunk);
        {
            ExclusiveLock hold(lock_);
            queuedBytes_ -= chunk.size();
            if (chunk.capacity() == kChunk && spare_.size() < kSpareChunks) {
                chunk.clear();
                spare_.push_back(std::move(chunk));
            }
        }
        ::WakeConditionVariable(&room_);
    }
    // A damaged or cut-off item gets none of the stored times, as before.
    if (hr == S_OK && complete)
        SetTimesAndAttributes(file);
    file.file.Reset();
    if (hr != S_OK) {
        ExclusiveLock hold(lock_);
        if (failure_ == S_OK)
            failure_ = hr;
    }
    if (hr != S_OK)
        ::WakeAllConditionVariable(&room_);
}

}  // namespace SevenZip::intl
