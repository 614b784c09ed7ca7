#pragma once
// Writes unpacked files on threads of their own, so that the decoder goes on
// with the next item while a file is written, given its times and closed:
// unpacking then takes about the longer of decoding and writing, not their
// sum. The decoder hands each file over through a bounded queue; a large
// file goes through in chunks, so memory stays within the queue's cap.
#include <windows.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "install/seven_zip_com.h"
#include "system/checked_dir.h"
#include "system/win_handles.h"

namespace SevenZip::intl {

// Where a writer makes a file: in a checked directory, open, by its name
// alone and only when nothing has that name (CreateItemFile). The writer
// holds the directory until the file is closed, whatever the decoder's side
// lets go meanwhile.
struct FileToMake {
    std::shared_ptr<const CheckedDir> dir;
    std::wstring name;
};

// What is set on a file once its data is written.
struct FileFinish {
    FILE_BASIC_INFO info{};  // a zero field changes nothing
    bool any = false;        // whether anything is to be set
    bool attribDefined = false;
    DWORD attributes = 0;    // the Windows attributes alone
};

// The writer threads of one extraction: one per processor beside the
// decoder's, at least one, at most 4, or
// what SetWriterThreadsForTesting chose.
unsigned WriterThreadCount();
// 0 goes back to the processor count.
void SetWriterThreadsForTesting(unsigned count);

struct QueuedFile;
class ItemWriters;

// The stream the archive handler writes one file's data into.
class QueuedFileStream final
    : public ComObject<0, ComAnswer<ISequentialOutStream, IID_IUnknown, IID_ISequentialOutStream>> {
public:
    QueuedFileStream(ItemWriters& writers, std::shared_ptr<QueuedFile> file)
        : writers_(writers), file_(std::move(file)) {}
    STDMETHODIMP Write(const void* data, UInt32 size, UInt32* processedSize) noexcept override;

private:
    ~QueuedFileStream() override = default;
    ItemWriters& writers_;
    std::shared_ptr<QueuedFile> file_;
};

// Which thread does what: the decoder's thread (the archive handler's calls)
// hands files over with Begin, fills them through their streams and ends
// them with End; the writer threads make each file, write it, set its times
// and attributes and close it, in any order among themselves.
class ItemWriters {
public:
    // mostWaitingFiles: how many files handed over may wait for a writer
    // before Begin waits too; 0 for no limit beside the queue's bytes.
    ItemWriters(unsigned threads, size_t mostWaitingFiles);
    ~ItemWriters();
    ItemWriters(const ItemWriters&) = delete;
    ItemWriters& operator=(const ItemWriters&) = delete;

    // Hands over a file item for a writer to make and write; its data
    // follows through stream, expectedSize is its stored size (a hint).
    HRESULT Begin(FileToMake make, FileFinish finish, uint64_t expectedSize,
                  ComPtr<ISequentialOutStream>& stream);
    // The current file's data is all handed over; complete says whether it
    // is whole, so that its times and attributes are set.
    void End(bool complete);
    // The first failure of a writer so far; S_OK for none.
    HRESULT Failure();
    // Waits until every file handed over is written and closed, so that what
    // is on disk is what a one-by-one extraction would have left, and no
    // writer uses a directory handle any more.
    void Drain();
    // Drains and ends the threads; gives the first failure of a writer.
    HRESULT Finish();

private:
    friend class QueuedFileStream;
    HRESULT Write(QueuedFile& file, const void* data, UInt32 size);
    void Push(QueuedFile& file);
    std::vector<char> NewFilling(size_t chunkSize);
    static DWORD WINAPI ThreadMain(void* self);
    void Run();
    void WriteOut(QueuedFile& file);

    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE work_ = CONDITION_VARIABLE_INIT;  // writers wait for data
    CONDITION_VARIABLE room_ = CONDITION_VARIABLE_INIT;  // the decoder waits for room
    CONDITION_VARIABLE idle_ = CONDITION_VARIABLE_INIT;  // Drain waits for the writers
    std::deque<std::shared_ptr<QueuedFile>> waiting_;    // files no writer took yet
    // Written chunks kept for the decoder to fill again: a large file's data
    // then goes through memory that is already the process's, not through
    // fresh pages for every chunk.
    std::vector<std::vector<char>> spare_;
    std::shared_ptr<QueuedFile> current_;                // the decoder's file
    size_t mostWaitingFiles_;
    size_t queuedBytes_ = 0;
    unsigned busy_ = 0;
    HRESULT failure_ = S_OK;
    bool stopping_ = false;
    std::vector<UniqueHandle> threads_;
};

}  // namespace SevenZip::intl
