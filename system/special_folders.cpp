#include "system/special_folders.h"

#include "system/com_owners.h"

std::wstring SpecialFolderPath(int csidl, HWND owner)
{
    UniqueCoTaskMem<ITEMIDLIST> list;
    if (FAILED(::SHGetSpecialFolderLocation(owner, csidl, list.Receive())) || !list)
        return {};
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetPathFromIDListW(list.Get(), path))
        return {};
    return path;
}

std::wstring KnownFolderPath(REFKNOWNFOLDERID id)
{
    UniqueCoTaskMem<wchar_t> path;
    if (FAILED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, path.Receive())) || !path)
        return {};
    return path.Get();
}
