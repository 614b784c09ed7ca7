#include "system/processes.h"

#include <tlhelp32.h>

#include <vector>

#include "system/win_handles.h"

bool ProcessImagePath(DWORD processId, std::wstring& path, ImagePathSource source)
{
    if (source == ImagePathSource::ModulesThenImageName) {
        UniqueFileHandle modules(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
        MODULEENTRY32W module{};
        module.dwSize = sizeof(module);
        // The first module is the process's executable.
        if (modules && Module32FirstW(modules.Get(), &module)) {
            path = module.szExePath;
            return true;
        }
    }
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process)
        return false;
    // Long paths are possible here; the module entry's limit does not apply.
    std::wstring buffer(32768, L'\0');
    DWORD chars = static_cast<DWORD>(buffer.size());
    if (!QueryFullProcessImageNameW(process.Get(), 0, buffer.data(), &chars))
        return false;
    buffer.resize(chars);
    path = std::move(buffer);
    return true;
}

namespace {

// The ids of the running processes with that executable name, in the order
// the system lists them.
std::vector<DWORD> ProcessesNamed(const std::wstring& exeName)
{
    std::vector<DWORD> ids;
    UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry))
        if (exeName == entry.szExeFile)
            ids.push_back(entry.th32ProcessID);
    return ids;
}

}  // namespace

bool FindProcessByName(const std::wstring& exeName, DWORD& processId)
{
    std::vector<DWORD> ids = ProcessesNamed(exeName);
    if (ids.empty())
        return false;
    processId = ids.front();
    return true;
}

bool FindProcessByNameAndPath(const std::wstring& exeName, const std::wstring& imagePath,
                              DWORD& processId)
{
    std::vector<DWORD> ids = ProcessesNamed(exeName);
    std::wstring path;
    if (ids.empty() || !ProcessImagePath(ids.back(), path) || imagePath != path)
        return false;
    processId = ids.back();
    return true;
}
