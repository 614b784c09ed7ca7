#include "system/last_error.h"

HRESULT LastErrorResult(HRESULT whenNone)
{
    DWORD error = ::GetLastError();
    return error == ERROR_SUCCESS ? whenNone : HRESULT_FROM_WIN32(error);
}
