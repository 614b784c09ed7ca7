#include "tests/e2e/prefix_snapshot.h"

#include <windows.h>

#include <algorithm>

#include "tests/e2e/driver.h"

namespace e2e {

namespace {

void Walk(const std::wstring& dir, std::map<std::wstring, long long>& files)
{
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(FindFirstFileExW((dir + L"\\*").c_str(), FindExInfoBasic, &data,
                                           FindExSearchNameMatch, nullptr, 0));
    if (!find)
        return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring path = dir + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            files[path] = -1;
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                Walk(path, files);
        } else {
            files[path] = (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        }
    } while (FindNextFileW(find.Get(), &data));
}

// "reg export" of one root into lines keyed by their key.
void Export(const std::wstring& root, const std::wstring& view, std::set<std::wstring>& lines)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring file = std::wstring(temp) + L"kx-snapshot.reg";
    DeleteFileW(file.c_str());
    Process reg;
    if (!reg.Start(L"C:\\windows\\system32\\reg.exe",
                   L"export " + root + L" \"" + file + L"\" /y " + view) ||
        !reg.WaitExit(60000))
        return;
    std::wstring text = ReadUtf16File(file);
    DeleteFileW(file.c_str());
    std::wstring key;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(L'\n', at);
        std::wstring line = text.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at);
        at = end == std::wstring::npos ? text.size() : end + 1;
        while (!line.empty() && (line.back() == L'\r'))
            line.pop_back();
        // A long value goes on over lines that end with a backslash.
        while (!line.empty() && line.back() == L'\\' && at < text.size()) {
            line.pop_back();
            size_t next = text.find(L'\n', at);
            std::wstring more = text.substr(at, next == std::wstring::npos ? std::wstring::npos : next - at);
            at = next == std::wstring::npos ? text.size() : next + 1;
            while (!more.empty() && (more.back() == L'\r'))
                more.pop_back();
            line += more.substr(std::min(more.find_first_not_of(L' '), more.size()));
        }
        if (line.empty())
            continue;
        if (line[0] == L'[') {
            key = view + L" " + line;
            lines.insert(key);
        } else if (!key.empty()) {
            lines.insert(key + L"\n" + line);
        }
    }
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix)
{
    return text.size() >= prefix.size() &&
           CompareStringOrdinal(text.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

PrefixSnapshot TakeSnapshot()
{
    PrefixSnapshot s;
    Walk(L"C:", s.files);
    // The 64-bit view holds the 32-bit one, under Wow6432Node.
    Export(L"HKLM", L"/reg:64", s.registry);
    Export(L"HKCU", L"", s.registry);
    return s;
}

std::vector<std::wstring> Differences(const PrefixSnapshot& before, const PrefixSnapshot& after,
                                      const std::vector<std::wstring>& ignored)
{
    std::vector<std::wstring> out;
    auto skip = [&](const std::wstring& path) {
        for (const std::wstring& prefix : ignored)
            if (StartsWithNoCase(path, prefix))
                return true;
        return false;
    };
    for (const auto& [path, size] : before.files) {
        auto it = after.files.find(path);
        if (skip(path))
            continue;
        if (it == after.files.end())
            out.push_back(L"- " + path);
        else if (it->second != size)
            out.push_back(L"~ " + path + L" size " + std::to_wstring(size) + L" -> " +
                          std::to_wstring(it->second));
    }
    for (const auto& [path, size] : after.files)
        if (!skip(path) && !before.files.count(path))
            out.push_back(L"+ " + path);
    for (const std::wstring& line : before.registry)
        if (!skip(line) && !after.registry.count(line))
            out.push_back(L"- " + line);
    for (const std::wstring& line : after.registry)
        if (!skip(line) && !before.registry.count(line))
            out.push_back(L"+ " + line);
    return out;
}

}  // namespace e2e
