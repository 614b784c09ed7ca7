#include "install/uninstall_removal.h"

#include <windows.h>

#include "system/win_handles.h"

const wchar_t* const kInstallerSideFiles[3] = {L"Uninstall.xml", L"source.dat",
                                               L"temp_userdata.txt"};

namespace {

constexpr LONGLONG kMaxManifestBytes = 64LL << 20;
constexpr LONGLONG kMaxNoteBytes = 64 * 1024;

bool EqualNoCase(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool IsNotThere(HRESULT hr)
{
    return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ||
           hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
}

bool ReadSmallFile(const CheckedDir& folder, const wchar_t* name, LONGLONG limit, std::string& bytes)
{
    bytes.clear();
    UniqueFileHandle file;
    LARGE_INTEGER size{};
    if (folder.OpenFileToRead(name, file) != S_OK || !GetFileSizeEx(file.Get(), &size) ||
        size.QuadPart > limit)
        return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size()))
        return false;
    return true;
}

// Counts one removal's outcome. What the parent walk did not reach counts
// as the item's own outcome: a directory on the way that is gone means the
// item is gone, one that is a link means it stays.
void Count(HRESULT hr, RemovalReport& report, bool isDir)
{
    if (hr == S_OK)
        ++report.removed;
    else if (IsNotThere(hr))
        ++report.missing;
    else if (isDir && hr == HRESULT_FROM_WIN32(ERROR_DIR_NOT_EMPTY))
        ++report.kept;
    else
        ++report.failed;
}

// Opens the directories on the way to the item's parent, one below the other.
HRESULT OpenParent(const CheckedDir& folder, const RelativePath& names, CheckedDir& parent,
                   const CheckedDir*& at)
{
    at = &folder;
    for (size_t i = 0; i + 1 < names.size(); ++i) {
        CheckedDir next;
        HRESULT hr = at->OpenDir(names[i], next);
        if (hr != S_OK)
            return hr;
        parent = std::move(next);
        at = &parent;
    }
    return S_OK;
}

}  // namespace

bool ReadUninstallManifest(const CheckedDir& folder, std::string& bytes)
{
    return ReadSmallFile(folder, kInstallerSideFiles[0], kMaxManifestBytes, bytes);
}

std::wstring ReadUserDataNote(const CheckedDir& folder)
{
    std::string bytes;
    if (!ReadSmallFile(folder, kInstallerSideFiles[2], kMaxNoteBytes, bytes) || bytes.size() < 2 ||
        static_cast<unsigned char>(bytes[0]) != 0xFF || static_cast<unsigned char>(bytes[1]) != 0xFE)
        return {};
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                       static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
    return text.substr(0, text.find(L'\0'));
}

void RemoveListedItems(const CheckedDir& folder, const UninstallPlan& plan,
                       const std::wstring& keepTopFile, RemovalReport& report)
{
    report.outside += plan.outside;
    for (int pass = 0; pass < 2; ++pass) {
        const bool dirs = pass == 1;
        for (const RelativePath& names : dirs ? plan.dirs : plan.files) {
            if (!dirs && names.size() == 1 && !keepTopFile.empty() && EqualNoCase(names[0], keepTopFile))
                continue;  // goes last, once this program no longer runs from it
            CheckedDir parent;
            const CheckedDir* at = nullptr;
            HRESULT hr = OpenParent(folder, names, parent, at);
            if (hr == S_OK)
                hr = dirs ? at->RemoveEmptyDir(names.back()) : at->RemoveFile(names.back());
            Count(hr, report, dirs);
        }
    }
}

void RemoveSideFiles(const CheckedDir& folder, RemovalReport& report)
{
    for (const wchar_t* name : kInstallerSideFiles) {
        HRESULT hr = folder.RemoveFile(name);
        if (!IsNotThere(hr))
            Count(hr, report, false);
    }
}

bool HoldsOtherThan(const CheckedDir& folder, const std::wstring& keepTopFile)
{
    bool other = false;
    folder.Enumerate([&](const DirEntry& entry) {
        other = keepTopFile.empty() || !EqualNoCase(entry.name, keepTopFile);
        return !other;
    });
    return other;
}
