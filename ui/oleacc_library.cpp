#include "ui/oleacc_library.h"

#include "system/system_library.h"

namespace DuiLib {

namespace {

bool Load(OleAcc& api)
{
    HMODULE module = LoadSystemLibrary(L"oleacc.dll");
    return ResolveProc(module, "CreateStdAccessibleObject", api.createStdAccessibleObject) &&
           ResolveProc(module, "LresultFromObject", api.lresultFromObject);
}

}  // namespace

const OleAcc* LoadOleAcc()
{
    static OleAcc api;
    static const bool loaded = Load(api);  // thread-safe one-time initialisation
    return loaded ? &api : nullptr;
}

}  // namespace DuiLib
