#include "system/processes.h"

#include <tlhelp32.h>

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

bool FindProcessByName(const std::wstring& exeName, DWORD& processId)
{
    UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return false;

    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry)) {
        if (exeName == entry.szExeFile) {
            processId = entry.th32ProcessID;
            return true;
        }
    }
    return false;
}

bool FindProcessByNameAndPath(const std::wstring& exeName, const std::wstring& imagePath,
                              DWORD& processId)
{
    DWORD lastMatch = static_cast<DWORD>(-1);
    {
        UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        if (!snapshot)
            return false;
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
             more = Process32NextW(snapshot.Get(), &entry)) {
            if (exeName == entry.szExeFile)
                lastMatch = entry.th32ProcessID;
        }
    }
    if (lastMatch == static_cast<DWORD>(-1))
        return false;

    std::wstring path;
    if (!ProcessImagePath(lastMatch, path) || imagePath != path)
        return false;
    processId = lastMatch;
    return true;
}
