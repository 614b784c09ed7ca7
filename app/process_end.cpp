#include "app/process_end.h"

#include "system/win_handles.h"

namespace {

constexpr DWORD kEndAccess = PROCESS_TERMINATE | SYNCHRONIZE;
static_assert(kEndAccess == 0x00100001);
// The exit code the product's own tools recognise as "ended by the installer".
constexpr UINT kEndedExitCode = 0xFFFFFFFF;

}  // namespace

void EndProcessAndWait(DWORD processId)
{
    UniqueHandle process(OpenProcess(kEndAccess, FALSE, processId));
    if (!process)
        return;
    if (TerminateProcess(process.Get(), kEndedExitCode))
        WaitForSingleObject(process.Get(), INFINITE);
}
