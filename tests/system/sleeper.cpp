// Stand-in for a product program: tells the test it runs (by setting the event
// named on its command line), then sleeps until it is ended. The sleep is
// bounded so that a crashed test leaves nothing behind for long.
#include <windows.h>

#include <shellapi.h>

int main()
{
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv && argc > 1) {
        HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[1]);
        if (ready) {
            SetEvent(ready);
            CloseHandle(ready);
        }
    }
    LocalFree(argv);
    Sleep(60 * 1000);
    return 0;
}
