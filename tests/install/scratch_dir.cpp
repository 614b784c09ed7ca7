#include "scratch_dir.h"

#include <winioctl.h>

#include <atomic>
#include <cstring>

#include "system/win_handles.h"

namespace {

std::wstring TempDir()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD n = ::GetTempPathW(MAX_PATH + 1, buffer);
    if (n == 0 || n > MAX_PATH)
        return L"C:\\";
    return buffer;
}

}  // namespace

ScratchDir::ScratchDir() : ScratchDir(TempDir()) {}

ScratchDir::ScratchDir(const std::wstring& base)
{
    static std::atomic<int> counter{0};
    for (;;) {
        path_ = base + L"kx_extract_test_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                std::to_wstring(counter++) + L"\\";
        if (::CreateDirectoryW(path_.c_str(), nullptr))
            return;
        if (::GetLastError() != ERROR_ALREADY_EXISTS)
            return;
    }
}

ScratchDir::~ScratchDir() { RemoveTree(path_); }

void RemoveTree(const std::wstring& path)
{
    std::wstring dir = path;
    if (!dir.empty() && dir.back() == L'\\')
        dir.pop_back();
    DWORD attributes = ::GetFileAttributesW(dir.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    ::SetFileAttributesW(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::DeleteFileW(dir.c_str());
        return;
    }
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name != L"." && name != L"..")
                RemoveTree(dir + L"\\" + name);
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(dir.c_str());
}

std::wstring TestData(const std::wstring& relative)
{
    std::wstring path = L"Z:" KX_TEST_DATA_DIR L"/" + relative;
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

bool ReadBytes(const std::wstring& path, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    uint8_t chunk[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ::ReadFile(file, chunk, sizeof(chunk), &got, nullptr) != FALSE) && got > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    ::CloseHandle(file);
    return ok;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

DWORD Attributes(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()); }

bool Exists(const std::wstring& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

bool IsDirectory(const std::wstring& path)
{
    DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool GetTimes(const std::wstring& path, FileTimes& times)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    times.creation = data.ftCreationTime;
    times.access = data.ftLastAccessTime;
    times.write = data.ftLastWriteTime;
    return true;
}

uint64_t Ticks(const FILETIME& t)
{
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

uint64_t NowTicks()
{
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return Ticks(now);
}

bool CreationTimesAreKept()
{
    ScratchDir dir;
    std::wstring probe = dir / L"probe.txt";
    if (!WriteBytes(probe, "x"))
        return false;
    FILETIME old{0x5A5A0000, 0x01C00000};  // 1998
    HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::SetFileTime(file, &old, nullptr, nullptr);
    ::CloseHandle(file);
    FileTimes times;
    return GetTimes(probe, times) && Ticks(times.creation) == Ticks(old);
}

// Makes link a junction (mount point) to target; false where the file
// system has none.
bool MakeJunction(const std::wstring& link, const std::wstring& target)
{
    if (!CreateDirectoryW(link.c_str(), nullptr))
        return false;
    UniqueFileHandle dir(CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!dir)
        return false;
    std::wstring substitute = L"\\??\\" + target;
    std::vector<BYTE> buffer(8 + 8 + (substitute.size() + 2) * sizeof(wchar_t));
    auto* header = reinterpret_cast<DWORD*>(buffer.data());
    header[0] = IO_REPARSE_TAG_MOUNT_POINT;
    auto* words = reinterpret_cast<WORD*>(buffer.data() + 4);
    words[0] = static_cast<WORD>(buffer.size() - 8);                         // data length
    auto* offsets = reinterpret_cast<WORD*>(buffer.data() + 8);
    offsets[0] = 0;                                                          // substitute offset
    offsets[1] = static_cast<WORD>(substitute.size() * sizeof(wchar_t));     // substitute length
    offsets[2] = static_cast<WORD>((substitute.size() + 1) * sizeof(wchar_t));  // print offset
    offsets[3] = 0;                                                          // print length
    memcpy(buffer.data() + 16, substitute.c_str(), substitute.size() * sizeof(wchar_t));
    DWORD returned = 0;
    bool made = DeviceIoControl(dir.Get(), FSCTL_SET_REPARSE_POINT, buffer.data(),
                                static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
    DWORD attributes = GetFileAttributesW(link.c_str());
    return made && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}
