// The floor of the extraction figure under Wine: makes the same directories
// and files as an extraction (same names, same sizes, zeros), creating,
// writing, setting times and closing each one as the extraction does, with
// no decoding at all, and prints how long that took.
//   usage: kx_write_floor LISTING DESTDIR [THREADS]
// LISTING holds one line per item, in UTF-8: "D<TAB>relative\path" for a
// directory, "F<TAB>size<TAB>relative\path" for a file. With THREADS above 1
// the files are shared round robin among that many threads.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

struct FileItem {
    std::wstring path;
    unsigned long long size = 0;
};

std::wstring FromUtf8(const std::string& text)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

bool ReadListing(const wchar_t* listing, const std::wstring& dest, std::vector<std::wstring>& dirs,
                 std::vector<FileItem>& files)
{
    FILE* in = _wfopen(listing, L"rb");
    if (!in)
        return false;
    char line[4096];
    while (std::fgets(line, sizeof(line), in)) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        if (text.size() < 3)
            continue;
        if (text[0] == 'D') {
            dirs.push_back(dest + FromUtf8(text.substr(2)));
        } else {
            size_t tab = text.find('\t', 2);
            if (tab == std::string::npos)
                continue;
            files.push_back({dest + FromUtf8(text.substr(tab + 1)),
                             std::strtoull(text.substr(2, tab - 2).c_str(), nullptr, 10)});
        }
    }
    std::fclose(in);
    return true;
}

bool WriteOne(const FileItem& item, const std::vector<char>& zeros)
{
    HANDLE file = CreateFileW(item.path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    for (unsigned long long left = item.size; ok && left > 0;) {
        DWORD chunk = static_cast<DWORD>(left < zeros.size() ? left : zeros.size());
        DWORD written = 0;
        ok = WriteFile(file, zeros.data(), chunk, &written, nullptr) && written == chunk;
        left -= chunk;
    }
    FILE_BASIC_INFO info{};
    GetSystemTimeAsFileTime(reinterpret_cast<FILETIME*>(&info.LastWriteTime));
    info.CreationTime = info.LastWriteTime;
    info.FileAttributes = FILE_ATTRIBUTE_ARCHIVE;
    SetFileInformationByHandle(file, FileBasicInfo, &info, sizeof(info));
    return CloseHandle(file) && ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: kx_write_floor LISTING DESTDIR [THREADS]\n");
        return 2;
    }
    std::wstring dest = argv[2];
    if (dest.back() != L'\\')
        dest += L'\\';
    unsigned threads = argc == 4 ? static_cast<unsigned>(_wtoi(argv[3])) : 1;
    if (threads == 0)
        threads = 1;
    std::vector<std::wstring> dirs;
    std::vector<FileItem> files;
    if (!ReadListing(argv[1], dest, dirs, files)) {
        std::fprintf(stderr, "kx_write_floor: can't read the listing\n");
        return 1;
    }
    // The extraction writes in chunks of the decoder's output buffer.
    std::vector<char> zeros(1 << 20);

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (const std::wstring& dir : dirs)
        CreateDirectoryW(dir.c_str(), nullptr);
    std::vector<int> failed(threads, 0);
    auto work = [&](unsigned first) {
        for (size_t i = first; i < files.size(); i += threads)
            failed[first] += WriteOne(files[i], zeros) ? 0 : 1;
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back(work, t);
    work(0);
    for (std::thread& t : pool)
        t.join();
    QueryPerformanceCounter(&end);
    double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    int failures = 0;
    for (int f : failed)
        failures += f;
    std::printf("result=%d files=%u dirs=%u threads=%u write_s=%.3f\n", failures,
                static_cast<unsigned>(files.size()), static_cast<unsigned>(dirs.size()), threads, seconds);
    return failures == 0 ? 0 : 1;
}
