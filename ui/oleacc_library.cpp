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

const OleAcc* LoadOleAcc() { return LoadOnce(Load); }

}  // namespace DuiLib
