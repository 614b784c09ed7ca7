#include "ui/oleacc_library.h"

#include <string>

namespace DuiLib {

namespace {

bool Load(OleAcc& api)
{
    wchar_t dir[MAX_PATH];
    UINT n = GetSystemDirectoryW(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return false;
    std::wstring path = std::wstring(dir, n) + L"\\oleacc.dll";
    HMODULE module = LoadLibraryW(path.c_str());  // kept for the process lifetime
    if (!module)
        return false;
    api.createStdAccessibleObject = reinterpret_cast<decltype(api.createStdAccessibleObject)>(
        reinterpret_cast<void*>(GetProcAddress(module, "CreateStdAccessibleObject")));
    api.lresultFromObject = reinterpret_cast<decltype(api.lresultFromObject)>(
        reinterpret_cast<void*>(GetProcAddress(module, "LresultFromObject")));
    return api.createStdAccessibleObject && api.lresultFromObject;
}

}  // namespace

const OleAcc* LoadOleAcc()
{
    static OleAcc api;
    static const bool loaded = Load(api);  // thread-safe one-time initialisation
    return loaded ? &api : nullptr;
}

}  // namespace DuiLib
