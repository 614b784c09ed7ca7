#include "system/processes.h"

#include <tlhelp32.h>

#include "system/win_handles.h"

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

    UniqueFileHandle modules(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, lastMatch));
    if (!modules)
        return false;
    MODULEENTRY32W module{};
    module.dwSize = sizeof(module);
    // The first module is the process's executable.
    if (!Module32FirstW(modules.Get(), &module) || imagePath != module.szExePath)
        return false;
    processId = module.th32ProcessID;
    return true;
}
